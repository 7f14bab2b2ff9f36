#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace movara::run {

// Whether a file name ends in ".gif", in any case.
bool HasGifExtension(const std::filesystem::path& file);
// The GIF files of a folder (not of its subfolders), sorted by name.
// Throws std::filesystem::filesystem_error when the folder cannot be read.
std::vector<std::filesystem::path> GifFilesIn(const std::filesystem::path& folder);
// The names of a folder's subfolders, sorted. Throws like GifFilesIn.
std::vector<std::string> SubfolderNamesIn(const std::filesystem::path& folder);

}  // namespace movara::run
