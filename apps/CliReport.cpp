#include "CliReport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "base/Printable.h"
#include "run/RunReport.h"

namespace movara::cli {

namespace {

std::uint64_t SizeOf(const std::filesystem::path& file) {
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(file, ec);
  return ec ? 0 : size;
}

run::TFileRecord RecordOf(const TCliOptions& options, const run::TPlannedFile& file,
                          const convert::TConvertOutcome& outcome, int code) {
  run::TFileRecord record;
  record.Input = file.Gif;
  record.Movie = file.Movie;
  record.Code = code;
  record.Reason = run::ReasonText(outcome.Reason);
  if (!file.Refusal.empty()) {
    record.Outcome = run::TFileOutcome::Refused;
    return record;
  }
  const bool written = outcome.Code == convert::crOk && outcome.Written;
  if (outcome.Code == convert::crOk && !outcome.Written) {
    record.Outcome = run::TFileOutcome::Kept;
  } else {
    record.Outcome = code == convert::crOk ? run::TFileOutcome::Converted : run::TFileOutcome::Failed;
  }
  if (written && options.Html && code == convert::crOk) {
    record.Page = file.Movie;
    record.Page.replace_extension(".html");
  } else if (written && code != convert::crOk) {
    record.Reason = "the test page could not be written";
  }
  if (written) record.Bytes = SizeOf(file.Movie) + (record.Page.empty() ? 0 : SizeOf(record.Page));
  if (outcome.Code == convert::crOk) record.MovieFrames = run::MovieFrameCount(file.Movie);
  return record;
}

}  // namespace

TCliReport::TCliReport(const TCliOptions& options) : options_(options) {
  summary_.Share = options.Share;
  if (options.Report.empty()) return;
  if (options.Report == "-") {
    fd_ = STDOUT_FILENO;
    return;
  }
  fd_ = ::open(options.Report.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    throw std::runtime_error("cannot write the report " + options.Report.string() + ": " + std::strerror(errno));
  }
}

TCliReport::~TCliReport() {
  if (fd_ > STDERR_FILENO) ::close(fd_);
}

void TCliReport::Write(const std::string& line) {
  if (fd_ < 0 || writeFailed_) return;
  std::size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      writeFailed_ = true;
      writeError_ = n < 0 ? std::strerror(errno) : "nothing written";
      return;
    }
    done += static_cast<std::size_t>(n);
  }
}

void TCliReport::Count(const run::TFileRecord& record) {
  ++summary_.Files;
  switch (record.Outcome) {
    case run::TFileOutcome::Converted: ++summary_.Converted; break;
    case run::TFileOutcome::Failed: ++summary_.Failed; break;
    case run::TFileOutcome::Refused: ++summary_.Refused; break;
    case run::TFileOutcome::Kept: ++summary_.Kept; break;
    case run::TFileOutcome::NotReached: ++summary_.NotReached; break;
  }
  Write(run::FileRecordLine(record));
}

int TCliReport::FileDone(const run::TPlannedFile& file, const convert::TConvertOutcome& outcome, int code) {
  ++reported_;
  const run::TConversionMeasure measure = meter_.Take(file.Movie);
  // The record reads the movie's sizes and header: only for a report.
  if (fd_ < 0) return code;
  run::TFileRecord record = RecordOf(options_, file, outcome, code);
  record.Seconds = measure.Seconds;
  record.GifFrames = measure.GifFrames;
  Count(record);
  return code;
}

void TCliReport::FolderSkipped(const run::TPlannedFolder& folder) {
  if (!folder.Unreadable.empty()) Write(run::UnreadableFolderLine(folder.Folder, folder.Unreadable));
}

int TCliReport::Finish(const run::TFolderRunCounts& counts, int status) {
  if (plan_ != nullptr) {
    std::size_t seen = 0;
    for (const auto& folder : plan_->Folders) {
      for (const auto& file : folder.Files) {
        if (seen++ < reported_) continue;
        run::TFileRecord record;
        record.Input = file.Gif;
        record.Movie = file.Movie;
        record.Outcome = run::TFileOutcome::NotReached;
        record.Code = convert::crLoadError;
        record.Reason = file.Refusal.empty() ? "the run stopped before this file" : file.Refusal;
        Count(record);
      }
    }
    summary_.Planned = plan_->FilesInAllShares;
  }
  summary_.UnreadableFolders = static_cast<std::uint64_t>(counts.Unreadable);
  summary_.Status = status;
  summary_.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  Write(run::SummaryLine(summary_));
  if (!writeFailed_) return status;
  std::fprintf(stderr, "movara-cli: cannot write the report %s: %s\n", Printable(options_.Report.string()).c_str(),
               Printable(writeError_).c_str());
  return status < convert::crWriteError ? convert::crWriteError : status;
}

std::unique_ptr<TCliReport> OpenReport(const TCliOptions& options, TTerminal& terminal) {
  try {
    return std::make_unique<TCliReport>(options);
  } catch (const std::runtime_error& e) {
    terminal.Error(std::string("movara-cli: ") + e.what());
    return nullptr;
  }
}

}  // namespace movara::cli
