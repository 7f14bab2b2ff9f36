#pragma once

#include <QLocale>
#include <QTranslator>
#include <memory>

namespace movara::ui {

// The translation of the window's texts for a locale: English for every
// language but Chinese. Chinese locales, and the "C" locale of scripts and
// tests that name no language, keep the program's own (Chinese) texts:
// null then.
std::unique_ptr<QTranslator> WindowTranslator(const QLocale& locale);

}  // namespace movara::ui
