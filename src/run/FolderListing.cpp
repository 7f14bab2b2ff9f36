#include "run/FolderListing.h"

#include <algorithm>
#include <cctype>

namespace movara::run {

bool HasExtension(const std::filesystem::path& file, const std::vector<std::string>& extensions) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::find(extensions.begin(), extensions.end(), ext) != extensions.end();
}

std::vector<std::string> ConvertedExtensions(bool pngAndWebP) {
  std::vector<std::string> extensions = kGifExtensions;
  if (!pngAndWebP) return extensions;
  for (const auto* kind : {&kPngExtensions, &kWebPExtensions}) extensions.insert(extensions.end(), kind->begin(), kind->end());
  return extensions;
}

bool HasGifExtension(const std::filesystem::path& file) { return HasExtension(file, kGifExtensions); }

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder,
                                           const std::vector<std::string>& extensions) {
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    std::error_code ec;
    if (e.is_regular_file(ec) && HasExtension(e.path(), extensions)) files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<std::filesystem::path> GifFilesIn(const std::filesystem::path& folder) {
  return FilesIn(folder, kGifExtensions);
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
