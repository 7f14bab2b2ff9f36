// movara-cli: converts GIF, PNG and WebP files to SWF movies from a terminal.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "CliReport.h"
#include "CliRuns.h"
#include "Interrupt.h"
#include "ManyFiles.h"
#include "PlayCommand.h"
#include "Terminal.h"
#include "base/Memory.h"
#include "base/Printable.h"
#include "run/FolderListing.h"
#include "run/LinkUrl.h"

namespace {

using movara::cli::TCliOptions;

constexpr const char* kSynopsis =
    "usage: movara-cli [options] [--] FILE.gif|FILE.png|FILE.webp...\n"
    "       movara-cli [options] --folder DIR\n"
    "       movara-cli [options] --play FILE\n";
constexpr const char* kHelpPointer = "movara-cli --help lists the options.\n";

constexpr const char* kUsage =
    "\n"
    "Converts GIF, animated PNG and animated WebP images (still ones too) into\n"
    "SWF movies that play like them; a file's kind is told by its content.\n"
    "  FILE...         convert these files\n"
    "  --folder DIR    convert every GIF of DIR and of its subfolders (one level)\n"
    "                  (and PNG and WebP files with --types)\n"
    "  --types LIST    the kinds of file --folder takes: gif, png, webp, comma-\n"
    "                  separated (default gif)\n"
    "  --output DIR    folder for the movies (default: beside each GIF; with\n"
    "                  --folder, a subfolder's movies go into a subfolder of DIR)\n"
    "  --url URL       make the movie open URL in a new window when clicked\n"
    "  --html          also write an HTML test page beside each movie\n"
    "  --no-overwrite  keep movies that exist (default: replace them)\n"
    "  --compact       store pictures of at most 256 colours as 8-bit bitmaps:\n"
    "                  smaller movies, made faster, that play the same\n"
    "  --compress      write compressed movies (\"CWS\"; default uncompressed)\n"
    "  --fps N         movie frames per second, 1 to 120 (default 24)\n"
    "  --loop          play the file's loop count, as browsers do: a GIF without\n"
    "                  one once, then it stays on the last frame; a PNG's or\n"
    "                  WebP's number of plays (default: loop for ever)\n"
    "  --jobs N        convert N files at once (default: one per core)\n"
    "  --files-from FILE  also convert the files named in FILE (\"-\": standard\n"
    "                  input), one a line; relative names from the current folder\n"
    "  --null, -0      names in the list end with a NUL byte, not a newline\n"
    "  --report FILE   write a JSON line per file and a summary to FILE (\"-\":\n"
    "                  standard output, the other lines then go to standard error)\n"
    "  --shard I/N     convert only share I of N of the run's files (by name, the\n"
    "                  same on every machine); auto: a Slurm array task's share,\n"
    "                  auto/N: a Kubernetes Indexed Job pod's (JOB_COMPLETION_INDEX)\n"
    "  --              the arguments after it are files, even when they start with -\n"
    "  --play FILE     play a movie in the browser: a GIF, PNG or WebP is\n"
    "                  converted first, FILE.swf is played as it is; prints\n"
    "                  \"page: URL\", opens it ($BROWSER, else the desktop's\n"
    "                  opener) and serves it on\n"
    "                  127.0.0.1 until Ctrl-C\n"
    "  --no-browser    with --play, only print the page's URL\n"
    "  --quiet         print errors only\n"
    "  --version       print the version\n"
    "  --help          print this help\n"
    "The movie keeps the GIF's time: each GIF frame starts at the movie frame\n"
    "nearest to the sum of the delays before it. Delays of 0 and 1 hundredth last\n"
    "10, as in browsers; a frame without a delay lasts 10/24 s. A PNG's or WebP's\n"
    "frames of 10 ms or less last 100 ms.\n"
    "A file that is not converted is reported on standard error with the reason.\n"
    "On a terminal, a progress line shows the frames of a large GIF, or the files\n"
    "of a folder run.\n"
    "Exit status: 0 when every file converted, 1 when a file could not be read\n"
    "or was not converted, 6 when a movie or the report could not be written, 2\n"
    "for a usage error or a list that cannot be read, 130, 143 or 129 when\n"
    "Ctrl-C, SIGTERM or a closed terminal (SIGHUP) stopped the run.\n";

// A usage error: its reason and where the options are told, on lines of
// their own, so that the reason does not scroll away.
[[noreturn]] void UsageError(const std::string& message) {
  std::fprintf(stderr, "movara-cli: %s\n%s", movara::Printable(message).c_str(), kHelpPointer);
  std::exit(2);
}

// An option's whole-number value from `low` to `high`.
unsigned NumberArgument(const std::string& option, const std::string& text, unsigned low, unsigned high) {
  char* end = nullptr;
  const unsigned long n = std::strtoul(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || n < low || n > high) {
    UsageError(option + " needs a number from " + std::to_string(low) + " to " + std::to_string(high));
  }
  return static_cast<unsigned>(n);
}

// The extensions of the kinds a folder run takes: "gif,png,webp" or part.
std::vector<std::string> FormatExtensions(const std::string& list) {
  std::vector<std::string> extensions;
  std::size_t from = 0;
  while (from <= list.size()) {
    const std::size_t comma = std::min(list.find(',', from), list.size());
    const std::string kind = list.substr(from, comma - from);
    const std::vector<std::string>* more = nullptr;
    if (kind == "gif") more = &movara::run::kGifExtensions;
    if (kind == "png") more = &movara::run::kPngExtensions;
    if (kind == "webp") more = &movara::run::kWebPExtensions;
    if (more == nullptr) UsageError("--types takes gif, png and webp, not \"" + kind + "\"");
    extensions.insert(extensions.end(), more->begin(), more->end());
    from = comma + 1;
  }
  return extensions;
}

// Reads the arguments; an exit status when the run ends here.
std::optional<int> ParseArguments(int argc, char** argv, TCliOptions& options) {
  if (argc < 2) {
    std::fprintf(stderr, "%s%s", kSynopsis, kHelpPointer);
    return 2;
  }
  bool namesOnly = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) UsageError(arg + " needs a value");
      return argv[++i];
    };
    if (namesOnly || arg == "--") {
      if (std::exchange(namesOnly, true)) options.Files.emplace_back(arg);
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kSynopsis, stdout);
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--version") {
      std::printf("movara-cli %s\n", MOVARA_VERSION);
      return 0;
    } else if (arg == "--output") {
      options.Output = value();
    } else if (arg == "--url") {
      options.Url = value();
    } else if (arg == "--folder") {
      options.Folder = value();
    } else if (arg == "--types") {
      options.Extensions = FormatExtensions(value());
    } else if (arg == "--html") {
      options.Html = true;
    } else if (arg == "--no-overwrite") {
      options.Overwrite = movara::convert::TOverwrite::Keep;
    } else if (arg == "--compact") {
      options.Compact = true;
    } else if (arg == "--compress") {
      options.Compress = true;
    } else if (arg == "--fps") {
      options.Timing.FramesPerSecond = NumberArgument(arg, value(), movara::convert::kMinFrameRate,
                                                      movara::convert::kMaxFrameRate);
    } else if (arg == "--loop") {
      options.Timing.GifLoop = true;
    } else if (arg == "--jobs") {
      options.Jobs = NumberArgument(arg, value(), 1, 256);
    } else if (arg == "--play") {
      options.Play = true;
    } else if (arg == "--no-browser") {
      options.NoBrowser = true;
    } else if (arg == "--quiet") {
      options.Quiet = true;
    } else if (movara::cli::ParseManyFilesOption(arg, value, options)) {
    } else if (arg.starts_with("--")) {
      UsageError("unknown option " + arg + " (a file named so goes after --)");
    } else {
      options.Files.emplace_back(arg);
    }
  }
  if (const std::string wrong = movara::cli::ManyFilesConflict(options); !wrong.empty()) UsageError(wrong);
  if (options.Files.empty() && options.Folder.empty() && options.FilesFrom.empty()) UsageError("no file given");
  if (!options.Files.empty() && !options.Folder.empty()) UsageError("give files or --folder, not both");
  if (options.Play && options.Files.size() != 1) UsageError("--play plays one file");
  if (options.NoBrowser && !options.Play) UsageError("--no-browser goes with --play");
  return std::nullopt;
}

// Makes the folders absolute and checks that they exist; an exit status
// when one does not.
std::optional<int> CheckFolders(TCliOptions& options) {
  std::error_code ec;
  if (!options.Output.empty()) {
    if (!std::filesystem::is_directory(options.Output, ec)) {
      std::fprintf(stderr, "movara-cli: the output folder %s does not exist\n", movara::Printable(options.Output.string()).c_str());
      return 6;
    }
    options.Output = std::filesystem::absolute(options.Output, ec);
  }
  if (!options.Folder.empty()) {
    if (!std::filesystem::is_directory(options.Folder, ec)) {
      const bool exists = std::filesystem::exists(options.Folder, ec);
      std::fprintf(stderr, exists ? "movara-cli: %s is not a folder\n" : "movara-cli: the folder %s does not exist\n",
                   movara::Printable(options.Folder.string()).c_str());
      return 2;
    }
    options.Folder = std::filesystem::absolute(options.Folder, ec);
  }
  return std::nullopt;
}

// A link that names a site without its scheme is kept as typed (a relative
// link is legitimate), with a warning.
void WarnOfUrl(const std::string& url, movara::cli::TTerminal& terminal) {
  if (!movara::run::MissesScheme(url)) return;
  terminal.Warning("movara-cli: warning: the URL \"" + url +
                   "\" has no scheme: the movie opens it relative to its page (for the site, give \"" +
                   movara::run::WithHttps(url) + "\")");
}

}  // namespace

int main(int argc, char** argv) {
  movara::LimitHeapRetention();
  TCliOptions options;
  options.Jobs = std::max(1u, std::thread::hardware_concurrency());
  if (const auto status = ParseArguments(argc, argv, options)) return *status;
  if (const auto status = CheckFolders(options)) return *status;
  if (const auto status = movara::cli::ReadListedFiles(options)) return *status;
  movara::cli::TTerminal terminal(options.Quiet, options.Report == "-");
  WarnOfUrl(options.Url, terminal);
  movara::cli::CatchInterrupts();
  const auto report = movara::cli::OpenReport(options, terminal);
  if (!report) return movara::convert::crWriteError;
  try {
    if (options.Play) return movara::cli::PlayFile(options, terminal);
    return options.Folder.empty() ? movara::cli::ConvertFileList(options, terminal, *report)
                                  : movara::cli::ConvertFolder(options, terminal, *report);
  } catch (const std::exception& e) {
    terminal.Error(std::string("movara-cli: ") + e.what());
    return 1;
  }
}
