#include "Terminal.h"

#include <unistd.h>

#include <cstdio>

#include "base/Printable.h"

namespace movara::cli {

TTerminal::TTerminal(bool quiet, bool resultsOnStandardError)
    : quiet_(quiet), live_(!quiet && isatty(STDERR_FILENO) == 1), results_(resultsOnStandardError ? stderr : stdout) {}

void TTerminal::Info(const std::string& line) {
  if (quiet_) return;
  EndProgress();
  std::fprintf(results_, "%s\n", Printable(line).c_str());
  std::fflush(results_);
}

void TTerminal::Error(const std::string& line) {
  EndProgress();
  std::fprintf(stderr, "%s\n", Printable(line).c_str());
}

void TTerminal::Warning(const std::string& line) {
  if (!quiet_) Error(line);
}

void TTerminal::Progress(const std::string& text) {
  if (!live_) return;
  // Back to the line's start, the text, then erase what an earlier, longer
  // text left.
  std::fprintf(stderr, "\r%s\033[K", Printable(text).c_str());
  std::fflush(stderr);
  progressShown_ = true;
}

void TTerminal::EndProgress() {
  if (!progressShown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  progressShown_ = false;
}

}  // namespace movara::cli
