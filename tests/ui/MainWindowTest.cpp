// The window's wiring, on Qt's offscreen platform: controls to handlers and
// back, runs with progress and Escape, the preview, settings and help.

#include "WindowTestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMimeData>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QMenu>
#include <QMenuBar>
#include <QTreeView>
#include <thread>

#include <httplib.h>

#include "ui/AboutDialog.h"
#include "ui/PreviewBox.h"
#include "ui/SplitHandle.h"
#include "ui/Translation.h"

namespace movara::ui {

using namespace test;

// Catches what the window opens with the desktop's handlers.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> Opened;
 public slots:
  void open(const QUrl& url) { Opened.push_back(url); }
};

// The window's wiring. Its texts are English here (the "C" locale, which
// names no language); the cases that pin Chinese captions set a Chinese
// locale.
class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TWindowScratch> scratch_;
  fs::path root_, program_, out_;
  UrlCatcher urls_;

  fs::path Root() const { return root_; }
  std::unique_ptr<TMainWindow> OpenWindow(const std::vector<std::string>& args = {}) {
    return scratch_->OpenWindow(args);
  }
  std::unique_ptr<TMainWindow> ShowWindow() { return scratch_->ShowWindow(); }
  static void Chinese() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }

 private slots:
  void init() {
    QLocale::setDefault(QLocale::c());
    scratch_ = std::make_unique<TWindowScratch>();
    root_ = scratch_->Root;
    program_ = scratch_->Program;
    out_ = scratch_->Out;
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
    QLocale::setDefault(QLocale::c());
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
    QTRY_COMPARE(window->RzP->text(), QString("Use this mode to convert the whole folder, with one level of subfolders."));
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
    // Escape is queued when the first file starts, as a key press would be;
    // the status says at once that the run stops after that file.
    bool pressed = false;
    QString stopping;
    connect(window->RzB, &QProgressBar::valueChanged, this, [&](int value) {
      if (value == 0) {
        if (pressed && stopping.isEmpty()) stopping = window->RzP->text();
        return;
      }
      if (pressed) return;
      pressed = true;
      QCoreApplication::postEvent(window->LV1, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    });
    const auto boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
    QCOMPARE(stopping, QString("Stopping: the run ends once a.gif is converted..."));
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Text,
             QString("The converting process has been aborted by user. 1 file converted, 0 failed, 2 not reached."));
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
    Chinese();
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
                                                              window->FTree, window->LanguageMenu, window->CB1}) {
        enabled.push_back(control->isEnabled());
      }
      QTest::mouseClick(window->RBSingle, Qt::LeftButton);
      caption = window->btnStart->text();
      enabled.push_back(window->btnStart->isEnabled());
      QTest::mouseClick(window->btnStart, Qt::LeftButton);
    });
    const auto boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
    QCOMPARE(enabled, (QList<bool>{false, false, false, false, false, false, true}));
    QCOMPARE(caption, QString::fromUtf8("停止"));
    QCOMPARE(boxes.size(), std::size_t{1});
    QVERIFY(boxes[0].Text.startsWith("The converting process has been aborted by user. 1 file converted"));
    QVERIFY(!fs::exists(out_ / "b.swf"));
    QVERIFY(window->RBFolder->isChecked());
    QVERIFY(window->RBSingle->isEnabled() && window->FTree->isEnabled() && window->btnStart->isEnabled());
    QVERIFY(window->CB1->isEnabled());
    QCOMPARE(window->btnStart->text(), QString::fromUtf8("立即转换"));
  }

  void aFailedConversionSaysWhy() {
    WriteGif(Root() / "bad", "bad.gif", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'});
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(Root() / "bad");
    ClickRow(window->LV1, 0);
    // The reason in the window's language: English only, or the reader's
    // own text with its gloss.
    auto boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Text, QString("Error 1. There was an error while converting the file.\n"
                                    "Reason: not a GIF file: invalid signature"));
    window->SetLanguage(form::TLanguage::Chinese);
    boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
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

  // The page opens as the command line opens it ($BROWSER here), and the box
  // shows its address, which it copies and opens again.
  void singleFileConversionOpensTheServedTestPageAndShowsItsAddress() {
    scratch_->GivePlayer();
    WriteGif(Root() / "one", "only.gif", Gif(16, 8));
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(Root() / "one");
    ClickRow(window->LV1, 0);
    QString copied;
    const auto boxes = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); }, {},
                                   [&](TPlayedPageBox& box) {
                                     QTest::mouseClick(box.CopyButton, Qt::LeftButton);
                                     copied = QGuiApplication::clipboard()->text();
                                     QTest::mouseClick(box.OpenButton, Qt::LeftButton);
                                   });
    QCOMPARE(boxes.size(), std::size_t{1});
    QVERIFY(boxes[0].Text.startsWith("The file only.swf has been successfully created.\n\n"));
    QTRY_COMPARE(scratch_->Browser.Opened().size(), 2);
    QCOMPARE(scratch_->Browser.Opened(), (QStringList{boxes[0].Address, boxes[0].Address}));
    QCOMPARE(copied, boxes[0].Address);
    QVERIFY2(urls_.Opened.isEmpty(), "not through the desktop's handlers");
    const QUrl page(boxes[0].Address);
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
  // size, in Chinese and in English. A locale that names no language shows
  // English.
  void captionsFitAndEveryControlHasATooltipInBothLanguages() {
    QCOMPARE(LanguageOf(QLocale(QLocale::Chinese, QLocale::China)), form::TLanguage::Chinese);
    QCOMPARE(LanguageOf(QLocale(QLocale::Chinese, QLocale::Taiwan)), form::TLanguage::Chinese);
    QCOMPARE(LanguageOf(QLocale::c()), form::TLanguage::English);
    QCOMPARE(LanguageOf(QLocale(QLocale::German, QLocale::Germany)), form::TLanguage::English);
    QVERIFY(EnglishTranslator() != nullptr);
    for (const auto language : {form::TLanguage::Chinese, form::TLanguage::English}) {
      auto window = ShowWindow();
      QVERIFY(window != nullptr);
      window->SetLanguage(language);
      const bool inEnglish = language == form::TLanguage::English;
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
    // The drop returns to its source before anything is converted or asked.
    QDropEvent drop(QPointF(300, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    const auto during = AnswerBoxes([&] { QCoreApplication::sendEvent(window.get(), &drop); });
    QVERIFY(drop.isAccepted());
    QVERIFY(during.empty());
    QVERIFY(!fs::exists(out_ / "a.swf"));
    const auto boxes = AnswerBoxes([&] { QTRY_VERIFY(fs::exists(out_ / "b.swf") && !window->Form().Running()); });
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Text, QString("2 files of 2 have been successfully converted."));
    QVERIFY(fs::exists(out_ / "a.swf") && fs::exists(out_ / "b.swf"));
    QCOMPARE(window->SelectedFolder(), Root() / "drop");
    QCOMPARE(window->LV1->topLevelItem(0)->toolTip(0).toStdString(), a.string());

    QTest::mouseClick(window->btnOpenFolder, Qt::LeftButton);
    QCOMPARE(urls_.Opened.size(), 1);
    QCOMPARE(urls_.Opened[0], QUrl::fromLocalFile(QString::fromStdString(out_.string())));
  }

  // The handle shares the width between the folder column and the list; the
  // share is kept, relative to the width, and no pane ever becomes
  // narrower than its minimum.
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
    QSettings("Brenholt", "Movara").setValue("1.0/SplitShare", 9500);
    window->Form().readini();
    QCOMPARE(window->LV1->width(), 100);
    QCOMPARE(window->FTree->width(), 302);

    // Moved while large (maximised), the handle keeps its share when the
    // window is small again, within the panes' minimum.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->resize(1600, 1000);
    const auto drag = [&](int dx) {
      QTest::mousePress(window->Splitter1, Qt::LeftButton, {}, QPoint(5, 100));
      QTest::mouseMove(window->Splitter1, QPoint(5 + dx, 100));
      QTest::mouseRelease(window->Splitter1, Qt::LeftButton, {}, QPoint(5 + dx, 100));
    };
    drag(300 - window->FTree->width());
    QCOMPARE(window->FTree->width(), 300);
    window->resize(784, 384);
    QCOMPARE(window->FTree->width(), 100);  // 300 of 1218 is 99 of 402: the minimum
    window->resize(1600, 1000);
    drag(900 - window->FTree->width());
    window->resize(800, 400);
    QCOMPARE(window->FTree->width(), 309);  // 900 of 1218 is 308.9 of 418
    drag(-1000);
    QCOMPARE(window->FTree->width(), 100);
    drag(2000);
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

  // At the smallest size the design's places; larger, the tree, the preview
  // and the list take the room, while the right column keeps its controls
  // together at the top.
  void theLayoutFollowsTheWindowsSize() {
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    QCOMPARE(window->minimumSize(), QSize(784, 384));
    QCOMPARE(window->FTree->geometry(), QRect(8, 24, 201, 169));
    QCOMPARE(window->BPanel1->geometry(), QRect(8, 202, 201, 153));
    QCOMPARE(window->LV1->geometry(), QRect(220, 24, 201, 301));
    QCOMPARE(window->btnStart->geometry(), QRect(551, 243, 118, 25));
    QCOMPARE(window->GroupBox2->geometry(), QRect(444, 276, 332, 79));
    const QRect list = window->LV1->geometry(), preview = window->BPanel1->geometry();

    window->resize(1600, 1000);
    QCOMPARE(window->FTree->geometry(), QRect(8, 24, 609, 477));
    QCOMPARE(window->BPanel1->geometry(), QRect(8, 510, 609, 461));
    QCOMPARE(window->LV1->geometry(), QRect(628, 24, 609, 917));
    QCOMPARE(window->CB1->geometry(), QRect(628, 950, 609, 21));
    QVERIFY(window->LV1->width() > list.width() && window->LV1->height() > list.height());
    QVERIFY(window->BPanel1->width() > preview.width() && window->BPanel1->height() > preview.height());
    QVERIFY(window->LV1->geometry().right() < window->BV2->x());
    QCOMPARE(window->GroupBox1->geometry(), QRect(1260, 20, 332, 65));
    QCOMPARE(window->btnStart->geometry(), QRect(1367, 243, 118, 25));
    QCOMPARE(window->GroupBox2->geometry(), QRect(1260, 276, 332, 79));
    QCOMPARE(window->RzSB1->geometry(), QRect(0, 981, 1600, 19));
    QCOMPARE(window->TBToolbar1->width(), window->BV2->x());
    QVERIFY(window->GroupBox3->isHidden());
    QVERIFY(window->ChB1->isHidden() && window->ChB1->isChecked());
  }

  // Help opens the page of the window's language in the browser, as the
  // movies' pages open.
  void helpAndAboutBox() {
    Chinese();
    WriteFileBytes(program_ / "Movara.html", {'<'});
    WriteFileBytes(program_ / "Movara-zh.html", {'<'});
    auto window = ShowWindow();
    QVERIFY(window != nullptr);
    QTest::keyClick(window.get(), Qt::Key_F1);
    // The browser runs apart from the window: the second page is asked for
    // once the first has been opened, so that they are recorded in order.
    QTRY_COMPARE(scratch_->Browser.Opened().size(), 1);
    window->SetLanguage(form::TLanguage::English);
    QTest::keyClick(window.get(), Qt::Key_F1);
    QTRY_COMPARE(scratch_->Browser.Opened(),
                 (QStringList{QUrl::fromLocalFile(QString::fromStdString((program_ / "Movara-zh.html").string())).toString(),
                              QUrl::fromLocalFile(QString::fromStdString((program_ / "Movara.html").string())).toString()}));
    window->SetLanguage(form::TLanguage::Chinese);

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
    QCOMPARE(urls_.Opened.size(), 1);
    QCOMPARE(urls_.Opened[0], QUrl("https://www.example.org/movara/"));
  }
};

}  // namespace movara::ui

QTEST_MAIN(movara::ui::MainWindowTest)
#include "MainWindowTest.moc"
