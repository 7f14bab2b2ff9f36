#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Terminal.h"
#include "convert/Convert.h"
#include "run/RunShare.h"

namespace movara::cli {

class TCliReport;

// The choices of one movara-cli run.
struct TCliOptions {
  std::vector<std::filesystem::path> Files;
  std::filesystem::path Folder;
  // Empty: each movie beside its GIF.
  std::filesystem::path Output;
  std::string Url;
  bool Html = false;
  bool Quiet = false;
  convert::TOverwrite Overwrite = convert::TOverwrite::Replace;
  bool Compact = false;
  bool Compress = false;
  convert::TMovieTiming Timing;
  // Files converted at once; each conversion then compresses its own
  // pictures, where a single one uses every core for them.
  unsigned Jobs = 1;
  // --play: serve the one file's movie to the browser; --no-browser only
  // prints its page's URL.
  bool Play = false;
  bool NoBrowser = false;
  // --files-from: names read from a list ("-": standard input), one a line
  // or ended by NUL bytes (--null), converted after the files given.
  std::filesystem::path FilesFrom;
  bool NullSeparated = false;
  // --report: a JSON line per file and the summary ("-": standard output).
  std::filesystem::path Report;
  // --shard: the share of the run's files converted here.
  run::TShare Share;
  // --types: the extensions a folder run takes (GIFs unless asked).
  std::vector<std::string> Extensions = {".gif"};
};

// Both runs plan first (a file whose movie or page would replace an input,
// or whose movie an earlier file makes, is refused) and report each file in
// the plan's order, with any number of jobs. After Ctrl-C or SIGTERM they
// report the files under way, print the summary and return 130 or 143.

// Converts the files given; the worst result code.
int ConvertFileList(const TCliOptions& options, TTerminal& terminal, TCliReport& report);
// Converts a folder and one level of its subfolders; 6 after a write
// error, 1 when a GIF could not be read or was refused or a folder could
// not be read, else 0.
int ConvertFolder(const TCliOptions& options, TTerminal& terminal, TCliReport& report);
// Converts one GIF (an absolute path) as a file of a list is, with its
// progress line and report.
convert::TConvertOutcome ConvertFile(const TCliOptions& options, const std::filesystem::path& gif, TTerminal& terminal);

}  // namespace movara::cli
