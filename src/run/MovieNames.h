#pragma once

#include <filesystem>
#include <string>

namespace movara::run {

// The movie of a GIF in a folder: the GIF's name with its last extension
// replaced by ".swf" (appended when it has none).
std::filesystem::path MovieFileName(const std::filesystem::path& folder, const std::filesystem::path& gif);

// The folder for the movies of a subfolder's GIFs: the subfolder of that
// name below `output`, made when missing (when that fails, writing the
// movies there fails and says why); `output` itself when `subFolder` is
// empty.
std::filesystem::path MovieSubfolder(const std::filesystem::path& output, const std::string& subFolder);

}  // namespace movara::run
