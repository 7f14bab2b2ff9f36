#include "run/MovieNames.h"

#include <system_error>

namespace movara::run {

std::filesystem::path MovieFileName(const std::filesystem::path& folder, const std::filesystem::path& gif) {
  std::filesystem::path movie = folder / gif.filename();
  movie.replace_extension(".swf");
  return movie;
}

std::filesystem::path MovieSubfolder(const std::filesystem::path& output, const std::string& subFolder) {
  return subFolder.empty() ? output : output / subFolder;
}

TMovieFolders::~TMovieFolders() { Tidy(); }

void TMovieFolders::Prepare(const std::filesystem::path& movie) {
  const std::filesystem::path folder = movie.parent_path();
  std::error_code ec;
  const std::lock_guard lock(mutex_);
  if (std::filesystem::create_directory(folder, ec) && tidy_) made_.push_back(folder);
}

void TMovieFolders::Tidy() {
  const std::lock_guard lock(mutex_);
  std::error_code ec;
  for (const auto& folder : made_) {
    if (std::filesystem::is_empty(folder, ec) && !ec) std::filesystem::remove(folder, ec);
  }
  made_.clear();
}

}  // namespace movara::run
