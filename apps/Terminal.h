#pragma once

#include <cstdio>
#include <string>

namespace movara::cli {

// What movara-cli tells its user: results on standard output, errors on
// standard error, and a progress line that rewrites itself on standard
// error when that is a terminal (never in a pipe or a log, never --quiet).
// Control characters of the texts (of file names, of a reader's message)
// are shown escaped, never sent to the terminal. Results go to standard
// error too when standard output carries a report for programs.
class TTerminal {
 public:
  explicit TTerminal(bool quiet, bool resultsOnStandardError = false);
  void Info(const std::string& line);
  void Error(const std::string& line);
  // A line on standard error that --quiet leaves out.
  void Warning(const std::string& line);
  void Progress(const std::string& text);
  void EndProgress();

 private:
  bool quiet_;
  bool live_;
  std::FILE* results_;
  bool progressShown_ = false;
};

}  // namespace movara::cli
