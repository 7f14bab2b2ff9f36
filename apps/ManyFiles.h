#pragma once

#include <functional>
#include <optional>
#include <string>

#include "CliRuns.h"

namespace movara::cli {

// The options of runs over lists and shares: --files-from FILE, --null
// (-0), --report FILE and --shard I/N|auto. True when `arg` is one of them;
// `value` takes the option's value. A bad value is a usage error.
bool ParseManyFilesOption(const std::string& arg, const std::function<std::string()>& value, TCliOptions& options);

// What is wrong with the options together; empty when nothing is.
std::string ManyFilesConflict(const TCliOptions& options);

// Adds the names of --files-from's list after the files given; an exit
// status (2) when the list cannot be read.
std::optional<int> ReadListedFiles(TCliOptions& options);

}  // namespace movara::cli
