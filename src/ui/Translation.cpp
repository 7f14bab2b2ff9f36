#include "ui/Translation.h"

namespace movara::ui {

form::TLanguage LanguageOf(const QLocale& locale) {
  return locale.language() == QLocale::Chinese ? form::TLanguage::Chinese : form::TLanguage::English;
}

std::unique_ptr<QTranslator> EnglishTranslator() {
  auto translator = std::make_unique<QTranslator>();
  // Embedded in the program by the build (qt_add_translations).
  if (!translator->load(":/i18n/movara_en.qm")) return nullptr;
  return translator;
}

}  // namespace movara::ui
