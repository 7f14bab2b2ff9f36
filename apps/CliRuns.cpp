#include "CliRuns.h"

#include <algorithm>
#include <map>
#include <optional>
#include <system_error>

#include "app/FolderListing.h"
#include "app/FolderRun.h"
#include "app/HtmlPage.h"
#include "app/MainForm.h"
#include "app/ParallelConversions.h"
#include "app/RunReport.h"

namespace movara::cli {

namespace {

// Shows the frames of the GIF being converted on the progress line.
class TFrameProgressLine final : public app::IConvertProgress {
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
std::string FailureLine(const std::filesystem::path& gif, const app::TConvertOutcome& outcome) {
  std::string line = "movara-cli: " + gif.string() + ": ";
  line += outcome.Code == app::crLoadError ? app::msg::kError1 : app::msg::kError6;
  const std::string reason = app::ReasonLine(outcome);
  return reason.empty() ? line : line + " " + reason;
}

app::TConvertOptions JobFor(const TCliOptions& options, const std::filesystem::path& gif,
                            const std::filesystem::path& folder) {
  app::TConvertOptions job;
  job.Gif = gif;
  job.Movie = app::MovieFileName(folder, gif);
  job.Url = options.Url;
  job.Overwrite = options.Overwrite;
  job.Compact = options.Compact;
  job.Compress = options.Compress;
  // Files converted side by side keep the cores busy; a picture pool per
  // file would only compete with them.
  if (options.Jobs > 1) job.CompressionThreads = 1;
  return job;
}

// Tells the user what came of a conversion (and writes its test page);
// the result code.
int Report(const TCliOptions& options, const std::filesystem::path& gif, const app::TConvertOutcome& outcome,
           TTerminal& terminal) {
  if (outcome.Code != app::crOk) {
    terminal.Error(FailureLine(gif, outcome));
  } else if (!outcome.Written) {
    terminal.Info("kept: " + outcome.Movie.string() + " (exists)");
  } else {
    terminal.Info("movie: " + outcome.Movie.string());
    if (options.Html) {
      const auto page = app::WriteTestPage(outcome.Movie, std::to_string(outcome.Width),
                                           std::to_string(outcome.Height), outcome.FirstFrameTransparent);
      terminal.Info("test page: " + page.string());
    }
  }
  return outcome.Code;
}

std::filesystem::path FolderOutput(const TCliOptions& options, const std::string& subFolder) {
  return app::MovieSubfolder(options.Output.empty() ? options.Folder : options.Output, subFolder);
}

// The listings of a folder run and the conversions it would make, in order:
// walked once with every conversion taken as done, so that the parallel run
// can start them all and then walk the same listings again, and a run of one
// job knows how many files its progress line counts to.
class TFolderPlan final : public app::IFolderRunClient {
 public:
  using TFiles = std::optional<std::vector<std::filesystem::path>>;
  using TNames = std::optional<std::vector<std::string>>;

  std::vector<std::filesystem::path> GifFiles(const std::filesystem::path& folder) override {
    return Recorded(Files[folder], [&] { return app::GifFilesIn(folder); });
  }
  std::vector<std::string> SubfolderNames(const std::filesystem::path& folder) override {
    return Recorded(Names[folder], [&] { return app::SubfolderNamesIn(folder); });
  }
  bool AbortRequested() override { return false; }
  void FolderStarted(const std::filesystem::path&, bool) override {}
  void FileStarted(std::size_t, std::size_t) override {}
  int Convert(const std::filesystem::path& gif, const std::string& subFolder) override {
    Conversions.emplace_back(gif, subFolder);
    return app::crOk;
  }

  std::map<std::filesystem::path, TFiles> Files;
  std::map<std::filesystem::path, TNames> Names;
  std::vector<std::pair<std::filesystem::path, std::string>> Conversions;

 private:
  // Lists once and keeps the listing, or that it failed.
  template <typename T, typename List>
  static T Recorded(std::optional<T>& record, List list) {
    try {
      record = list();
    } catch (const std::filesystem::filesystem_error&) {
      record.reset();
      throw;
    }
    return *record;
  }
};

// A folder run on the file system, one file after the other.
class TFolderRunOnDisk final : public app::IFolderRunClient {
 public:
  TFolderRunOnDisk(const TCliOptions& options, TTerminal& terminal) : options_(options), terminal_(terminal) {}

  std::vector<std::filesystem::path> GifFiles(const std::filesystem::path& folder) override {
    return app::GifFilesIn(folder);
  }
  std::vector<std::string> SubfolderNames(const std::filesystem::path& folder) override {
    return app::SubfolderNamesIn(folder);
  }
  bool AbortRequested() override { return false; }
  void FolderStarted(const std::filesystem::path& folder, bool root) override {
    if (root) total_ = CountConversions(folder);
  }
  void FileStarted(std::size_t, std::size_t) override {
    terminal_.Progress("file " + std::to_string(done_ + 1) + " of " + std::to_string(std::max(total_, done_ + 1)));
  }
  int Convert(const std::filesystem::path& gif, const std::string& subFolder) override {
    const auto outcome = app::ConvertGif(JobFor(options_, gif, FolderOutput(options_, subFolder)));
    ++done_;
    return Report(options_, gif, outcome, terminal_);
  }

 private:
  // The conversions the run will make, for the progress line; none when the
  // folder cannot be listed (the run itself says so).
  static std::size_t CountConversions(const std::filesystem::path& root) {
    TFolderPlan plan;
    try {
      app::RunFolderWalk(root, plan);
    } catch (const std::filesystem::filesystem_error&) {
    }
    return plan.Conversions.size();
  }

  const TCliOptions& options_;
  TTerminal& terminal_;
  std::size_t total_ = 0;
  std::size_t done_ = 0;
};

// The second walk of a parallel folder run: the plan's listings again, and
// each conversion's outcome as it comes, in order.
class TFolderReplay final : public app::IFolderRunClient {
 public:
  TFolderReplay(const TCliOptions& options, TTerminal& terminal, const TFolderPlan& plan,
                app::TParallelConversions& running)
      : options_(options), terminal_(terminal), plan_(plan), running_(running) {}

  std::vector<std::filesystem::path> GifFiles(const std::filesystem::path& folder) override {
    return Replayed(plan_.Files.at(folder), folder);
  }
  std::vector<std::string> SubfolderNames(const std::filesystem::path& folder) override {
    return Replayed(plan_.Names.at(folder), folder);
  }
  bool AbortRequested() override { return false; }
  void FolderStarted(const std::filesystem::path&, bool) override {}
  void FileStarted(std::size_t, std::size_t) override {
    terminal_.Progress("file " + std::to_string(next_ + 1) + " of " + std::to_string(running_.Count()));
  }
  int Convert(const std::filesystem::path& gif, const std::string&) override {
    return Report(options_, gif, running_.Take(next_++), terminal_);
  }

 private:
  template <typename T>
  static T Replayed(const std::optional<T>& record, const std::filesystem::path& folder) {
    if (!record) throw std::filesystem::filesystem_error("cannot list", folder, std::error_code());
    return *record;
  }

  const TCliOptions& options_;
  TTerminal& terminal_;
  const TFolderPlan& plan_;
  app::TParallelConversions& running_;
  std::size_t next_ = 0;
};

int FolderResult(const app::TFolderRunCounts& counts, TTerminal& terminal) {
  if (counts.WriteError) {
    terminal.Error(app::msg::kError6Folder);
    return app::crWriteError;
  }
  terminal.Info(app::FolderRunSummary(counts.Converted, counts.Failed, counts.Subfolders, counts.Aborted));
  return counts.Failed > 0 ? app::crLoadError : app::crOk;
}

}  // namespace

int ConvertFileList(const TCliOptions& options, TTerminal& terminal) {
  int worst = app::crOk;
  std::error_code ec;
  std::vector<app::TConvertOptions> jobs;
  for (const auto& file : options.Files) {
    const std::filesystem::path gif = std::filesystem::absolute(file, ec);
    if (std::filesystem::is_directory(gif, ec)) {
      terminal.Error("movara-cli: " + file.string() + " is a folder (use --folder)");
      worst = std::max<int>(worst, app::crLoadError);
      continue;
    }
    jobs.push_back(JobFor(options, gif, options.Output.empty() ? gif.parent_path() : options.Output));
  }
  if (options.Jobs <= 1 || jobs.size() <= 1) {
    for (auto& job : jobs) {
      job.CompressionThreads = 0;
      TFrameProgressLine progress(terminal, job.Gif.filename().string() + ": ");
      worst = std::max(worst, Report(options, job.Gif, app::ConvertGif(job, &progress), terminal));
    }
    return worst;
  }
  app::TParallelConversions running(jobs, options.Jobs);
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    terminal.Progress("file " + std::to_string(i + 1) + " of " + std::to_string(jobs.size()));
    worst = std::max(worst, Report(options, jobs[i].Gif, running.Take(i), terminal));
  }
  return worst;
}

int ConvertFolder(const TCliOptions& options, TTerminal& terminal) {
  if (options.Jobs <= 1) {
    TFolderRunOnDisk client(options, terminal);
    return FolderResult(app::RunFolderWalk(options.Folder, client), terminal);
  }
  TFolderPlan plan;
  app::RunFolderWalk(options.Folder, plan);
  std::vector<app::TConvertOptions> jobs;
  for (const auto& [gif, subFolder] : plan.Conversions) jobs.push_back(JobFor(options, gif, FolderOutput(options, subFolder)));
  app::TParallelConversions running(std::move(jobs), options.Jobs);
  TFolderReplay replay(options, terminal, plan, running);
  return FolderResult(app::RunFolderWalk(options.Folder, replay), terminal);
}

}  // namespace movara::cli
