#include "run/FolderListing.h"

#include <algorithm>
#include <cctype>

namespace movara::run {

bool HasGifExtension(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".gif";
}

std::vector<std::filesystem::path> GifFilesIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    std::error_code ec;
    if (e.is_regular_file(ec) && HasGifExtension(e.path())) files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::string> SubfolderNamesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    std::error_code ec;
    if (e.is_directory(ec)) names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace movara::run
