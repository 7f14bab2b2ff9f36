// The window's handler around one conversion: the output folder rules, the
// overwrite question, the status texts, the messages and the HTML page.
#include <system_error>

#include "convert/Convert.h"
#include "form/MainForm.h"
#include "run/FolderListing.h"
#include "run/MovieNames.h"

namespace movara::form {

namespace {

// Lets the window repaint and take key presses while a conversion works.
class TViewProgress final : public convert::IConvertProgress {
 public:
  explicit TViewProgress(IMainView& view) : view_(view) {}
  void FramesDone(std::size_t, std::size_t) override { view_.ProcessMessages(); }

 private:
  IMainView& view_;
};

// Shows the single-file status while a conversion runs and clears it when
// the conversion ends, also by an exception.
class TSingleFileStatus {
 public:
  TSingleFileStatus(IMainView& view, bool single, const std::filesystem::path& gif) : view_(view), single_(single) {
    if (!single_) return;
    view_.SetStatusText(msg::ConvertingText(gif, 0, 1));
    view_.SetBusyCursor(true);
  }
  ~TSingleFileStatus() {
    if (!single_) return;
    view_.SetStatusText("");
    view_.SetBusyCursor(false);
  }
  TSingleFileStatus(const TSingleFileStatus&) = delete;
  TSingleFileStatus& operator=(const TSingleFileStatus&) = delete;

 private:
  IMainView& view_;
  bool single_;
};

}  // namespace

std::string msg::ConvertingText(const std::filesystem::path& gif, std::size_t index, std::size_t count) {
  const std::string name = gif.filename().string();
  if (count < 2) return "Converting " + name + ": please wait...";
  return "Converting " + name + " (" + std::to_string(index + 1) + " of " + std::to_string(count) +
         ")  |  Esc or Stop ends the run after this file";
}

std::string msg::StoppingText(const std::filesystem::path& gif) {
  return "Stopping: the run ends once " + gif.filename().string() + " is converted...";
}

std::string TfrmMain::KeptText() const {
  if (runKept_ == 0) return {};
  return runKept_ == 1 ? " 1 movie that existed has been kept."
                       : " " + std::to_string(runKept_) + " movies that existed have been kept.";
}

std::filesystem::path TfrmMain::MovieFolder(const std::string& subFolder) {
  std::error_code ec;
  if (OutputFolder.empty() || !std::filesystem::is_directory(OutputFolder, ec)) OutputFolder = DefaultOutputFolder();
  return run::MovieSubfolder(OutputFolder, subFolder);
}

std::string TfrmMain::LinkUrl() const {
  const std::string url = view_.UrlText();
  return view_.UrlEnabled() && url != "http://" ? url : std::string();
}

bool TfrmMain::MayWrite(const std::filesystem::path& target, const TRunChoices& choices) {
  std::error_code ec;
  if (CommandLineMode || !choices.Single || choices.Movie.KeepExisting || choices.ReplaceAsked ||
      !std::filesystem::exists(target, ec)) {
    return true;
  }
  int selected = 0;
  for (const auto& item : view_.ListItems()) selected += item.Selected ? 1 : 0;
  return selected != 1 ||
         view_.MessageBox("The file " + target.filename().string() + " already exists. Do you want to overwrite it?",
                          IMainView::MessageKind::Question);
}

run::TPlanOptions TfrmMain::PlanOptions(const std::string& subFolder) {
  run::TPlanOptions plan;
  plan.Output = MovieFolder(subFolder);
  const TRunChoices choices = running_ ? run_ : CurrentChoices();
  plan.Pages = !CommandLineMode && choices.Single;
  plan.Extensions = run::ConvertedExtensions(choices.Movie.PngAndWebP);
  return plan;
}

int TfrmMain::ConvertNow(const std::filesystem::path& gifFileName, const std::string& subFolder) {
  return ConvertPlanned(run::PlanFileList({gifFileName}, PlanOptions(subFolder)).Folders.front().Files.front());
}

int TfrmMain::ConvertPlanned(const run::TPlannedFile& file) {
  const TRunChoices choices = running_ ? run_ : CurrentChoices();
  const bool single = choices.Single;
  current_ = file.Gif;
  if (!single && !AbortRequested) view_.SetStatusText(msg::ConvertingText(file.Gif, runStarted_, runTotal_));
  ++runStarted_;
  convert::TConvertOutcome outcome;
  if (!file.Refusal.empty()) {
    outcome = run::RefusedOutcome(file);
  } else if (!MayWrite(file.Movie, choices)) {
    return convert::crOk;
  } else {
    const TSingleFileStatus status(view_, single, file.Gif);
    view_.ProcessMessages();
    convert::TConvertOptions options;
    options.Gif = file.Gif;
    options.Movie = file.Movie;
    options.Url = choices.Url;
    options.Compact = choices.Movie.Compact;
    options.Compress = choices.Movie.Compress;
    options.Timing = choices.Movie.Timing;
    if (choices.Movie.KeepExisting) options.Overwrite = convert::TOverwrite::Keep;
    TViewProgress progress(view_);
    movieFolders_.Prepare(options.Movie);
    outcome = convert::ConvertFile(options, &progress);
  }
  if (!single && outcome.Code != convert::crOk) runFailures_.push_back({file.Gif, run::ReasonLine(outcome, ReasonText())});
  if (!single && outcome.Code == convert::crOk && !outcome.Written) ++runKept_;
  if (!CommandLineMode && single && !closePending_) ReportConversion(outcome);
  if (CommandLineMode && outcome.Code != convert::crOk) CommandLineError = run::FailureText(outcome, " ");
  if (CommandLineMode) view_.CloseWindow();
  return outcome.Code;
}

void TfrmMain::ReportConversion(const convert::TConvertOutcome& outcome) {
  std::error_code ec;
  if (outcome.Code == convert::crOk && !outcome.Written && std::filesystem::exists(outcome.Movie, ec)) {
    view_.MessageBox("The file " + outcome.Movie.filename().string() + " already exists and has been kept.",
                     IMainView::MessageKind::Information);
  } else if (outcome.Code == convert::crOk && std::filesystem::exists(outcome.Movie, ec)) {
    ShowHTML(outcome.Movie, std::to_string(outcome.Width), std::to_string(outcome.Height),
             outcome.FirstFrameTransparent,
             "The file " + outcome.Movie.filename().string() + " has been successfully created.");
  } else if (outcome.Code != convert::crOk) {
    view_.MessageBox(run::FailureText(outcome, "\n", ReasonText()), IMainView::MessageKind::Error);
  }
}

}  // namespace movara::form
