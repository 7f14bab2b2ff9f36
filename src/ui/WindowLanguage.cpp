// The window's language: its Language menu, and every text of the window
// set again when the language changes.
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTranslator>

#include "ui/MainWindow.h"
#include "ui/Translation.h"
#include "ui/WindowTexts.h"

namespace movara::ui {

void TMainWindow::CreateLanguageMenu() {
  LanguageMenu = TBToolbar1->addMenu(QString());
  LanguageMenu->setObjectName("LanguageMenu");
  LanguageMenu->setFont(font());
  auto* group = new QActionGroup(this);
  const auto item = [&](const char* name, form::TLanguage language) {
    QAction* action = LanguageMenu->addAction(QString::fromUtf8(name));
    action->setCheckable(true);
    group->addAction(action);
    connect(action, &QAction::triggered, this, [this, language] { form_->LanguageClick(language); });
    return action;
  };
  LangEnglish = item(text::kEnglishName, form::TLanguage::English);
  LangChinese = item(text::kChineseName, form::TLanguage::Chinese);
  Translated([this] { LanguageMenu->setTitle(text::Tr(text::kLanguageMenu)); });
}

void TMainWindow::SetLanguage(form::TLanguage language) {
  // The texts are set once when the window is made, and again only when
  // the language changes (the stored choice is often the locale's).
  if (textsSet_ && language == language_) return;
  textsSet_ = true;
  language_ = language;
  if (english_ != nullptr) QCoreApplication::removeTranslator(english_.get());
  english_.reset();
  if (language == form::TLanguage::English) {
    english_ = EnglishTranslator();
    if (english_ != nullptr) QCoreApplication::installTranslator(english_.get());
  }
  (language == form::TLanguage::English ? LangEnglish : LangChinese)->setChecked(true);
  for (const auto& apply : retranslate_) apply();
  Relayout();
}

}  // namespace movara::ui
