// The window's choices kept with its settings: the mode, the URL and the
// movie's check boxes.
#include "app/MainForm.h"

namespace movara::app {

namespace {

bool ReadFlag(ISettingsStore& settings, const char* name, bool fallback) {
  const auto value = settings.ReadInteger(name);
  return value ? *value != 0 : fallback;
}

}  // namespace

void TfrmMain::readChoices() {
  view_.SetSingleFileMode(ReadFlag(settings_, "SingleFile", true));
  if (const auto url = settings_.ReadString("URL")) view_.SetUrlText(*url);
  const IMainView::MovieChoices now = view_.MovieOptions();
  view_.SetMovieOptions({ReadFlag(settings_, "Compact", now.Compact), ReadFlag(settings_, "Compress", now.Compress),
                         ReadFlag(settings_, "KeepExisting", now.KeepExisting)});
}

void TfrmMain::writeChoices() {
  settings_.WriteInteger("SingleFile", view_.SingleFileMode() ? 1 : 0);
  settings_.WriteString("URL", view_.UrlText());
  const IMainView::MovieChoices movie = view_.MovieOptions();
  settings_.WriteInteger("Compact", movie.Compact ? 1 : 0);
  settings_.WriteInteger("Compress", movie.Compress ? 1 : 0);
  settings_.WriteInteger("KeepExisting", movie.KeepExisting ? 1 : 0);
}

}  // namespace movara::app
