// The window's choices kept with its settings: the mode, the URL and the
// movie's choices.
#include "form/MainForm.h"

namespace movara::form {

namespace {

bool ReadFlag(ISettingsStore& settings, const char* name, bool fallback) {
  const auto value = settings.ReadInteger(name);
  return value ? *value != 0 : fallback;
}

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
}

}  // namespace movara::form
