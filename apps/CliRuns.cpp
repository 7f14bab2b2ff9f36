#include "CliRuns.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "CliReport.h"
#include "Interrupt.h"
#include "play/HtmlPage.h"
#include "run/MovieNames.h"
#include "run/FolderRun.h"
#include "run/ParallelConversions.h"
#include "run/RunReport.h"

namespace movara::cli {

namespace {

// Shows the frames of the GIF being converted on the progress line.
class TFrameProgressLine final : public convert::IConvertProgress {
 public:
  TFrameProgressLine(TTerminal& terminal, std::string prefix) : terminal_(terminal), prefix_(std::move(prefix)) {}
  void FramesDone(std::size_t done, std::size_t total) override {
    terminal_.Progress(prefix_ + "frame " + std::to_string(done) + " of " + std::to_string(total));
  }

 private:
  TTerminal& terminal_;
  std::string prefix_;
};

// Why a conversion failed, in one line: the converter's own message, then
// the reader's or the writer's, with an English gloss of the reader's.
std::string FailureLine(const std::filesystem::path& gif, const convert::TConvertOutcome& outcome) {
  return "movara-cli: " + gif.string() + ": " + run::FailureText(outcome, " ");
}

convert::TConvertOptions JobFor(const TCliOptions& options, const run::TPlannedFile& file) {
  convert::TConvertOptions job;
  job.Gif = file.Gif;
  job.Movie = file.Movie;
  job.Url = options.Url;
  job.Overwrite = options.Overwrite;
  job.Compact = options.Compact;
  job.Compress = options.Compress;
  job.Timing = options.Timing;
  // Files converted side by side keep the cores busy; a picture pool per
  // file would only compete with them.
  job.CompressionThreads = 1;
  return job;
}

// Writes a movie's test page, keeping one that exists with --no-overwrite;
// Error 6 with the reason when it cannot.
int WritePage(const TCliOptions& options, const std::filesystem::path& gif, const convert::TConvertOutcome& outcome,
              TTerminal& terminal) {
  try {
    std::filesystem::path page = outcome.Movie;
    page.replace_extension(".html");
    const bool replace = options.Overwrite == convert::TOverwrite::Replace;
    if (play::WriteTestPage(outcome.Movie, std::to_string(outcome.Width), std::to_string(outcome.Height),
                            outcome.FirstFrameTransparent, replace)) {
      terminal.Info("test page: " + page.string());
    } else {
      terminal.Info("kept: " + page.string() + " (exists)");
    }
    return convert::crOk;
  } catch (const std::exception& e) {
    convert::TConvertOutcome failed = outcome;
    failed.Code = convert::crWriteError;
    failed.Reason = e.what();
    terminal.Error(FailureLine(gif, failed));
    return convert::crWriteError;
  }
}

// Tells the user what came of a conversion (and writes its test page);
// the result code.
int Report(const TCliOptions& options, const std::filesystem::path& gif, const convert::TConvertOutcome& outcome,
           TTerminal& terminal) {
  if (outcome.Code != convert::crOk) {
    terminal.Error(FailureLine(gif, outcome));
  } else if (!outcome.Written) {
    terminal.Info("kept: " + outcome.Movie.string() + " (exists)");
  } else {
    terminal.Info("movie: " + outcome.Movie.string());
    if (options.Html) return WritePage(options, gif, outcome, terminal);
  }
  return outcome.Code;
}

// Converts a planned file on this thread with every core for its pictures,
// its frames on the progress line when `showFrames`.
convert::TConvertOutcome ConvertHere(const TCliOptions& options, const run::TPlannedFile& file, TTerminal& terminal,
                                     bool showFrames, run::TConversionMeter& meter, run::TMovieFolders& folders) {
  convert::TConvertOptions job = JobFor(options, file);
  job.CompressionThreads = 0;
  folders.Prepare(job.Movie);
  if (!showFrames) return meter.Convert(job);
  TFrameProgressLine progress(terminal, file.Gif.filename().string() + ": ");
  return meter.Convert(job, &progress);
}

// A planned run on the terminal: one file after the other, or several at
// once; either way each file is reported in the plan's order.
class TCliRun final : public run::IFolderRunClient {
 public:
  TCliRun(const TCliOptions& options, TTerminal& terminal, const run::TRunPlan& plan, bool folderRun, TCliReport& report)
      : options_(options), terminal_(terminal), report_(report), folderRun_(folderRun),
        folders_(options.Share.Count == 1) {
    std::vector<convert::TConvertOptions> jobs;
    for (const auto& folder : plan.Folders) {
      for (const auto& file : folder.Files) {
        planFiles_.push_back(&file);
        if (file.Refusal.empty()) jobs.push_back(JobFor(options, file));
      }
    }
    // After a signal no file starts, whichever thread is free.
    if (options.Jobs > 1 && jobs.size() > 1) {
      running_.emplace(
          std::move(jobs), options.Jobs,
          [this, measured = report.Meter().Function()](const convert::TConvertOptions& job) {
            folders_.Prepare(job.Movie);
            return measured(job);
          },
          [] { return InterruptSignal() == 0; });
    }
  }

  // After an interrupt the conversions under way are still reported.
  bool AbortRequested() override {
    if (InterruptSignal() == 0) return false;
    if (!running_) return true;
    running_->Stop();
    return !running_->Started(taken_);
  }
  void FolderStarted(const run::TPlannedFolder&, bool) override {}
  void FolderSkipped(const run::TPlannedFolder& folder) override {
    report_.FolderSkipped(folder);
    if (folder.Repeated) {
      terminal_.Info("skipped: " + folder.Folder.string() + " (a link to a folder the run walks already)");
    } else {
      terminal_.Error("movara-cli: " + folder.Folder.string() + ": cannot read the folder. Reason: " + folder.Unreadable);
    }
  }
  void FileStarted(std::size_t, std::size_t) override {}
  int Convert(const run::TPlannedFile& file, const run::TPlannedFolder&) override {
    if (folderRun_ || running_) {
      terminal_.Progress("file " + std::to_string(reported_ + 1) + " of " + std::to_string(planFiles_.size()) + ": " +
                         file.Gif.filename().string());
    }
    const auto outcome = Outcome(file);
    if (!outcome) return run::kNotStarted;
    ++reported_;
    return report_.FileDone(file, *outcome, Report(options_, file.Gif, *outcome, terminal_));
  }

  // Once the walk has stopped (a write error, a signal), the conversions
  // that were started beside the last one reported are reported and
  // counted too: every movie written is said.
  void FinishStarted(run::TFolderRunCounts& counts) {
    if (!running_) return;
    running_->Stop();
    // In the plan's order from the first file not reported, refused ones
    // included, up to the first conversion that never started.
    for (; reported_ < planFiles_.size(); ++reported_) {
      const run::TPlannedFile& file = *planFiles_[reported_];
      const auto outcome = Outcome(file);
      if (!outcome) return;
      run::CountResult(counts, report_.FileDone(file, *outcome, Report(options_, file.Gif, *outcome, terminal_)));
    }
  }

  std::size_t NotReported() const { return planFiles_.size() - reported_; }

 private:
  // The outcome of a planned file; none when it was never started.
  std::optional<convert::TConvertOutcome> Outcome(const run::TPlannedFile& file) {
    if (!file.Refusal.empty()) return run::RefusedOutcome(file);
    if (running_) {
      const auto outcome = running_->Take(taken_);
      if (outcome) ++taken_;
      return outcome;
    }
    return ConvertHere(options_, file, terminal_, !folderRun_, report_.Meter(), folders_);
  }

  const TCliOptions& options_;
  TTerminal& terminal_;
  TCliReport& report_;
  bool folderRun_;
  std::size_t reported_ = 0;
  std::size_t taken_ = 0;
  // Every file of the plan in its order; the conversions handed to the
  // parallel runner are those not refused, in the same order.
  std::vector<const run::TPlannedFile*> planFiles_;
  // Before the conversions, which make folders in it: the threads end
  // before the empty ones are removed.
  run::TMovieFolders folders_;
  std::optional<run::TParallelConversions> running_;
};

// A run stopped by a signal: what was not converted and the summary of
// what was; the exit status of the signal.
int Interrupted(const run::TFolderRunCounts& counts, std::size_t notConverted, TTerminal& terminal) {
  const int signal = InterruptSignal();
  terminal.Error("movara-cli: interrupted (" + std::string(SignalName(signal)) + "); " +
                 std::to_string(notConverted) + (notConverted == 1 ? " file" : " files") + " not converted");
  terminal.Info(run::FolderRunSummary(counts.Converted, counts.Failed, counts.Subfolders, false, counts.Unreadable));
  return 128 + signal;
}

int FolderResult(const run::TFolderRunCounts& counts, TTerminal& terminal) {
  if (counts.WriteError) {
    terminal.Error(run::msg::kError6Folder);
    return convert::crWriteError;
  }
  terminal.Info(run::FolderRunSummary(counts.Converted, counts.Failed, counts.Subfolders, counts.Aborted,
                                      counts.Unreadable));
  return counts.Failed > 0 || counts.Unreadable > 0 ? convert::crLoadError : convert::crOk;
}

run::TPlanOptions PlanOptions(const TCliOptions& options) {
  run::TPlanOptions plan;
  plan.Output = options.Output;
  plan.Pages = options.Html;
  plan.Share = options.Share;
  plan.Extensions = options.Extensions;
  return plan;
}

// Runs a planned list of files or a folder; the exit status. A folder run
// says how its write errors ended it.
int RunPlanned(const TCliOptions& options, TTerminal& terminal, TCliReport& report, const run::TRunPlan& plan,
               bool folderRun) {
  report.Start(plan);
  TCliRun run(options, terminal, plan, folderRun, report);
  run::TFolderRunCounts counts = run::RunFolderPlan(plan, run, folderRun);
  run.FinishStarted(counts);
  if (counts.Aborted) return report.Finish(counts, Interrupted(counts, run.NotReported(), terminal));
  if (folderRun) return report.Finish(counts, FolderResult(counts, terminal));
  if (counts.WriteError) return report.Finish(counts, convert::crWriteError);
  return report.Finish(counts, counts.Failed > 0 ? convert::crLoadError : convert::crOk);
}

}  // namespace

int ConvertFileList(const TCliOptions& options, TTerminal& terminal, TCliReport& report) {
  return RunPlanned(options, terminal, report, run::PlanFileList(options.Files, PlanOptions(options)), false);
}

int ConvertFolder(const TCliOptions& options, TTerminal& terminal, TCliReport& report) {
  return RunPlanned(options, terminal, report, run::PlanFolderRun(options.Folder, PlanOptions(options)), true);
}

convert::TConvertOutcome ConvertFile(const TCliOptions& options, const std::filesystem::path& gif, TTerminal& terminal) {
  const run::TRunPlan plan = run::PlanFileList({gif}, PlanOptions(options));
  const run::TPlannedFile& file = plan.Folders.front().Files.front();
  run::TConversionMeter meter;
  run::TMovieFolders folders;
  const convert::TConvertOutcome outcome =
      file.Refusal.empty() ? ConvertHere(options, file, terminal, true, meter, folders) : run::RefusedOutcome(file);
  Report(options, gif, outcome, terminal);
  return outcome;
}

}  // namespace movara::cli
