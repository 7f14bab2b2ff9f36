// The window's wiring, on Qt's offscreen platform: controls to handlers and
// back, runs with progress and Escape, the preview, settings and help.

// Before Qt's headers, which make "emit" a keyword.
#include "GifBuilder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <thread>

#include "base/FileStream.h"
#include "ui/AboutDialog.h"
#include "ui/MainWindow.h"
#include "ui/PreviewBox.h"
#include "ui/QtSettingsStore.h"

namespace movara::ui {
namespace {

namespace fs = std::filesystem;

const std::vector<test::Rgb> kColors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

test::Bytes Gif(int width, int height, int frames = 1) {
  test::GifBuilder b;
  b.Header(width, height, kColors);
  if (frames > 1) b.Loop(0);
  for (int k = 0; k < frames; ++k) {
    b.Gce(1, 10);
    const auto index = static_cast<std::uint8_t>(1 + k % 3);
    b.Frame(test::MakeFrame(0, 0, width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height, index)));
  }
  return b.Trailer().Build();
}

fs::path WriteGif(const fs::path& folder, const std::string& name, const test::Bytes& bytes) {
  fs::create_directories(folder);
  WriteFileBytes(folder / name, bytes);
  return folder / name;
}

struct Box {
  QString Title;
  QString Text;
};

// Answers every message box that appears while `action` runs (with its
// default button) and returns what they said.
std::vector<Box> AnswerBoxes(const std::function<void()>& action) {
  std::vector<Box> boxes;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&boxes] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    boxes.push_back({box->windowTitle(), box->text()});
    if (box->defaultButton() != nullptr) box->defaultButton()->click();
    else box->accept();
  });
  timer.start();
  action();
  timer.stop();
  return boxes;
}

void ClickRow(QTreeWidget* list, int row, Qt::KeyboardModifiers modifiers = {}) {
  const QRect rect = list->visualItemRect(list->topLevelItem(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

}  // namespace

// Catches what the window opens with the desktop's handlers.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> Opened;
 public slots:
  void open(const QUrl& url) { Opened.push_back(url); }
};

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> scratch_;
  fs::path root_, program_, out_;
  UrlCatcher urls_;
  TQtSettingsStore settings_;

  fs::path Root() const { return root_; }
  std::unique_ptr<TMainWindow> OpenWindow(const std::vector<std::string>& args = {}) {
    auto window = std::make_unique<TMainWindow>(settings_, program_);
    window->Form().FormCreate(args);
    return window;
  }
  std::unique_ptr<TMainWindow> ShowWindow() {
    auto window = OpenWindow();
    window->Form().btnSelectFolderClick(out_);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) return nullptr;
    return window;
  }

 private slots:
  void init() {
    scratch_ = std::make_unique<QTemporaryDir>();
    root_ = scratch_->path().toStdString();
    program_ = root_ / "program";
    out_ = root_ / "out";
    fs::create_directories(program_);
    fs::create_directories(out_);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString((root_ / "settings").string()));
    QDesktopServices::setUrlHandler("file", &urls_, "open");
    QDesktopServices::setUrlHandler("https", &urls_, "open");
    QDesktopServices::setUrlHandler("mailto", &urls_, "open");
    urls_.Opened.clear();
  }
  void cleanup() {
    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("mailto");
    scratch_.reset();
  }

  void selectingTheThirdOfTwelveFilesShowsItsPositionAndEnablesStart() {
    for (int i = 0; i < 12; ++i) WriteGif(Root() / "twelve", "g" + std::to_string(i + 10) + ".gif", Gif(8, 8));
    WriteGif(Root() / "twelve", "not-a-gif.png", Gif(8, 8));
    fs::create_directories(Root() / "twelve" / "folder.gif");
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(Root() / "twelve");
    QCOMPARE(window->LV1->topLevelItemCount(), 12);
    QCOMPARE(window->LV1->topLevelItem(2)->text(0), QString("g12.gif"));
    QVERIFY(!window->btnStart->isEnabled());
    ClickRow(window->LV1, 2);
    QCOMPARE(window->RzP2->text(), QString("File: 3/12"));
    QVERIFY(window->btnStart->isEnabled());
  }

  void deselectingKeepsStartEnabledOnlyInFolderMode() {
    for (int i = 0; i < 3; ++i) WriteGif(Root() / "three", "g" + std::to_string(i) + ".gif", Gif(8, 8));
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(Root() / "three");
    ClickRow(window->LV1, 1);
    ClickRow(window->LV1, 1, Qt::ControlModifier);
    QVERIFY(window->LV1->selectedItems().isEmpty());
    QVERIFY(!window->btnStart->isEnabled());
    QTest::mouseClick(window->RBFolder, Qt::LeftButton);
    QVERIFY(window->btnStart->isEnabled());
    ClickRow(window->LV1, 0);
    ClickRow(window->LV1, 0, Qt::ControlModifier);
    QVERIFY(window->btnStart->isEnabled());
  }

  void urlEditFollowsTheMode() {
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    QVERIFY(window->EURL->isEnabled());
    QCOMPARE(window->EURL->text(), QString("http://"));
    QTest::mouseClick(window->RBFolder, Qt::LeftButton);
    QVERIFY(!window->EURL->isEnabled());
    QVERIFY(!window->GroupBox4->isEnabled());
    QTest::mouseClick(window->RBSingle, Qt::LeftButton);
    QVERIFY(window->EURL->isEnabled());
    QVERIFY(window->GroupBox4->isEnabled());
  }

  void hoveringFolderModeShowsItsLongHint() {
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    QTest::mouseMove(window->RBFolder, QPoint(10, 8));
    QTRY_COMPARE(window->RzP->text(), QString::fromUtf8("使用这个模式转换全部文件夹, 包含一级子文件夹."));
  }

  void folderRunWritesMoviesMovesTheProgressBarAndShowsTheSummary() {
    const fs::path in = Root() / "run";
    for (const char* name : {"a.gif", "b.gif", "c.gif"}) WriteGif(in, name, Gif(16, 8));
    WriteGif(in / "sub", "d.gif", Gif(8, 8));
    WriteGif(in / "sub", "e.gif", Gif(8, 8));
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(in);
    QTest::mouseClick(window->RBFolder, Qt::LeftButton);
    QList<int> progress;
    bool barShown = false;
    connect(window->RzB, &QProgressBar::valueChanged, this, [&](int value) {
      progress.push_back(value);
      barShown = barShown || window->RzB->isVisible();
    });
    const auto boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Title, QString("Movara"));
    QCOMPARE(boxes[0].Text, QString("5 files of 5 have been successfully converted. 1 subfolder has been processed."));
    for (const char* movie : {"a.swf", "b.swf", "c.swf", "sub/d.swf", "sub/e.swf"}) QVERIFY(fs::exists(out_ / movie));
    QCOMPARE(progress, (QList<int>{0, 33, 67, 100, 50, 100, 0}));
    QVERIFY(barShown);
    QVERIFY(window->RzB->isHidden());
    QVERIFY(!window->RzP2->isHidden());
    QCOMPARE(window->SelectedFolder(), in);
  }

  // The window runs the terminal's plan: the later of two files with one
  // movie is not converted, a link to the folder itself is not walked.
  void folderRunConvertsEachMovieOnce() {
    const fs::path in = Root() / "plan";
    WriteGif(in, "x.GIF", Gif(16, 8));
    WriteGif(in, "x.gif", Gif(8, 8));
    fs::create_directory_symlink(".", in / "self");
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(in);
    QTest::mouseClick(window->RBFolder, Qt::LeftButton);
    const auto boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Text, QString("1 file of 2 has been successfully converted."));
    QVERIFY(fs::exists(out_ / "x.swf"));
    QVERIFY(!fs::exists(out_ / "self"));
    QCOMPARE(window->SelectedFolder(), in);
  }

  void escapeDuringAFolderRunStopsItBetweenFiles() {
    const fs::path in = Root() / "abort";
    for (const char* name : {"a.gif", "b.gif", "c.gif"}) WriteGif(in, name, Gif(16, 8));
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(in);
    QTest::mouseClick(window->RBFolder, Qt::LeftButton);
    // Escape is queued when the first file starts, as a key press would be.
    bool pressed = false;
    connect(window->RzB, &QProgressBar::valueChanged, this, [&](int value) {
      if (value == 0 || pressed) return;
      pressed = true;
      QCoreApplication::postEvent(window->LV1, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    const auto boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Text, QString("The converting process has been aborted by user."));
    QVERIFY(fs::exists(out_ / "a.swf"));
    QVERIFY(!fs::exists(out_ / "b.swf"));
    QVERIFY(!fs::exists(out_ / "c.swf"));
  }

  void closingDuringAFolderRunStopsItAndClosesAfter() {
    const fs::path in = Root() / "closing";
    for (const char* name : {"a.gif", "b.gif", "c.gif"}) WriteGif(in, name, Gif(16, 8));
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(in);
    QTest::mouseClick(window->RBFolder, Qt::LeftButton);
    bool stillOpen = false;
    connect(window->RzB, &QProgressBar::valueChanged, this, [&](int value) {
      if (value == 0 || stillOpen) return;
      window->close();
      stillOpen = window->isVisible();
    });
    const auto boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
    QVERIFY(stillOpen);
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Text, QString("The converting process has been aborted by user."));
    QVERIFY(!fs::exists(out_ / "b.swf"));
    QVERIFY(!window->isVisible());
    QCOMPARE(QSettings("Brenholt", "Movara").value("1.0/LastDir").toString().toStdString(), in.string());
  }

  void singleFileConversionOpensTheTestPage() {
    WriteGif(Root() / "one", "only.gif", Gif(16, 8));
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(Root() / "one");
    ClickRow(window->LV1, 0);
    const auto boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Text, QString("The file only.swf has been successfully created."));
    QCOMPARE(urls_.Opened.size(), 1);
    QCOMPARE(urls_.Opened[0], QUrl::fromLocalFile(QString::fromStdString((out_ / "only.html").string())));
    QCOMPARE(window->RzP->text(), QString());
  }

  void previewAnimatesAndALargeGifPansByDragging() {
    WriteGif(Root() / "big", "big.gif", Gif(400, 300, 3));
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(Root() / "big");
    ClickRow(window->LV1, 0);
    TPictureView* image = window->BPanel1->Image1;
    QTRY_VERIFY(!image->Picture().isNull());
    QCOMPARE(image->Picture().size(), QSize(400, 300));
    QCOMPARE(image->pos(), QPoint(0, 0));
    QCOMPARE(image->cursor().shape(), Qt::OpenHandCursor);
    const QRgb first = image->Picture().pixel(5, 5);
    QTRY_VERIFY(image->Picture().pixel(5, 5) != first);

    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(image, QPoint(60, 70));
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(60, 70));
    QCOMPARE(window->BPanel1->horizontalScrollBar()->value(), 40);
    QCOMPARE(window->BPanel1->verticalScrollBar()->value(), 30);

    // The list follows the folder: a file written there appears.
    WriteGif(Root() / "big", "broken.gif", {'G', 'I', 'F'});
    QTRY_COMPARE(window->LV1->topLevelItemCount(), 2);
    QCOMPARE(window->LV1->selectedItems().size(), 1);
    ClickRow(window->LV1, 1);
    QTRY_VERIFY(image->Picture().isNull());
    QCOMPARE(image->size(), QSize(10, 10));
    QCOMPARE(image->cursor().shape(), Qt::ArrowCursor);
  }

  // A painter's thread hands a picture over; the window's thread takes it.
  void aPicturePresentedFromAnotherThreadIsShown() {
    TPreviewBox box(nullptr);
    auto picture = std::make_shared<imaging::TBitmap>(3, 2, imaging::TPixelFormat::pf32bit);
    picture->SetPixelARGB(1, 1, imaging::MakeARGB(255, 0, 0, 255));
    std::thread painter([&] { box.Image1->Present(picture); });
    painter.join();
    QTRY_VERIFY(!box.Image1->Picture().isNull());
    QCOMPARE(box.Image1->Picture().pixel(1, 1), qRgba(0, 0, 255, 255));
  }

  void geometryAndFoldersSurviveARestart() {
    fs::create_directories(Root() / "last");
    {
      auto window = OpenWindow();
      window->SelectFolder(Root() / "last");
      window->Form().btnSelectFolderClick(out_);
      window->move(50, 60);
      window->resize(900, 500);
      window->close();
    }
    QSettings stored("Brenholt", "Movara");
    QCOMPARE(stored.value("1.0/LastDir").toString().toStdString(), (Root() / "last").string());
    QCOMPARE(stored.value("1.0/W").toInt(), 900);
    auto window = OpenWindow();
    QCOMPARE(window->SelectedFolder(), Root() / "last");
    QCOMPARE(window->Form().OutputFolder, out_);
    QCOMPARE(window->JamPathLabel1->toolTip().toStdString(), out_.string());
    QCOMPARE(window->pos(), QPoint(50, 60));
    QCOMPARE(window->size(), QSize(900, 500));
  }

  void commandLineModeStoresNothing() {
    const fs::path gif = WriteGif(Root() / "cli", "cli.gif", Gif(16, 8));
    auto window = OpenWindow({gif.string()});
    QVERIFY(window->Form().CommandLineMode);
    QCOMPARE(window->Form().CommandLineResult, 0);
    QVERIFY(fs::exists(Root() / "cli" / "cli.swf"));
    QVERIFY(!fs::exists(Root() / "cli" / "cli.html"));
    window->close();
    QSettings stored("Brenholt", "Movara");
    QVERIFY(stored.allKeys().isEmpty());
  }

  void theWindowKeepsItsDesignSizeAsMinimumAndGivesExtraRoomByItsAnchors() {
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    QCOMPARE(window->minimumSize(), QSize(784, 384));
    QCOMPARE(window->FTree->geometry(), QRect(8, 24, 201, 169));
    QCOMPARE(window->btnStart->geometry(), QRect(551, 243, 118, 25));
    window->resize(884, 484);
    QCOMPARE(window->FTree->geometry(), QRect(8, 24, 301, 269));
    QCOMPARE(window->LV1->geometry(), QRect(320, 24, 201, 401));
    QCOMPARE(window->BPanel1->geometry(), QRect(8, 302, 301, 153));
    QCOMPARE(window->GroupBox1->geometry(), QRect(544, 20, 332, 65));
    QCOMPARE(window->btnStart->geometry(), QRect(651, 343, 118, 25));
    QCOMPARE(window->RzSB1->geometry(), QRect(0, 465, 884, 19));
    QVERIFY(window->GroupBox3->isHidden());
    QVERIFY(window->ChB1->isHidden() && window->ChB1->isChecked());
  }

  void helpAndAboutBox() {
    WriteFileBytes(program_ / "Movara.html", {'<'});
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    QTest::keyClick(window.get(), Qt::Key_F1);
    QCOMPARE(urls_.Opened.size(), 1);
    QCOMPARE(urls_.Opened[0], QUrl::fromLocalFile(QString::fromStdString((program_ / "Movara.html").string())));

    QString title;
    QSize size;
    QTimer::singleShot(0, [&] {
      auto* about = qobject_cast<TAboutDialog*>(QApplication::activeModalWidget());
      if (about == nullptr) return;
      title = about->windowTitle();
      size = about->size();
      QTest::mouseClick(about->L19, Qt::LeftButton);
      QTest::mouseClick(about->B1, Qt::LeftButton);
    });
    window->About1->trigger();
    QCOMPARE(title, QString::fromUtf8("关于..."));
    QCOMPARE(size, QSize(394, 216));
    QCOMPARE(urls_.Opened.size(), 2);
    QCOMPARE(urls_.Opened[1], QUrl("https://www.example.org/movara/"));
  }
};

}  // namespace movara::ui

QTEST_MAIN(movara::ui::MainWindowTest)
#include "MainWindowTest.moc"
