// Files and folders dropped on the window, and the output folder opened.
#include <system_error>

#include "form/MainForm.h"
#include "run/FolderListing.h"

namespace movara::form {

namespace {

std::vector<std::filesystem::path> DroppedGifs(const std::vector<std::filesystem::path>& paths) {
  std::vector<std::filesystem::path> gifs;
  std::error_code ec;
  for (const auto& path : paths) {
    // Files dropped are asked for: PNG and WebP files as well as GIFs.
    const bool taken = run::HasGifExtension(path) || run::HasExtension(path, run::kPngExtensions) ||
                       run::HasExtension(path, run::kWebPExtensions);
    if (taken && std::filesystem::is_regular_file(path, ec)) gifs.push_back(path);
  }
  return gifs;
}

}  // namespace

void TfrmMain::FilesDropped(const std::vector<std::filesystem::path>& paths) {
  if (running_) return;
  std::error_code ec;
  for (const auto& path : paths) {
    if (std::filesystem::is_directory(path, ec)) {
      view_.SelectFolder(path);
      break;
    }
  }
  const std::vector<std::filesystem::path> gifs = DroppedGifs(paths);
  if (gifs.empty()) return;
  // One file is a single-file run with its own box and page; several are
  // converted quietly and summed up in one box.
  TRunChoices choices = CurrentChoices();
  choices.Single = gifs.size() == 1;
  const TRunScope run(*this, choices);
  AbortRequested = false;
  runFailures_.clear();
  int converted = 0;
  // Planned together, two files that would make one movie are told apart.
  const run::TRunPlan plan = run::PlanFileList(gifs, PlanOptions(""));
  for (const auto& file : plan.Folders.front().Files) {
    if (AbortRequested) break;
    converted += ConvertPlanned(file) == convert::crOk ? 1 : 0;
  }
  view_.SetStatusText("");
  view_.SetBusyCursor(false);
  if (choices.Single || closePending_) return;
  const int failed = static_cast<int>(runFailures_.size());
  view_.MessageBox(run::FolderRunSummary(converted, failed, 0, AbortRequested) + run::FailedFilesText(runFailures_),
                   failed == 0 ? IMainView::MessageKind::Information : IMainView::MessageKind::Error);
}

void TfrmMain::btnOpenFolderClick() {
  std::error_code ec;
  if (!std::filesystem::is_directory(OutputFolder, ec)) {
    view_.SetStatusText("The output folder " + OutputFolder.string() + " does not exist.");
    return;
  }
  view_.OpenDocument(OutputFolder);
}

}  // namespace movara::form
