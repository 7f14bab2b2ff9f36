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
  TSingleFileStatus(IMainView& view, bool single) : view_(view), single_(single) {
    if (!single_) return;
    view_.SetStatusText(msg::kConverting);
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

std::filesystem::path TfrmMain::MovieFolder(const std::string& subFolder) {
  std::error_code ec;
  if (OutputFolder.empty() || !std::filesystem::is_directory(OutputFolder, ec)) OutputFolder = DefaultOutputFolder();
  return run::MovieSubfolder(OutputFolder, subFolder);
}

std::string TfrmMain::LinkUrl() const {
  const std::string url = view_.UrlText();
  return view_.UrlEnabled() && url != "http://" ? url : std::string();
}

bool TfrmMain::MayWrite(const std::filesystem::path& target, bool single, bool keep) {
  std::error_code ec;
  if (CommandLineMode || !single || keep || !std::filesystem::exists(target, ec)) return true;
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
  if (choices.Movie.PngAndWebP) {
    for (const auto* kind : {&run::kPngExtensions, &run::kWebPExtensions}) {
      plan.Extensions.insert(plan.Extensions.end(), kind->begin(), kind->end());
    }
  }
  return plan;
}

int TfrmMain::ConvertNow(const std::filesystem::path& gifFileName, const std::string& subFolder) {
  return ConvertPlanned(run::PlanFileList({gifFileName}, PlanOptions(subFolder)).Folders.front().Files.front());
}

int TfrmMain::ConvertPlanned(const run::TPlannedFile& file) {
  const TRunChoices choices = running_ ? run_ : CurrentChoices();
  const bool single = choices.Single;
  convert::TConvertOutcome outcome;
  if (!file.Refusal.empty()) {
    outcome = run::RefusedOutcome(file);
  } else if (!MayWrite(file.Movie, single, choices.Movie.KeepExisting)) {
    return convert::crOk;
  } else {
    const TSingleFileStatus status(view_, single);
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
    outcome = convert::ConvertFile(options, &progress);
  }
  if (!single && outcome.Code != convert::crOk) runFailures_.push_back({file.Gif, run::ReasonLine(outcome)});
  if (!CommandLineMode && single && !closePending_) ReportConversion(outcome);
  if (CommandLineMode) view_.CloseWindow();
  return outcome.Code;
}

void TfrmMain::ReportConversion(const convert::TConvertOutcome& outcome) {
  std::error_code ec;
  if (outcome.Code == convert::crOk && !outcome.Written && std::filesystem::exists(outcome.Movie, ec)) {
    view_.MessageBox("The file " + outcome.Movie.filename().string() + " already exists and has been kept.",
                     IMainView::MessageKind::Information);
  } else if (outcome.Code == convert::crOk && std::filesystem::exists(outcome.Movie, ec)) {
    view_.MessageBox("The file " + outcome.Movie.filename().string() + " has been successfully created.",
                     IMainView::MessageKind::Information);
    ShowHTML(outcome.Movie, std::to_string(outcome.Width), std::to_string(outcome.Height),
             outcome.FirstFrameTransparent);
  } else if (outcome.Code != convert::crOk) {
    const std::string reason = run::ReasonLine(outcome);
    view_.MessageBox(run::ErrorMessage(outcome.Code) + (reason.empty() ? "" : "\n" + reason),
                     IMainView::MessageKind::Error);
  }
}

}  // namespace movara::form
