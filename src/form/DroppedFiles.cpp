// Files and folders dropped on the window, and the output folder opened.
#include <system_error>

#include "form/MainForm.h"
#include "run/FolderListing.h"

namespace movara::form {

namespace {

constexpr std::size_t kExistingNamed = 10;

// Why a dropped file is not converted; empty for one that is.
std::string SkipReason(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return "Reason: the file does not exist";
  if (!std::filesystem::is_regular_file(path, ec)) return "Reason: not a file that can be converted";
  // Files dropped are asked for: PNG and WebP files as well as GIFs.
  if (!run::HasExtension(path, run::ConvertedExtensions(true))) return "Reason: only GIF, PNG and WebP files are converted";
  return {};
}

// The question about the movies of a drop that exist already.
std::string ReplaceQuestion(const std::vector<std::filesystem::path>& existing) {
  if (existing.size() == 1) {
    return "The file " + existing.front().filename().string() + " already exists. Do you want to overwrite it?";
  }
  std::string text = std::to_string(existing.size()) + " of the movies already exist:";
  for (std::size_t i = 0; i < existing.size() && i < kExistingNamed; ++i) text += "\n" + existing[i].filename().string();
  if (existing.size() > kExistingNamed) text += "\n... and " + std::to_string(existing.size() - kExistingNamed) + " more.";
  return text + "\n\nDo you want to replace them? (No keeps them and converts the others.)";
}

}  // namespace

bool TfrmMain::AskOnceAboutReplacing(const run::TRunPlan& plan, TRunChoices& choices) {
  if (choices.Movie.KeepExisting) return true;
  std::vector<std::filesystem::path> existing;
  std::error_code ec;
  for (const auto& file : plan.Folders.front().Files) {
    if (file.Refusal.empty() && std::filesystem::exists(file.Movie, ec)) existing.push_back(file.Movie);
  }
  choices.ReplaceAsked = true;
  if (existing.empty()) return true;
  if (!view_.MessageBox(ReplaceQuestion(existing), IMainView::MessageKind::Question)) {
    // One file is not converted, as when Start asks; of several the others are.
    if (choices.Single) return false;
    choices.Movie.KeepExisting = true;
  }
  return true;
}

void TfrmMain::FilesDropped(const std::vector<std::filesystem::path>& paths) {
  if (running_) return;
  std::error_code ec;
  std::vector<std::filesystem::path> gifs;
  std::vector<run::TFailedFile> skipped;
  bool folderSelected = false;
  for (const auto& path : paths) {
    if (std::filesystem::is_directory(path, ec)) {
      if (!folderSelected) view_.SelectFolder(path);
      folderSelected = true;
    } else if (const std::string why = SkipReason(path); !why.empty()) {
      skipped.push_back({path, why});
    } else {
      gifs.push_back(path);
    }
  }
  if (gifs.empty()) {
    if (!skipped.empty()) {
      view_.MessageBox(std::string(msg::kNothingConverted) + run::FailedFilesText(skipped), IMainView::MessageKind::Error);
    }
    return;
  }
  // One GIF is a single-file run with its own box and page; several (or a
  // GIF with files that are not) are converted quietly and summed up in one
  // box.
  TRunChoices choices = CurrentChoices();
  choices.Single = gifs.size() == 1 && skipped.empty();
  if (!ConfirmUrl(choices)) return;
  const TRunScope run(*this, choices);
  // Planned together, two files that would make one movie are told apart.
  const run::TRunPlan plan = run::PlanFileList(gifs, PlanOptions(""));
  if (!AskOnceAboutReplacing(plan, run_)) return;
  AbortRequested = false;
  runFailures_ = skipped;
  int converted = 0;
  runTotal_ = plan.Folders.front().Files.size();
  for (const auto& file : plan.Folders.front().Files) {
    if (AbortRequested) break;
    converted += ConvertPlanned(file) == convert::crOk ? 1 : 0;
  }
  view_.SetStatusText("");
  view_.SetBusyCursor(false);
  if (run_.Single || closePending_) return;
  const int failed = static_cast<int>(runFailures_.size());
  const auto reached = static_cast<std::size_t>(converted + failed) - skipped.size();
  const std::string summary = AbortRequested ? run::StoppedRunSummary(converted, failed, runTotal_ - reached)
                                             : run::FolderRunSummary(converted, failed, 0, false);
  view_.MessageBox(summary + KeptText() + run::FailedFilesText(runFailures_),
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
