// The window's wiring, on Qt's offscreen platform: controls to handlers and
// back, runs with progress and Escape, the preview, settings and help.

// Before Qt's headers, which make "emit" a keyword.
#include "GifBuilder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <thread>

#include <httplib.h>

#include "base/FileStream.h"
#include "play/PlayerFiles.h"
#include "ui/AboutDialog.h"
#include "ui/MainWindow.h"
#include "ui/PreviewBox.h"
#include "ui/QtSettingsStore.h"
#include "ui/SplitHandle.h"
#include "ui/Translation.h"

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
    QDesktopServices::setUrlHandler("http", &urls_, "open");
    QDesktopServices::setUrlHandler("https", &urls_, "open");
    QDesktopServices::setUrlHandler("mailto", &urls_, "open");
    urls_.Opened.clear();
  }
  void cleanup() {
    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("http");
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
    QVERIFY(boxes[0].Text.startsWith("1 file of 2 has been successfully converted.\n\nNot converted:\n"));
    QVERIFY(boxes[0].Text.contains("Reason: collision: "));
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
    QCOMPARE(boxes.size(), std::size_t{0});  // no "aborted" box to answer before it closes
    QVERIFY(!fs::exists(out_ / "b.swf"));
    QVERIFY(!window->isVisible());
    QCOMPARE(QSettings("Brenholt", "Movara").value("1.0/LastDir").toString().toStdString(), in.string());
  }

  void aFolderRunDisablesItsChoicesAndStartBecomesStop() {
    const fs::path in = Root() / "stop";
    for (const char* name : {"a.gif", "b.gif", "c.gif"}) WriteGif(in, name, Gif(16, 8));
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(in);
    QTest::mouseClick(window->RBFolder, Qt::LeftButton);
    QList<bool> enabled;
    QString caption;
    bool clicked = false;
    connect(window->RzB, &QProgressBar::valueChanged, this, [&](int value) {
      if (value == 0 || clicked) return;
      clicked = true;
      for (QWidget* control : std::initializer_list<QWidget*>{window->RBSingle, window->EURL, window->btnSelectFolder,
                                                              window->FTree}) {
        enabled.push_back(control->isEnabled());
      }
      QTest::mouseClick(window->RBSingle, Qt::LeftButton);
      caption = window->btnStart->text();
      enabled.push_back(window->btnStart->isEnabled());
      QTest::mouseClick(window->btnStart, Qt::LeftButton);
    });
    const auto boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
    QCOMPARE(enabled, (QList<bool>{false, false, false, false, true}));
    QCOMPARE(caption, QString::fromUtf8("停止"));
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Text, QString("The converting process has been aborted by user."));
    QVERIFY(!fs::exists(out_ / "b.swf"));
    QVERIFY(window->RBFolder->isChecked());
    QVERIFY(window->RBSingle->isEnabled() && window->FTree->isEnabled() && window->btnStart->isEnabled());
    QCOMPARE(window->btnStart->text(), QString::fromUtf8("立即转换"));
  }

  void aFailedConversionSaysWhy() {
    WriteGif(Root() / "bad", "bad.gif", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'});
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(Root() / "bad");
    ClickRow(window->LV1, 0);
    const auto boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Text, QString::fromUtf8("Error 1. There was an error while converting the file.\n"
                                              "Reason: 无效 GIF 签名 (not a GIF file: invalid signature)"));
  }

  void thePositionPaneFollowsTheList() {
    for (int i = 0; i < 6; ++i) WriteGif(Root() / "six", "g" + std::to_string(i) + ".gif", Gif(8, 8));
    fs::create_directories(Root() / "empty");
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(Root() / "six");
    QCOMPARE(window->RzP2->text(), QString("File: 0/6"));
    ClickRow(window->LV1, 5);
    QCOMPARE(window->RzP2->text(), QString("File: 6/6"));
    fs::remove(Root() / "six" / "g5.gif");
    QTRY_COMPARE(window->RzP2->text(), QString("File: 0/5"));
    window->SelectFolder(Root() / "empty");
    QCOMPARE(window->RzP2->text(), QString("File: 0/0"));
  }

  void aMaximisedWindowComesBackMaximisedWithItsNormalSize() {
    {
      auto window = OpenWindow();
      window->move(20, 30);
      window->resize(800, 400);
      window->showMaximized();
      QVERIFY(QTest::qWaitForWindowExposed(window.get()));
      QTRY_VERIFY(window->isMaximized());
      window->close();
    }
    auto window = OpenWindow();
    QVERIFY(window->windowState() & Qt::WindowMaximized);
    window->setWindowState(Qt::WindowNoState);
    QCOMPARE(window->size(), QSize(800, 400));
  }

  void aGeometryOffEveryScreenComesBackOnThePrimaryOne() {
    QSettings stored("Brenholt", "Movara");
    for (const auto& [name, value] : {std::pair{"L", 5000}, {"T", -3000}, {"W", 784}, {"H", 384}}) {
      stored.setValue(QString("1.0/") + name, value);
    }
    stored.sync();
    auto window = OpenWindow();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(screen.contains(window->geometry().center()), qPrintable(QString("%1,%2").arg(window->x()).arg(window->y())));
  }

  void aMissingOutputFolderIsSaidInTheStatusBar() {
    QSettings stored("Brenholt", "Movara");
    stored.setValue("1.0/OutputFolder", QString::fromStdString((Root() / "gone").string()));
    stored.sync();
    auto window = OpenWindow();
    QVERIFY(window->RzP->text().startsWith(QString::fromStdString("The output folder " + (Root() / "gone").string() +
                                                                  " no longer exists; movies go to ")));
    QVERIFY(window->Form().OutputFolder != program_);
  }

  void singleFileConversionOpensTheServedTestPage() {
    // A stand-in for the player's files beside the program.
    fs::create_directories(program_ / "player");
    WriteFileBytes(program_ / "player" / play::kPlayerEntry, {'/', '/'});
    WriteGif(Root() / "one", "only.gif", Gif(16, 8));
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(Root() / "one");
    ClickRow(window->LV1, 0);
    const auto boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Text, QString("The file only.swf has been successfully created."));
    QCOMPARE(urls_.Opened.size(), 1);
    const QUrl page = urls_.Opened[0];
    QCOMPARE(page.scheme(), QString("http"));
    QCOMPARE(page.host(), QString("127.0.0.1"));
    QVERIFY(page.path().endsWith("/only.html"));
    QVERIFY(fs::is_regular_file(out_ / "only.html"));
    httplib::Client server("127.0.0.1", page.port());
    const auto served = server.Get(page.path().toStdString());
    QVERIFY(served);
    QVERIFY(served->body.find("<script src=\"../player/ruffle.js\">") != std::string::npos);
    const auto movie = server.Get(page.path().replace("only.html", "only.swf").toStdString());
    QVERIFY(movie);
    const auto onDisk = ReadFileBytes(out_ / "only.swf");
    QVERIFY(movie->body == std::string(onDisk.begin(), onDisk.end()));
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

  void theMovieCheckBoxesTheModeAndTheUrlSurviveARestart() {
    {
      auto window = OpenWindow();
      QTest::mouseClick(window->RBFolder, Qt::LeftButton);
      window->EURL->setText("http://example.org/");
      window->ChBCompress->setChecked(true);
      window->ChBKeep->setChecked(true);
      window->SEFrameRate->setValue(30);
      window->ChBGifLoop->setChecked(true);
      window->close();
    }
    auto window = OpenWindow();
    QVERIFY(window->RBFolder->isChecked());
    QVERIFY(!window->EURL->isEnabled());
    QCOMPARE(window->EURL->text(), QString("http://example.org/"));
    QVERIFY(!window->ChBCompact->isChecked());
    QVERIFY(window->ChBCompress->isChecked());
    QVERIFY(window->ChBKeep->isChecked());
    QCOMPARE(window->SEFrameRate->value(), 30);
    QVERIFY(window->ChBGifLoop->isChecked());
  }

  // Every control has a tooltip, and no caption is cut off at the smallest
  // size, in Chinese and in English.
  void captionsFitAndEveryControlHasATooltipInBothLanguages() {
    QVERIFY(WindowTranslator(QLocale(QLocale::Chinese, QLocale::China)) == nullptr);
    QVERIFY(WindowTranslator(QLocale::c()) == nullptr);
    const auto english = WindowTranslator(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(english != nullptr);
    QVERIFY(WindowTranslator(QLocale(QLocale::German, QLocale::Germany)) != nullptr);
    for (QTranslator* translator : {static_cast<QTranslator*>(nullptr), english.get()}) {
      if (translator != nullptr) QCoreApplication::installTranslator(translator);
      auto window = ShowWindow();
      QVERIFY(window != nullptr);
      const bool inEnglish = translator != nullptr;
      QCOMPARE(window->btnStart->text(), inEnglish ? QString("Convert now") : QString::fromUtf8("立即转换"));
      QCOMPARE(window->RBFolder->toolTip(), inEnglish ? QString("Use this mode to convert the whole folder, with one level of subfolders.")
                                                      : QString::fromUtf8("使用这个模式转换全部文件夹, 包含一级子文件夹."));
      const QWidget* const controls[] = {
          window->FTree,      window->LV1,         window->CB1,     window->BPanel1,         window->RBSingle,
          window->RBFolder,   window->EURL,        window->ChBCompact, window->ChBCompress, window->ChBKeep,
          window->btnStart,   window->btnSelectFolder, window->JamPathLabel1, window->RzP2,   window->RzB,
          window->btnOpenFolder, window->SEFrameRate, window->ChBGifLoop};
      for (const QWidget* control : controls) {
        QVERIFY2(!control->toolTip().isEmpty(), qPrintable(control->objectName()));
      }
      for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(window.get())) continue;
        // A push button's hint has a minimum width of the style's; its text is what must fit.
        const int need = qobject_cast<QPushButton*>(button) != nullptr
                             ? button->fontMetrics().horizontalAdvance(button->text()) + 8
                             : button->sizeHint().width();
        QVERIFY2(need <= button->width(), qPrintable(button->objectName() + ": " + button->text()));
      }
      for (QGroupBox* group : window->findChildren<QGroupBox*>()) {
        QVERIFY2(group->fontMetrics().horizontalAdvance(group->title()) + 20 < group->width(), qPrintable(group->title()));
      }
      if (translator != nullptr) QCoreApplication::removeTranslator(translator);
    }
  }

  void droppedGifsAreConvertedAndTheOutputFolderOpens() {
    const fs::path a = WriteGif(Root() / "drop", "a.gif", Gif(8, 8));
    const fs::path b = WriteGif(Root() / "drop", "b.gif", Gif(8, 8));
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(a.string())),
                  QUrl::fromLocalFile(QString::fromStdString(b.string())),
                  QUrl::fromLocalFile(QString::fromStdString((Root() / "drop").string()))});
    QDragEnterEvent enter(QPoint(300, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(300, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    const auto boxes = AnswerBoxes([&] { QCoreApplication::sendEvent(window.get(), &drop); });
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Text, QString("2 files of 2 have been successfully converted."));
    QVERIFY(fs::exists(out_ / "a.swf") && fs::exists(out_ / "b.swf"));
    QCOMPARE(window->SelectedFolder(), Root() / "drop");
    QCOMPARE(window->LV1->topLevelItem(0)->toolTip(0).toStdString(), a.string());

    QTest::mouseClick(window->btnOpenFolder, Qt::LeftButton);
    QCOMPARE(urls_.Opened.size(), 1);
    QCOMPARE(urls_.Opened[0], QUrl::fromLocalFile(QString::fromStdString(out_.string())));
  }

  void theSplitterSharesTheWidthBetweenTheFolderColumnAndTheListAndIsKept() {
    {
      auto window = ShowWindow();
      QVERIFY(window != nullptr);
      QCOMPARE(window->Splitter1->geometry(), QRect(209, 24, 11, 331));
      QTest::mousePress(window->Splitter1, Qt::LeftButton, {}, QPoint(5, 100));
      QTest::mouseMove(window->Splitter1, QPoint(-45, 100));
      QTest::mouseRelease(window->Splitter1, Qt::LeftButton, {}, QPoint(-45, 100));
      QCOMPARE(window->FTree->width(), 151);
      QCOMPARE(window->BPanel1->width(), 151);
      QCOMPARE(window->LV1->geometry(), QRect(170, 24, 251, 301));
      QCOMPARE(window->CB1->geometry(), QRect(170, 334, 251, 21));
      window->close();
    }
    auto window = OpenWindow();
    QCOMPARE(window->LV1->geometry(), QRect(170, 24, 251, 301));
    QSettings("Brenholt", "Movara").setValue("1.0/Split", 500);
    window->Form().readini();  // kept to what leaves both columns usable
    QCOMPARE(window->LV1->width(), 100);
  }

  void commandLineModeStoresNothing() {
    const fs::path gif = WriteGif(Root() / "cli", "cli.gif", Gif(16, 8));
    auto window = OpenWindow({gif.string()});
    QVERIFY(window->Form().CommandLineMode);
    QCOMPARE(window->Form().CommandLineResult, static_cast<int>(convert::crOk));
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

    QString title, product;
    QSize size;
    QTimer::singleShot(0, [&] {
      auto* about = qobject_cast<TAboutDialog*>(QApplication::activeModalWidget());
      if (about == nullptr) return;
      title = about->windowTitle();
      if (const auto* label = about->findChild<QLabel*>("product")) product = label->text();
      size = about->size();
      QTest::mouseClick(about->L19, Qt::LeftButton);
      QTest::mouseClick(about->B1, Qt::LeftButton);
    });
    window->About1->trigger();
    QCOMPARE(title, QString::fromUtf8("关于..."));
    QCOMPARE(product, QString("Movara Converter v." MOVARA_VERSION));
    QCOMPARE(size, QSize(394, 216));
    QCOMPARE(urls_.Opened.size(), 2);
    QCOMPARE(urls_.Opened[1], QUrl("https://www.example.org/movara/"));
  }
};

}  // namespace movara::ui

QTEST_MAIN(movara::ui::MainWindowTest)
#include "MainWindowTest.moc"
