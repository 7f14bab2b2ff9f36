#include "ui/Application.h"

#include <QApplication>
#include <QSystemSemaphore>
#include <cstdlib>

#include "base/ProgramFolder.h"
#include "ui/MainWindow.h"
#include "ui/QtSettingsStore.h"

namespace movara::ui {

namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool HaveDisplay() { return Set("QT_QPA_PLATFORM") || Set("DISPLAY") || Set("WAYLAND_DISPLAY"); }

int RunWindow(int& argc, char** argv, const std::vector<std::string>& args) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Movara");
  QApplication::setOrganizationName("Brenholt");
  // The desktop matches the window to its entry (and icon) by this id.
  QApplication::setDesktopFileName(MOVARA_APP_ID);
  // Held while the program runs, for other programs to see; not tested here.
  QSystemSemaphore running("Movara", 1, QSystemSemaphore::Open);
  TQtSettingsStore settings;
  TMainWindow window(settings, ProgramFolder());
  window.Form().FormCreate(args);
  window.show();
  return QApplication::exec();
}

}  // namespace movara::ui
