// Takes the README's pictures of the window: the window on the display it
// is given (Xvfb, see scripts/screenshot) with a folder selected and one of
// its GIFs previewing, in Chinese ("zh") or English ("en"), at its smallest
// size or at the size given ("1280x800"). Settings go to a scratch folder,
// not the user's.
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>

#include "base/ProgramFolder.h"
#include "ui/MainWindow.h"
#include "ui/QtSettingsStore.h"

int main(int argc, char** argv) {
  using namespace movara;
  QApplication application(argc, argv);
  if (argc != 5 && argc != 6) {
    std::fputs("usage: window_screenshot FOLDER GIF-NAME OUT.png zh|en [WIDTHxHEIGHT]\n", stderr);
    return 2;
  }
  QTemporaryDir scratch;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());
  ui::TQtSettingsStore settings;
  ui::TMainWindow window(settings, ProgramFolder());
  window.Form().FormCreate({});
  window.Form().btnSelectFolderClick(QDir::tempPath().toStdString());
  window.SetLanguage(QString(argv[4]) == "en" ? form::TLanguage::English : form::TLanguage::Chinese);
  if (argc == 6) {
    const QStringList size = QString(argv[5]).split('x');
    if (size.size() == 2) window.resize(size[0].toInt(), size[1].toInt());
  }
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  window.SelectFolder(argv[1]);
  const QList<QTreeWidgetItem*> found = window.LV1->findItems(QString::fromLocal8Bit(argv[2]), Qt::MatchExactly);
  if (found.isEmpty()) {
    std::fprintf(stderr, "window_screenshot: %s is not listed in %s\n", argv[2], argv[1]);
    return 1;
  }
  window.LV1->setCurrentItem(found.front());
  window.LV1->scrollToItem(found.front());
  QTest::qWait(1500);  // the tree loads and the preview animates
  const QPixmap shot = window.screen()->grabWindow(0, window.x(), window.y(), window.width(), window.height());
  return shot.save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
}
