#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "CliRuns.h"
#include "run/ConversionMeter.h"
#include "run/FolderRun.h"
#include "run/RunPlan.h"
#include "run/RunRecords.h"

namespace movara::cli {

// The report of a run for programs (--report): one JSON line per file of
// the plan in the plan's order, written as each file is reported, a line
// for each folder that could not be read, and the summary last. Each line
// goes out in one write, so a killed run leaves whole lines. Without
// --report it only measures the conversions.
class TCliReport {
 public:
  // Opens the report (replacing the file; "-" is standard output). Throws
  // std::runtime_error naming the file when it cannot be opened.
  explicit TCliReport(const TCliOptions& options);
  ~TCliReport();
  TCliReport(const TCliReport&) = delete;
  TCliReport& operator=(const TCliReport&) = delete;

  // Where the conversions go, so that their time and frames are known.
  run::TConversionMeter& Meter() { return meter_; }
  void Start(const run::TRunPlan& plan) { plan_ = &plan; }
  // A file was reported with `code` (its page's failure included); the code.
  int FileDone(const run::TPlannedFile& file, const convert::TConvertOutcome& outcome, int code);
  void FolderSkipped(const run::TPlannedFolder& folder);
  // Reports the files the run did not reach and the summary; the exit
  // status, 6 when the report itself could not be written.
  int Finish(const run::TFolderRunCounts& counts, int status);

 private:
  void Write(const std::string& line);
  void Count(const run::TFileRecord& record);

  const TCliOptions& options_;
  int fd_ = -1;
  bool writeFailed_ = false;
  std::string writeError_;
  const run::TRunPlan* plan_ = nullptr;
  std::size_t reported_ = 0;
  run::TRunSummary summary_;
  run::TConversionMeter meter_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// The run's report, opened; none when it cannot be, which is said on the
// terminal.
std::unique_ptr<TCliReport> OpenReport(const TCliOptions& options, TTerminal& terminal);

}  // namespace movara::cli
