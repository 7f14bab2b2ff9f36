#include "run/MovieNames.h"

#include <system_error>

namespace movara::run {

std::filesystem::path MovieFileName(const std::filesystem::path& folder, const std::filesystem::path& gif) {
  std::filesystem::path movie = folder / gif.filename();
  movie.replace_extension(".swf");
  return movie;
}

std::filesystem::path MovieSubfolder(const std::filesystem::path& output, const std::string& subFolder) {
  if (subFolder.empty()) return output;
  std::error_code ec;
  std::filesystem::create_directory(output / subFolder, ec);
  return output / subFolder;
}

}  // namespace movara::run
