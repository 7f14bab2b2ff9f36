#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/Convert.h"
#include "run/RunShare.h"

namespace movara::run {

// One GIF of a run and the movie it becomes.
struct TPlannedFile {
  std::filesystem::path Gif;
  std::filesystem::path Movie;
  // Why the file is not converted: its movie is an earlier file's, would
  // replace an input of the run, or lies outside the output folder. Empty
  // when it is converted.
  std::string Refusal;
};

// The outcome of a refused file: nothing went wrong in the converter, the
// plan's reason says why the file is not converted (Error 1).
convert::TConvertOutcome RefusedOutcome(const TPlannedFile& file);

// A folder of a run and its GIFs, in the order they are converted.
struct TPlannedFolder {
  std::filesystem::path Folder;
  // Its name below the run's folder; empty for the run's folder itself and
  // for files given by name.
  std::string Name;
  std::vector<TPlannedFile> Files;
  // Why the folder could not be read; empty when it was.
  std::string Unreadable;
  // A link to a folder the run walks already: its GIFs are not converted
  // a second time.
  bool Repeated = false;
};

// Every file of a run and every folder it could not walk, known before
// anything is converted. The root (or the list of files) comes first.
struct TRunPlan {
  std::vector<TPlannedFolder> Folders;
  // The files of the whole run, in every share; Folders holds only those
  // of the share planned.
  std::size_t FilesInAllShares = 0;
  // The files that will be converted.
  std::size_t Conversions() const;
};

struct TPlanOptions {
  // Where the movies go (a folder run mirrors its subfolders there); empty:
  // beside each GIF.
  std::filesystem::path Output;
  // Whether a test page is written beside each movie.
  bool Pages = false;
  // The share of the files this run converts. Collisions and inputs that
  // would be replaced are found over the whole run first, so every share
  // refuses the same files and only the share's own files stay planned.
  TShare Share;
  // The extensions of the files a folder run takes (kGifExtensions and
  // the others of run/FolderListing.h); files given by name are taken
  // whatever they are called.
  std::vector<std::string> Extensions = {".gif"};
};

// Plans a folder run: the GIFs of `root`, then those of each subfolder (one
// level), links to a folder walked already not followed. Makes nothing: the
// movies' subfolders below the output folder are made by TMovieFolders.
TRunPlan PlanFolderRun(const std::filesystem::path& root, const TPlanOptions& options);
// Plans the conversion of files given by name, in their order; relative
// names are taken from the current folder, a folder is refused.
TRunPlan PlanFileList(const std::vector<std::filesystem::path>& gifs, const TPlanOptions& options);

}  // namespace movara::run
