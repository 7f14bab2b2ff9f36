#include "ManyFiles.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "base/Printable.h"
#include "run/FileList.h"

namespace movara::cli {

namespace {

std::optional<std::string> EnvironmentVariable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::nullopt : std::optional<std::string>(value);
}

}  // namespace

bool ParseManyFilesOption(const std::string& arg, const std::function<std::string()>& value, TCliOptions& options) {
  if (arg == "--files-from") {
    options.FilesFrom = value();
  } else if (arg == "--null" || arg == "-0") {
    options.NullSeparated = true;
  } else if (arg == "--report") {
    options.Report = value();
  } else if (arg == "--shard") {
    const std::string text = value();
    try {
      options.Share = run::ParseShare(text, EnvironmentVariable);
    } catch (const std::invalid_argument& e) {
      std::fprintf(stderr, "movara-cli: --shard %s: %s\n", Printable(text).c_str(), Printable(e.what()).c_str());
      std::exit(2);
    }
  } else {
    return false;
  }
  return true;
}

std::string ManyFilesConflict(const TCliOptions& options) {
  if (!options.FilesFrom.empty() && !options.Folder.empty()) return "give files or --folder, not both";
  if (options.NullSeparated && options.FilesFrom.empty()) return "--null reads the list of --files-from";
  if (options.Play && (!options.FilesFrom.empty() || !options.Report.empty() || options.Share.Count > 1)) {
    return "--play plays one file, without --files-from, --report or --shard";
  }
  return {};
}

std::optional<int> ReadListedFiles(TCliOptions& options) {
  if (options.FilesFrom.empty()) return std::nullopt;
  try {
    const auto separator = options.NullSeparated ? run::TListSeparator::Nul : run::TListSeparator::Newline;
    for (auto& name : run::ReadFileList(options.FilesFrom, separator)) options.Files.emplace_back(std::move(name));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "movara-cli: %s\n", Printable(e.what()).c_str());
    return 2;
  }
  return std::nullopt;
}

}  // namespace movara::cli
