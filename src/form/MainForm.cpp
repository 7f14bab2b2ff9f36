#include "form/MainForm.h"

#include <cmath>
#include <cstdlib>
#include <system_error>

namespace movara::form {

TfrmMain::TfrmMain(IMainView& view, ISettingsStore& settings, std::filesystem::path programFolder)
    : Preview(view.Preview()), view_(view), settings_(settings), programFolder_(std::move(programFolder)) {}

int ProgressPercent(std::size_t index, std::size_t count) {
  return static_cast<int>(std::nearbyint(static_cast<double>(index + 1) * 100.0 / static_cast<double>(count)));
}

bool IsCommandLineConversion(const std::vector<std::string>& args) {
  std::error_code ec;
  return !args.empty() && std::filesystem::is_regular_file(args[0], ec);
}

void TfrmMain::FormCreate(const std::vector<std::string>& args) {
  AbortRequested = false;
  RememberedIndex = -1;
  readini();
  CommandLineMode = false;
  std::error_code ec;
  if (IsCommandLineConversion(args)) {
    CommandLineMode = true;
    const std::filesystem::path gif = std::filesystem::absolute(args[0], ec);
    if (gif.has_parent_path()) OutputFolder = gif.parent_path();
    CommandLineResult = ConvertNow(gif, "");
  }
}

void TfrmMain::FormClose() {
  if (!CommandLineMode) writeini();
}

bool TfrmMain::FormCloseQuery() {
  if (!running_) return true;
  AbortRequested = true;
  closePending_ = true;
  return false;
}

void TfrmMain::FormPaint() {
  if (CommandLineMode) view_.CloseWindow();
}

void TfrmMain::FormKeyPress(char key) {
  if (key != 27) return;
  AbortRequested = true;
  if (running_ && !run_.Single) ShowStopping();
}

void TfrmMain::ShowStopping() { view_.SetStatusText(msg::StoppingText(current_)); }

void TfrmMain::RBSingleClick() {
  const bool single = view_.SingleFileMode();
  view_.SetUrlEnabled(single);
  if (running_) return;
  bool anySelected = false;
  for (const auto& item : view_.ListItems()) anySelected = anySelected || item.Selected;
  view_.SetStartEnabled(!single || anySelected);
}

void TfrmMain::FTreeChange(const std::filesystem::path& folder) {
  LastDir = folder;
  RememberedIndex = -1;
}

void TfrmMain::btnSelectFolderClick() { btnSelectFolderClick(view_.BrowseForFolder(OutputFolder)); }

void TfrmMain::btnSelectFolderClick(const std::filesystem::path& chosen) {
  if (chosen.empty() || running_) return;
  OutputFolder = chosen;
  view_.ShowOutputFolder(OutputFolder);
}

void TfrmMain::btnStartClick() {
  // The window handles its events during a run: a second Start then is
  // ignored instead of running inside the first.
  if (running_) return;
  TRunChoices choices = CurrentChoices();
  if (!ConfirmUrl(choices)) return;
  const TRunScope run(*this, choices);
  if (run_.Single) {
    for (const auto& item : view_.ListItems()) {
      if (item.Selected) {
        ConvertNow(item.Path, "");
        break;
      }
    }
    view_.SetStatusText("");
    view_.SetBusyCursor(false);
    return;
  }
  RunFolder();
}

TfrmMain::TRunScope::TRunScope(TfrmMain& form, const TRunChoices& choices) : form_(form) {
  form_.running_ = true;
  form_.run_ = choices;
  form_.runTotal_ = form_.runStarted_ = 0;
  form_.runKept_ = 0;
  form_.view_.ShowRunning(true, !choices.Single);
}

TfrmMain::TRunScope::~TRunScope() {
  form_.movieFolders_.Tidy();
  form_.running_ = false;
  form_.view_.ShowRunning(false, !form_.run_.Single);
  form_.RBSingleClick();  // Start as the mode and the list now allow
}

void TfrmMain::btnStopClick() {
  if (!running_ || run_.Single) return;
  AbortRequested = true;
  ShowStopping();
}

TfrmMain::TRunChoices TfrmMain::CurrentChoices() const {
  return {view_.SingleFileMode(), LinkUrl(), view_.MovieOptions()};
}

// The window's side of a folder run: the tree follows the folder being
// converted, the progress bar its files (the status names each file as it
// is converted).
class TfrmMain::TFolderRunView final : public run::IFolderRunClient {
 public:
  explicit TFolderRunView(TfrmMain& form) : form_(form), view_(form.view_) {}

  bool AbortRequested() override { return form_.AbortRequested; }
  void FolderStarted(const run::TPlannedFolder& folder, bool) override {
    if (view_.SelectedFolder() != folder.Folder) view_.SelectFolder(folder.Folder);
  }
  void FolderSkipped(const run::TPlannedFolder&) override {}
  void FileStarted(std::size_t index, std::size_t count) override {
    view_.SetProgress(ProgressPercent(index, count));
  }
  int Convert(const run::TPlannedFile& file, const run::TPlannedFolder&) override { return form_.ConvertPlanned(file); }

 private:
  TfrmMain& form_;
  IMainView& view_;
};

run::TFolderRunCounts TfrmMain::RunFolder() {
  view_.SetProgress(0);
  view_.ShowProgress(true);
  view_.ShowPositionPane(false);
  AbortRequested = false;
  runFailures_.clear();
  const std::filesystem::path root = view_.SelectedFolder();
  view_.SetBusyCursor(true);
  TFolderRunView client(*this);
  run::TFolderRunCounts counts;
  try {
    const run::TRunPlan plan = run::PlanFolderRun(root, PlanOptions(""));
    for (const auto& folder : plan.Folders) runTotal_ += folder.Files.size();
    counts = run::RunFolderPlan(plan, client, true);
  } catch (...) {
    EndFolderRun(root);
    throw;
  }
  EndFolderRun(root);
  if (closePending_) return counts;
  const std::string failures = run::FailedFilesText(runFailures_);
  if (counts.WriteError) {
    view_.MessageBox(msg::kError6Folder + failures, IMainView::MessageKind::Error);
  } else if (counts.Aborted) {
    const auto reached = static_cast<std::size_t>(counts.Converted + counts.Failed);
    view_.MessageBox(run::StoppedRunSummary(counts.Converted, counts.Failed, runTotal_ - reached) + KeptText() + failures,
                     IMainView::MessageKind::Information);
  } else {
    view_.MessageBox(
        run::FolderRunSummary(counts.Converted, counts.Failed, counts.Subfolders, counts.Aborted, counts.Unreadable) +
            KeptText() + failures,
        IMainView::MessageKind::Information);
  }
  return counts;
}

// Puts the tree back on the run's folder and the status bar back as it was.
void TfrmMain::EndFolderRun(const std::filesystem::path& root) {
  if (view_.SelectedFolder() != root) {
    view_.SelectFolder(root);
    ListChanged();
  }
  view_.SetProgress(0);
  view_.ShowProgress(false);
  view_.ShowPositionPane(true);
  view_.SetStatusText("");
  view_.SetBusyCursor(false);
}

void TfrmMain::readini() {
  if (!settings_.Open()) return;
  LastDir = settings_.ReadString("LastDir").value_or("");
  const std::string stored = settings_.ReadString("OutputFolder").value_or("");
  OutputFolder = stored;
  std::error_code ec;
  if (OutputFolder.empty() || !std::filesystem::is_directory(OutputFolder, ec)) {
    OutputFolder = DefaultOutputFolder();
    if (!stored.empty()) {
      view_.SetStatusText("The output folder " + stored + " no longer exists; movies go to " + OutputFolder.string() +
                          ".");
    }
  }
  view_.ShowOutputFolder(OutputFolder);
  if (!LastDir.empty() && std::filesystem::is_directory(LastDir, ec)) view_.SelectFolder(LastDir);
  IMainView::Geometry g = view_.WindowGeometry();
  int* fields[] = {&g.Left, &g.Top, &g.Width, &g.Height};
  const char* names[] = {"L", "T", "W", "H"};
  for (int i = 0; i < 4; ++i) {
    const auto value = settings_.ReadInteger(names[i]);
    if (!value) {
      g.Left = g.Top = 0;
      break;
    }
    *fields[i] = *value;
  }
  g.Maximized = settings_.ReadInteger("Maximized").value_or(0) != 0;
  if (const auto share = settings_.ReadInteger("SplitShare")) {
    g.SplitShare = *share;
  } else if (const auto moved = settings_.ReadInteger("Split")) {
    // Stored by earlier versions: the handle moved by this many pixels from
    // its design place, between columns of 201 pixels each.
    g.SplitShare = static_cast<int>((201LL + *moved) * 10000 / 402);
  }
  view_.SetWindowGeometry(g);
  readChoices();
  settings_.Close();
}

std::filesystem::path TfrmMain::DefaultOutputFolder() const {
  std::error_code ec;
  const std::filesystem::path pictures = view_.PicturesFolder();
  if (!pictures.empty() && std::filesystem::is_directory(pictures, ec)) return pictures;
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0' && std::filesystem::is_directory(home, ec)) return home;
  return programFolder_;
}

void TfrmMain::writeini() {
  if (!settings_.Open()) return;
  settings_.WriteString("LastDir", LastDir.string());
  settings_.WriteString("OutputFolder", OutputFolder.string());
  const IMainView::Geometry g = view_.WindowGeometry();
  settings_.WriteInteger("L", g.Left);
  settings_.WriteInteger("T", g.Top);
  settings_.WriteInteger("W", g.Width);
  settings_.WriteInteger("H", g.Height);
  settings_.WriteInteger("Maximized", g.Maximized ? 1 : 0);
  settings_.WriteInteger("SplitShare", g.SplitShare);
  writeChoices();
  settings_.Close();
}

}  // namespace movara::form
