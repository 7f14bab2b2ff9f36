#include "CliRuns.h"

#include <algorithm>
#include <system_error>

#include "app/FolderListing.h"
#include "app/FolderRun.h"
#include "app/HtmlPage.h"
#include "app/MainForm.h"
#include "imaging/GIFException.h"

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
  if (outcome.Reason.empty()) return line;
  line += " Reason: " + outcome.Reason;
  const std::string_view gloss = imaging::GIFMessageGloss(outcome.Reason);
  if (!gloss.empty()) line += " (" + std::string(gloss) + ")";
  return line;
}

// Converts one GIF into a folder and tells the user what came of it.
int ConvertInto(const TCliOptions& options, const std::filesystem::path& gif, const std::filesystem::path& folder,
                TTerminal& terminal, app::IConvertProgress* progress) {
  app::TConvertOptions job;
  job.Gif = gif;
  job.Movie = app::MovieFileName(folder, gif);
  job.Url = options.Url;
  job.Overwrite = options.Overwrite;
  const app::TConvertOutcome outcome = app::ConvertGif(job, progress);
  if (outcome.Code != app::crOk) {
    terminal.Error(FailureLine(gif, outcome));
    return outcome.Code;
  }
  if (!outcome.Written) {
    terminal.Info("kept: " + outcome.Movie.string() + " (exists)");
    return outcome.Code;
  }
  terminal.Info("movie: " + outcome.Movie.string());
  if (options.Html) {
    const auto page = app::WriteTestPage(outcome.Movie, std::to_string(outcome.Width), std::to_string(outcome.Height),
                                         outcome.FirstFrameTransparent);
    terminal.Info("test page: " + page.string());
  }
  return outcome.Code;
}

// A folder run on the file system, counting files for the progress line.
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
    if (root) total_ = CountGifs(folder);
  }
  void FileStarted(std::size_t, std::size_t) override {
    terminal_.Progress("file " + std::to_string(done_ + 1) + " of " + std::to_string(std::max(total_, done_ + 1)));
  }
  int Convert(const std::filesystem::path& gif, const std::string& subFolder) override {
    const std::filesystem::path output = options_.Output.empty() ? options_.Folder : options_.Output;
    const int code = ConvertInto(options_, gif, app::MovieSubfolder(output, subFolder), terminal_, nullptr);
    ++done_;
    return code;
  }

 private:
  // The GIFs of a folder and of its subfolders, as far as they can be read.
  static std::size_t CountGifs(const std::filesystem::path& root) {
    std::size_t count = 0;
    std::error_code ec;
    try {
      count = app::GifFilesIn(root).size();
      for (const auto& name : app::SubfolderNamesIn(root)) count += app::GifFilesIn(root / name).size();
    } catch (const std::filesystem::filesystem_error&) {
    }
    return count;
  }

  const TCliOptions& options_;
  TTerminal& terminal_;
  std::size_t total_ = 0;
  std::size_t done_ = 0;
};

}  // namespace

int ConvertFileList(const TCliOptions& options, TTerminal& terminal) {
  int worst = app::crOk;
  std::error_code ec;
  for (const auto& file : options.Files) {
    const std::filesystem::path gif = std::filesystem::absolute(file, ec);
    if (std::filesystem::is_directory(gif, ec)) {
      terminal.Error("movara-cli: " + file.string() + " is a folder (use --folder)");
      worst = std::max<int>(worst, app::crLoadError);
      continue;
    }
    const std::filesystem::path folder = options.Output.empty() ? gif.parent_path() : options.Output;
    TFrameProgressLine progress(terminal, gif.filename().string() + ": ");
    worst = std::max(worst, ConvertInto(options, gif, folder, terminal, &progress));
  }
  return worst;
}

int ConvertFolder(const TCliOptions& options, TTerminal& terminal) {
  TFolderRunOnDisk client(options, terminal);
  const app::TFolderRunCounts counts = app::RunFolderWalk(options.Folder, client);
  if (counts.WriteError) {
    terminal.Error(app::msg::kError6Folder);
    return app::crWriteError;
  }
  terminal.Info(app::FolderRunSummary(counts.Converted, counts.Failed, counts.Subfolders, counts.Aborted));
  return counts.Failed > 0 ? app::crLoadError : app::crOk;
}

}  // namespace movara::cli
