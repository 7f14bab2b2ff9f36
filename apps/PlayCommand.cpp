#include "PlayCommand.h"

#include <signal.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <system_error>

#include "Interrupt.h"
#include "base/FileStream.h"
#include "base/ProgramFolder.h"
#include "play/Browser.h"
#include "play/HtmlPage.h"
#include "play/PlayerFiles.h"
#include "play/PlayerServer.h"
#include "swf/core/TagReader.h"

namespace movara::cli {

namespace {

// A movie's stage in pixels and its size in bytes, from the frame rectangle
// of its header (in twips): only the header's bytes are read, whatever the
// movie's size. Nothing when the file is not a movie whose header can be
// read.
struct TStage {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::uintmax_t Bytes = 0;
};
std::optional<TStage> MovieStage(const std::filesystem::path& movie) {
  try {
    TFileStream file(movie, TFileStream::Mode::Read);
    const swf::TRectangle frame = swf::ReadSWFHeaderStart(file).FrameRect;
    return TStage{(frame.Right - frame.Left) / 20, (frame.Bottom - frame.Top) / 20, file.Size()};
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// Whether a file starts as a movie does.
bool LooksLikeMovie(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  char signature[3] = {};
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (f == nullptr) return false;
  const std::size_t got = std::fread(signature, 1, 3, f);
  std::fclose(f);
  return got == 3 && (signature[0] == 'F' || signature[0] == 'C') && signature[1] == 'W' && signature[2] == 'S';
}

// The movie to play and its page: the file itself when it is a movie, else
// the movie converted from it; nothing (and the exit status) when the
// conversion fails.
struct TPlayed {
  std::filesystem::path Movie;
  std::string Page;
  int Code = convert::crOk;
};

// A movie on disk played as it is, at the stage size of its header.
TPlayed ExistingMovie(const std::filesystem::path& movie, const std::string& shown, TTerminal& terminal) {
  const auto stage = MovieStage(movie);
  if (!stage) {
    terminal.Error("movara-cli: " + shown + " is not a movie that can be read");
    return {{}, {}, convert::crLoadError};
  }
  return {movie, play::BuildTestPage(movie.filename().string(), std::to_string(stage->Width),
                                    std::to_string(stage->Height), false, stage->Bytes),
          convert::crOk};
}

TPlayed MovieToPlay(const TCliOptions& options, TTerminal& terminal) {
  std::error_code ec;
  const std::filesystem::path file = std::filesystem::absolute(options.Files.front(), ec);
  if (LooksLikeMovie(file)) return ExistingMovie(file, options.Files.front().string(), terminal);
  const convert::TConvertOutcome outcome = ConvertFile(options, file, terminal);
  if (outcome.Code != convert::crOk) return {{}, {}, outcome.Code};
  // A movie kept (--no-overwrite) is played as it is.
  if (!outcome.Written) return ExistingMovie(outcome.Movie, outcome.Movie.string(), terminal);
  std::uintmax_t size = std::filesystem::file_size(outcome.Movie, ec);
  if (ec) size = 0;
  return {outcome.Movie,
          play::BuildTestPage(outcome.Movie.filename().string(), std::to_string(outcome.Width),
                             std::to_string(outcome.Height), outcome.FirstFrameTransparent, size),
          convert::crOk};
}

}  // namespace

int PlayFile(const TCliOptions& options, TTerminal& terminal) {
  const std::filesystem::path programFolder = ProgramFolder();
  const std::filesystem::path playerFolder = play::FindPlayerFolder(programFolder);
  if (playerFolder.empty()) {
    terminal.Error("movara-cli: " + play::PlayerMissingMessage(programFolder));
    return convert::crLoadError;
  }
  // The conversion stops on Ctrl-C as any run does.
  const TPlayed played = MovieToPlay(options, terminal);
  // From here SIGINT, SIGTERM and SIGHUP end the serving: held back in
  // every thread (the server's too) and waited for below. One that came
  // during the conversion ends the program instead of the serving.
  sigset_t stop = StopSignals();
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  if (const int signal = InterruptSignal(); signal != 0) {
    terminal.Error(std::string("movara-cli: interrupted (") + SignalName(signal) + ")");
    return 128 + signal;
  }
  if (played.Code != convert::crOk) return played.Code;

  play::TPlayerServer server(playerFolder);
  const std::string url = server.Play(played.Movie, played.Page);
  std::printf("page: %s\n", url.c_str());
  std::fflush(stdout);
  if (!options.NoBrowser && !play::OpenBrowser(url)) {
    terminal.Error("movara-cli: no browser could be started; open the page above in one");
  }
  const bool onTerminal = isatty(STDERR_FILENO) == 1;
  if (onTerminal) std::fputs("Serving the movie on 127.0.0.1; press Ctrl-C to stop.\n", stderr);
  int received = 0;
  sigwait(&stop, &received);
  if (onTerminal) std::fputs("Stopped.\n", stderr);
  return convert::crOk;
}

}  // namespace movara::cli
