#pragma once

// What the window's Qt tests share: small GIFs, a scratch folder with the
// window's settings in it, a browser that records what it is asked to open,
// and an answerer of the boxes that appear while something runs.

// Before Qt's headers, which make "emit" a keyword.
#include "GifBuilder.h"

#include <sys/stat.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/FileStream.h"
#include "play/PlayerFiles.h"
#include "ui/MainWindow.h"
#include "ui/PlayedPageBox.h"
#include "ui/QtSettingsStore.h"

namespace movara::ui::test {

namespace fs = std::filesystem;
using movara::test::Bytes;

inline Bytes Gif(int width, int height, int frames = 1) {
  const std::vector<movara::test::Rgb> colors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  movara::test::GifBuilder b;
  b.Header(width, height, colors);
  if (frames > 1) b.Loop(0);
  for (int k = 0; k < frames; ++k) {
    b.Gce(1, 10);
    const auto index = static_cast<std::uint8_t>(1 + k % 3);
    b.Frame(movara::test::MakeFrame(0, 0, width, height,
                                    std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height, index)));
  }
  return b.Trailer().Build();
}

inline fs::path WriteGif(const fs::path& folder, const std::string& name, const Bytes& bytes) {
  fs::create_directories(folder);
  WriteFileBytes(folder / name, bytes);
  return folder / name;
}

inline void ClickRow(QTreeWidget* list, int row, Qt::KeyboardModifiers modifiers = {}) {
  const QRect rect = list->visualItemRect(list->topLevelItem(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

// A box that appeared: its title and text; for the box of a played movie
// its address, for a question its buttons.
struct Box {
  QString Title;
  QString Text;
  QString Address;
  QStringList Buttons;
};

// Answers every box that appears while `action` runs, with its default
// button unless `answer` chooses another (by its text), and returns what
// they said.
// `played` may use the box of a played movie before it is closed.
inline std::vector<Box> AnswerBoxes(const std::function<void()>& action,
                                    const std::function<QString(const Box&)>& answer = {},
                                    const std::function<void(TPlayedPageBox&)>& played = {}) {
  std::vector<Box> boxes;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* page = qobject_cast<TPlayedPageBox*>(modal)) {
      boxes.push_back({page->windowTitle(), page->Message->text(), page->Address->text(), {}});
      if (played) played(*page);
      page->OkButton->click();
      return;
    }
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return;
    Box seen{box->windowTitle(), box->text(), {}, {}};
    for (QAbstractButton* button : box->buttons()) seen.Buttons.push_back(button->text());
    boxes.push_back(seen);
    const QString chosen = answer ? answer(seen) : QString();
    for (QAbstractButton* button : box->buttons()) {
      if (!chosen.isEmpty() && button->text() == chosen) {
        button->click();
        return;
      }
    }
    if (box->defaultButton() != nullptr) box->defaultButton()->click();
    else box->accept();
  });
  timer.start();
  action();
  timer.stop();
  return boxes;
}

// $BROWSER for a test: a script that adds each address it is given to a
// file, one a line.
class TRecordingBrowser {
 public:
  explicit TRecordingBrowser(const fs::path& folder) : script_(folder / "browser"), record_(folder / "opened") {
    const std::string text = "#!/bin/sh\necho \"$1\" >> '" + record_.string() + "'\n";
    WriteFileBytes(script_, Bytes(text.begin(), text.end()));
    ::chmod(script_.c_str(), 0755);
    ::setenv("BROWSER", script_.c_str(), 1);
  }
  ~TRecordingBrowser() { ::unsetenv("BROWSER"); }
  TRecordingBrowser(const TRecordingBrowser&) = delete;
  TRecordingBrowser& operator=(const TRecordingBrowser&) = delete;

  // The addresses opened so far.
  QStringList Opened() const {
    if (!fs::exists(record_)) return {};
    const Bytes bytes = ReadFileBytes(record_);
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
        .split('\n', Qt::SkipEmptyParts);
  }

 private:
  fs::path script_;
  fs::path record_;
};

// A scratch folder for one test: the program's folder, an output folder,
// the settings (never the user's) and the browser.
struct TWindowScratch {
  QTemporaryDir Dir;
  fs::path Root = Dir.path().toStdString();
  fs::path Program = Root / "program";
  fs::path Out = Root / "out";
  TRecordingBrowser Browser{Root};
  TQtSettingsStore Settings;

  TWindowScratch() {
    fs::create_directories(Program);
    fs::create_directories(Out);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString((Root / "settings").string()));
  }

  std::unique_ptr<TMainWindow> OpenWindow(const std::vector<std::string>& args = {}) {
    auto window = std::make_unique<TMainWindow>(Settings, Program);
    window->Form().FormCreate(args);
    return window;
  }
  // A window shown, its movies going to Out.
  std::unique_ptr<TMainWindow> ShowWindow() {
    auto window = OpenWindow();
    window->Form().btnSelectFolderClick(Out);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    return window;
  }
  // A stand-in for the player's files beside the program.
  void GivePlayer() const {
    fs::create_directories(Program / "player");
    WriteFileBytes(Program / "player" / play::kPlayerEntry, {'/', '/'});
  }
};

}  // namespace movara::ui::test
