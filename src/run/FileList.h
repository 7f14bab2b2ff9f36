#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace movara::run {

// A list of file names as other programs write them: one name a line, or
// names ended by NUL bytes (as `find -print0` writes them), the last one
// with or without its separator. A name is every byte up to its separator,
// spaces, carriage returns and a leading "-" included; empty names are
// skipped.
enum class TListSeparator { Newline, Nul };

// The names of a list held in memory. Throws std::invalid_argument for a
// NUL byte in a list of lines, which only a NUL-separated list can hold.
std::vector<std::string> SplitFileList(std::string_view bytes, TListSeparator separator);

// Reads a list from a file, or from standard input when `source` is "-".
// Throws std::runtime_error naming the list and the reason when it cannot
// be read, std::invalid_argument as SplitFileList does.
std::vector<std::string> ReadFileList(const std::filesystem::path& source, TListSeparator separator);

}  // namespace movara::run
