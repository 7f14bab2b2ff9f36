#include "ui/Translation.h"

namespace movara::ui {

std::unique_ptr<QTranslator> WindowTranslator(const QLocale& locale) {
  if (locale.language() == QLocale::Chinese || locale.language() == QLocale::C) return nullptr;
  auto translator = std::make_unique<QTranslator>();
  // Embedded in the program by the build (qt_add_translations).
  if (!translator->load(":/i18n/movara_en.qm")) return nullptr;
  return translator;
}

}  // namespace movara::ui
