#pragma once

#include <QLocale>
#include <QTranslator>
#include <memory>

#include "form/MainView.h"

namespace movara::ui {

// The language of the window's texts for a locale until the user chooses
// one: Chinese for a Chinese locale, English for any other, the "C" locale
// too (the usual one of containers and servers, which names no language).
form::TLanguage LanguageOf(const QLocale& locale);

// The English translation of the program's own (Chinese) texts, embedded in
// the program; null when it cannot be loaded.
std::unique_ptr<QTranslator> EnglishTranslator();

}  // namespace movara::ui
