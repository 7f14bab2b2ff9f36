#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "run/RunShare.h"

namespace movara::run {

// What came of one file of a run, for programs: one JSON object a line
// (JSON Lines), names written as JsonString writes them.
enum class TFileOutcome {
  Converted,   // the movie was written
  Failed,      // the GIF could not be read or converted, or a file not written
  Refused,     // the plan refused it (collision, input replaced, a folder)
  Kept,        // its movie exists and --no-overwrite kept it
  NotReached,  // the run stopped before it
};
const char* OutcomeName(TFileOutcome outcome);

struct TFileRecord {
  std::filesystem::path Input;
  std::filesystem::path Movie;
  // The test page written; empty for none.
  std::filesystem::path Page;
  TFileOutcome Outcome = TFileOutcome::Converted;
  // The result code: 0, 1 (not read or not converted) or 6 (not written).
  int Code = 0;
  std::string Reason;
  // Unknown (null) when the GIF was not read or the movie is not there.
  std::optional<std::uint64_t> GifFrames;
  std::optional<std::uint64_t> MovieFrames;
  // Bytes this run wrote for the file: its movie and its page.
  std::uint64_t Bytes = 0;
  double Seconds = 0;
};

// {"type":"file","input":...,"movie":...,"page":...,"outcome":...,"code":...,
//  "reason":...,"gif_frames":...,"movie_frames":...,"bytes":...,"seconds":...}
std::string FileRecordLine(const TFileRecord& record);

// {"type":"folder","folder":...,"reason":...}: a folder the run could not
// read, whose files it could not know.
std::string UnreadableFolderLine(const std::filesystem::path& folder, const std::string& reason);

// The last line of a run: its counts, its share and its exit status.
struct TRunSummary {
  // The files of the whole plan, and those of this run's share.
  std::uint64_t Planned = 0;
  std::uint64_t Files = 0;
  std::uint64_t Converted = 0;
  std::uint64_t Kept = 0;
  std::uint64_t Failed = 0;
  std::uint64_t Refused = 0;
  std::uint64_t NotReached = 0;
  std::uint64_t UnreadableFolders = 0;
  TShare Share;
  int Status = 0;
  double Seconds = 0;
};
// {"type":"summary","planned":...,"files":...,"converted":...,"kept":...,
//  "failed":...,"refused":...,"not_reached":...,"unreadable_folders":...,
//  "shard":"I/N","status":...,"seconds":...}
std::string SummaryLine(const TRunSummary& summary);

}  // namespace movara::run
