// The window's choices kept with its settings: the mode, the URL, the
// movie's choices and the language; and the question about a URL that
// names a site without its scheme.
#include "form/MainForm.h"
#include "run/LinkUrl.h"

namespace movara::form {

namespace {

bool ReadFlag(ISettingsStore& settings, const char* name, bool fallback) {
  const auto value = settings.ReadInteger(name);
  return value ? *value != 0 : fallback;
}

constexpr const char* kLanguageCodes[] = {"en", "zh"};

}  // namespace

void TfrmMain::readChoices() {
  view_.SetSingleFileMode(ReadFlag(settings_, "SingleFile", true));
  if (const auto url = settings_.ReadString("URL")) view_.SetUrlText(*url);
  IMainView::MovieChoices movie = view_.MovieOptions();
  movie.Compact = ReadFlag(settings_, "Compact", movie.Compact);
  movie.Compress = ReadFlag(settings_, "Compress", movie.Compress);
  movie.KeepExisting = ReadFlag(settings_, "KeepExisting", movie.KeepExisting);
  // A rate out of range (a settings file edited by hand) keeps the window's.
  const auto fps = settings_.ReadInteger("FramesPerSecond");
  if (fps && *fps >= static_cast<std::int32_t>(convert::kMinFrameRate) && *fps <= static_cast<std::int32_t>(convert::kMaxFrameRate)) {
    movie.Timing.FramesPerSecond = static_cast<unsigned>(*fps);
  }
  movie.Timing.GifLoop = ReadFlag(settings_, "GifLoop", movie.Timing.GifLoop);
  view_.SetMovieOptions(movie);
  // A language never chosen (or unknown) follows the locale.
  const std::string language = settings_.ReadString("Language").value_or("");
  for (const TLanguage known : {TLanguage::English, TLanguage::Chinese}) {
    if (language == kLanguageCodes[static_cast<int>(known)]) LanguageClick(known);
  }
}

void TfrmMain::writeChoices() {
  settings_.WriteInteger("SingleFile", view_.SingleFileMode() ? 1 : 0);
  settings_.WriteString("URL", view_.UrlText());
  const IMainView::MovieChoices movie = view_.MovieOptions();
  settings_.WriteInteger("Compact", movie.Compact ? 1 : 0);
  settings_.WriteInteger("Compress", movie.Compress ? 1 : 0);
  settings_.WriteInteger("KeepExisting", movie.KeepExisting ? 1 : 0);
  settings_.WriteInteger("FramesPerSecond", static_cast<std::int32_t>(movie.Timing.FramesPerSecond));
  settings_.WriteInteger("GifLoop", movie.Timing.GifLoop ? 1 : 0);
  if (languageChosen_) settings_.WriteString("Language", kLanguageCodes[static_cast<int>(view_.Language())]);
}

void TfrmMain::LanguageClick(TLanguage language) {
  languageChosen_ = true;
  view_.SetLanguage(language);
}

run::TReasonText TfrmMain::ReasonText() const {
  return view_.Language() == TLanguage::English ? run::TReasonText::English : run::TReasonText::WithGloss;
}

bool TfrmMain::ConfirmUrl(TRunChoices& choices) {
  if (!run::MissesScheme(choices.Url)) return true;
  const std::string suggestion = run::WithHttps(choices.Url);
  switch (view_.AskAboutUrl(choices.Url, suggestion)) {
    case IMainView::UrlAnswer::UseSuggestion:
      choices.Url = suggestion;
      view_.SetUrlText(suggestion);
      return true;
    case IMainView::UrlAnswer::KeepAsTyped:
      return true;
    case IMainView::UrlAnswer::Cancel:
      break;
  }
  return false;
}

}  // namespace movara::form
