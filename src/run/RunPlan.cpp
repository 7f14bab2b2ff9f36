// A run planned before it starts: each movie's path is known, so that a
// movie that would replace an input or another movie of the same run is
// refused before anything is written.
#include "run/RunPlan.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

#include "convert/Convert.h"
#include "run/FolderListing.h"
#include "run/MovieNames.h"

namespace movara::run {

namespace {

// A file's identity on disk, the same through any link to it; none for a
// file that does not exist.
using TFileId = std::pair<dev_t, ino_t>;
std::optional<TFileId> FileId(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return std::nullopt;
  return TFileId{st.st_dev, st.st_ino};
}

// A path with its links and dots resolved as far as it exists.
std::filesystem::path Resolved(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
  return ec ? path.lexically_normal() : resolved;
}

bool Within(const std::filesystem::path& path, const std::filesystem::path& folder) {
  const auto [end, at] = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
  return end == folder.end();
}

// Refuses the files whose movie or page would replace an input of the run,
// and each file whose movie an earlier file of the run makes.
void RefuseConflicts(TRunPlan& plan, bool pages) {
  std::set<TFileId> inputs;
  for (const auto& folder : plan.Folders) {
    for (const auto& file : folder.Files) {
      if (const auto id = FileId(file.Gif)) inputs.insert(*id);
    }
  }
  const auto isInput = [&](const std::filesystem::path& p) {
    const auto id = FileId(p);
    return id && inputs.count(*id) > 0;
  };
  std::map<std::filesystem::path, const TPlannedFile*> movies;
  for (auto& folder : plan.Folders) {
    for (auto& file : folder.Files) {
      if (!file.Refusal.empty()) continue;
      std::filesystem::path page = file.Movie;
      page.replace_extension(".html");
      const auto [earlier, isNew] = movies.emplace(Resolved(file.Movie), &file);
      if (!isNew) {
        file.Refusal = "collision: " + file.Movie.string() + " is the movie of " + earlier->second->Gif.string();
      } else if (isInput(file.Movie)) {
        file.Refusal = "the movie " + file.Movie.string() + " would replace an input file";
      } else if (pages && isInput(page)) {
        file.Refusal = "the test page " + page.string() + " would replace an input file";
      }
    }
  }
}

// The files of a folder the run takes and their movies in `movieFolder`; records why the
// folder cannot be read instead.
void ListFolder(TPlannedFolder& folder, const std::filesystem::path& movieFolder,
                const std::vector<std::string>& extensions) {
  try {
    for (auto& gif : FilesIn(folder.Folder, extensions)) {
      const std::filesystem::path movie = MovieFileName(movieFolder, gif);
      folder.Files.push_back({std::move(gif), movie, {}});
    }
  } catch (const std::filesystem::filesystem_error& e) {
    folder.Unreadable = e.code().message();
  }
}

// Refuses a subfolder's files when its movie folder lies outside the output
// folder (a link in the output tree). The folder is made when its first
// movie is written, not here.
void CheckMovieFolder(TPlannedFolder& folder, const std::filesystem::path& output) {
  if (folder.Files.empty()) return;
  const std::filesystem::path movies = MovieSubfolder(output, folder.Name);
  if (Within(Resolved(movies), Resolved(output))) return;
  for (auto& file : folder.Files) {
    file.Refusal = "the movie folder " + movies.string() + " lies outside the output folder " + output.string();
  }
}

// Keeps the files of the share; `nameOf` gives a file's name in the run,
// which decides its share.
template <typename TNameOf>
void KeepShare(TRunPlan& plan, const TShare& share, TNameOf nameOf) {
  for (const auto& folder : plan.Folders) plan.FilesInAllShares += folder.Files.size();
  if (share.Count <= 1) return;
  for (auto& folder : plan.Folders) {
    std::vector<TPlannedFile> kept;
    for (std::size_t i = 0; i < folder.Files.size(); ++i) {
      if (InShare(nameOf(folder, i), share)) kept.push_back(std::move(folder.Files[i]));
    }
    folder.Files = std::move(kept);
  }
}

}  // namespace

convert::TConvertOutcome RefusedOutcome(const TPlannedFile& file) {
  convert::TConvertOutcome outcome;
  outcome.Code = convert::crLoadError;
  outcome.Movie = file.Movie;
  outcome.Reason = file.Refusal;
  return outcome;
}

std::size_t TRunPlan::Conversions() const {
  std::size_t count = 0;
  for (const auto& folder : Folders) {
    count += static_cast<std::size_t>(
        std::count_if(folder.Files.begin(), folder.Files.end(), [](const auto& f) { return f.Refusal.empty(); }));
  }
  return count;
}

TRunPlan PlanFolderRun(const std::filesystem::path& root, const TPlanOptions& options) {
  const std::filesystem::path output = options.Output.empty() ? root : options.Output;
  TRunPlan plan;
  plan.Folders.push_back({root, {}, {}, {}, false});
  ListFolder(plan.Folders.back(), output, options.Extensions);
  std::vector<std::string> names;
  try {
    if (plan.Folders.back().Unreadable.empty()) names = SubfolderNamesIn(root);
  } catch (const std::filesystem::filesystem_error& e) {
    plan.Folders.back().Unreadable = e.code().message();
  }
  std::set<std::filesystem::path> walked = {Resolved(root)};
  for (const std::string& name : names) {
    TPlannedFolder folder{root / name, name, {}, {}, false};
    folder.Repeated = !walked.insert(Resolved(folder.Folder)).second;
    if (!folder.Repeated) ListFolder(folder, output / name, options.Extensions);
    CheckMovieFolder(folder, output);
    plan.Folders.push_back(std::move(folder));
  }
  RefuseConflicts(plan, options.Pages);
  KeepShare(plan, options.Share, [](const TPlannedFolder& folder, std::size_t i) {
    const std::string name = folder.Files[i].Gif.filename().string();
    return folder.Name.empty() ? name : folder.Name + "/" + name;
  });
  return plan;
}

TRunPlan PlanFileList(const std::vector<std::filesystem::path>& gifs, const TPlanOptions& options) {
  TRunPlan plan;
  plan.Folders.emplace_back();
  for (const auto& name : gifs) {
    std::error_code ec;
    std::filesystem::path gif = std::filesystem::absolute(name, ec);
    if (ec) gif = name;
    const std::filesystem::path folder = options.Output.empty() ? gif.parent_path() : options.Output;
    TPlannedFile file{gif, MovieFileName(folder, gif), {}};
    if (std::filesystem::is_directory(gif, ec)) file.Refusal = name.string() + " is a folder (use --folder)";
    plan.Folders.back().Files.push_back(std::move(file));
  }
  RefuseConflicts(plan, options.Pages);
  KeepShare(plan, options.Share, [&](const TPlannedFolder&, std::size_t i) { return gifs[i].string(); });
  return plan;
}

}  // namespace movara::run
