// The window's face, on Qt's offscreen platform: one language at a time
// (every text of the English face, its boxes and its help page free of
// Chinese), the Language menu, and the question about a URL without a
// scheme.
#include "WindowTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSpinBox>

#include "ui/AboutDialog.h"

namespace movara::ui {

using namespace test;

namespace {

// Whether a text holds a Chinese (CJK) character or CJK punctuation.
bool HasCjk(const QString& text) {
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if ((u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF)) return true;
  }
  return false;
}

// Every text a widget and the widgets and actions in it show: captions,
// titles, items, tooltips and status hints. The language named in its own
// (中文 in the Language menu) is not the face's language.
QStringList TextsOf(const QWidget& root, const QAction* ownName) {
  QStringList texts = {root.windowTitle(), root.toolTip(), root.statusTip()};
  for (const QWidget* w : root.findChildren<QWidget*>()) {
    texts << w->toolTip() << w->statusTip() << w->windowTitle();
    if (const auto* label = qobject_cast<const QLabel*>(w)) texts << label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) texts << button->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(w)) texts << group->title();
    if (const auto* edit = qobject_cast<const QLineEdit*>(w)) texts << edit->text() << edit->placeholderText();
    if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
      for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
    }
    if (const auto* menu = qobject_cast<const QMenu*>(w)) texts << menu->title();
  }
  for (const QAction* action : root.findChildren<QAction*>()) {
    if (action != ownName) texts << action->text() << action->toolTip() << action->statusTip();
  }
  return texts;
}

QStringList TextsOf(const std::vector<Box>& boxes) {
  QStringList texts;
  for (const Box& box : boxes) texts << box.Title << box.Text << box.Buttons;
  return texts;
}

QStringList ChineseAmong(const QStringList& texts) {
  QStringList found;
  for (const QString& text : texts) {
    if (HasCjk(text)) found << text;
  }
  return found;
}

}  // namespace

class WindowFaceTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TWindowScratch> scratch_;

 private slots:
  void init() {
    // The usual locale of containers and servers: it names no language.
    QLocale::setDefault(QLocale::c());
    scratch_ = std::make_unique<TWindowScratch>();
  }
  void cleanup() { scratch_.reset(); }

  void theEnglishFaceShowsNoChineseAnywhere() {
    scratch_->GivePlayer();
    const fs::path in = scratch_->Root / "in";
    WriteGif(in, "good.gif", Gif(8, 8));
    WriteFileBytes(in / "bad.gif", {'G', 'I', 'F', '8', '9', 'a', 1});
    auto window = scratch_->ShowWindow();
    QVERIFY(window != nullptr);
    QCOMPARE(window->Language(), form::TLanguage::English);
    QStringList texts = TextsOf(*window, window->LangChinese);
    QVERIFY(texts.contains("Convert now"));

    // The boxes: a failure and its reason, the page of a movie played, a
    // folder run's summary with its failures, the about box.
    window->SelectFolder(in);
    for (const int row : {0, 1}) {
      ClickRow(window->LV1, row);
      texts << TextsOf(AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); }));
    }
    QTest::mouseClick(window->RBFolder, Qt::LeftButton);
    const auto summary = AnswerBoxes([&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); });
    QCOMPARE(summary.size(), std::size_t{1});
    QVERIFY(summary[0].Text.contains("bad.gif: Reason: the data ends early"));
    texts << TextsOf(summary) << window->RzP->text() << window->RzP2->text();
    QStringList about;
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<TAboutDialog*>(QApplication::activeModalWidget())) {
        about = TextsOf(*box, nullptr);
        box->B1->click();
      }
    });
    window->About1->trigger();
    QVERIFY(!about.isEmpty());
    texts << about;
    QVERIFY2(ChineseAmong(texts).isEmpty(), qPrintable(ChineseAmong(texts).join(" | ")));

    // The help page it opens is the English one, with the captions shown.
    QFile help(MOVARA_HELP_DIR "/Movara.html");
    QVERIFY(help.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(help.readAll());
    QVERIFY2(ChineseAmong(page.split('\n')).isEmpty(), qPrintable(ChineseAmong(page.split('\n')).join("\n")));
    for (const char* caption : {"Convert now", "Whole folder", "Keep existing movies", "Frame rate", "Language"}) {
      QVERIFY2(page.contains(caption), caption);
    }
  }

  // The Language menu switches every text at once; the choice is kept.
  void theLanguageMenuSwitchesAtOnceAndIsKept() {
    {
      auto window = scratch_->ShowWindow();
      QVERIFY(window != nullptr);
      QVERIFY(window->LangEnglish->isChecked());
      window->LangChinese->trigger();
      QCOMPARE(window->Language(), form::TLanguage::Chinese);
      QCOMPARE(window->btnStart->text(), QString::fromUtf8("立即转换"));
      QCOMPARE(window->RBFolder->toolTip(), QString::fromUtf8("使用这个模式转换全部文件夹, 包含一级子文件夹."));
      QCOMPARE(window->LanguageMenu->title(), QString::fromUtf8("语言 (Language)"));
      QCOMPARE(window->CB1->itemText(0), QString::fromUtf8("文件类型 (*.GIF)"));
      QVERIFY(window->LangChinese->isChecked() && !window->LangEnglish->isChecked());
      window->close();
    }
    QCOMPARE(QSettings("Brenholt", "Movara").value("1.0/Language").toString(), QString("zh"));
    auto window = scratch_->OpenWindow();
    QCOMPARE(window->Language(), form::TLanguage::Chinese);
    QCOMPARE(window->GroupBox5->title(), QString::fromUtf8(" 影片 "));
    window->LangEnglish->trigger();
    QCOMPARE(window->GroupBox5->title(), QString(" Movie "));
    QCOMPARE(window->LblFrameRate->text(), QString("Frame rate"));
    // The label moves to stay beside its box.
    QCOMPARE(window->LblFrameRate->geometry().right() + 7, window->SEFrameRate->x());
  }

  // A link naming a site without its scheme is asked about: https:// before
  // it, as typed, or no run.
  void aUrlWithoutItsSchemeIsAskedAbout() {
    WriteGif(scratch_->Root / "link", "link.gif", Gif(8, 8));
    auto window = scratch_->ShowWindow();
    QVERIFY(window != nullptr);
    window->SelectFolder(scratch_->Root / "link");
    ClickRow(window->LV1, 0);
    window->EURL->setText("www.example.com");
    const auto start = [&] { QTest::mouseClick(window->btnStart, Qt::LeftButton); };
    auto boxes = AnswerBoxes(start, [](const Box&) { return QString("Cancel"); });
    QCOMPARE(boxes.size(), std::size_t{1});
    QCOMPARE(boxes[0].Text, QString("\"www.example.com\" does not start with a scheme such as https://: the movie would "
                                    "open it relative to the page that plays it. Use https://www.example.com instead?"));
    QStringList buttons = boxes[0].Buttons;
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"Cancel", "Keep as typed", "Use https://www.example.com"}));
    QVERIFY(!fs::exists(scratch_->Out / "link.swf"));

    boxes = AnswerBoxes(start);  // the default: https://
    QVERIFY(boxes.size() >= 2);
    QCOMPARE(window->EURL->text(), QString("https://www.example.com"));
    const Bytes movie = ReadFileBytes(scratch_->Out / "link.swf");
    QVERIFY(std::string(movie.begin(), movie.end()).find("https://www.example.com") != std::string::npos);

    window->EURL->setText("page.html");
    boxes = AnswerBoxes(start, [](const Box&) { return QString("Keep as typed"); });
    QCOMPARE(boxes[0].Buttons.size(), 3);
    const Bytes kept = ReadFileBytes(scratch_->Out / "link.swf");
    QVERIFY(std::string(kept.begin(), kept.end()).find("page.html") != std::string::npos);
    QCOMPARE(window->EURL->text(), QString("page.html"));
  }
};

}  // namespace movara::ui

QTEST_MAIN(movara::ui::WindowFaceTest)
#include "WindowFaceTest.moc"
