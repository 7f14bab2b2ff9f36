#pragma once

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

namespace movara::run {

// The movie of a GIF in a folder: the GIF's name with its last extension
// replaced by ".swf" (appended when it has none).
std::filesystem::path MovieFileName(const std::filesystem::path& folder, const std::filesystem::path& gif);

// The folder for the movies of a subfolder's GIFs: the subfolder of that
// name below `output`, `output` itself when `subFolder` is empty. Nothing is
// made here: see TMovieFolders.
std::filesystem::path MovieSubfolder(const std::filesystem::path& output, const std::string& subFolder);

// The folders a run makes for its movies: each is made right before the
// first conversion into it, and those still empty when the run ends (every
// conversion into them failed or never started) are removed again, so that
// a stopped or failing run leaves no empty folder behind. Safe to use from
// the threads of a parallel run.
class TMovieFolders {
 public:
  // `tidy` false keeps the folders made: when other processes (the other
  // shares of a run) may be converting into them, an empty one may be
  // about to get its first movie.
  explicit TMovieFolders(bool tidy = true) : tidy_(tidy) {}
  // Tidies.
  ~TMovieFolders();
  TMovieFolders(const TMovieFolders&) = delete;
  TMovieFolders& operator=(const TMovieFolders&) = delete;

  // Makes the folder of `movie` when it is missing (one level: the folder
  // above it must exist). When that fails, writing the movie fails and
  // says why.
  void Prepare(const std::filesystem::path& movie);
  // Removes the folders made here that are empty; call it when no
  // conversion into them is under way.
  void Tidy();

 private:
  const bool tidy_;
  std::mutex mutex_;
  std::vector<std::filesystem::path> made_;
};

}  // namespace movara::run
