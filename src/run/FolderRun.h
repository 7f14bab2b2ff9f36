#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "run/RunPlan.h"

namespace movara::run {

// The counts of a run.
struct TFolderRunCounts {
  int Converted = 0;   // code 0
  int Failed = 0;      // code 1, refused files included
  int Subfolders = 0;  // subfolders processed
  int Unreadable = 0;  // folders that could not be read
  bool WriteError = false;
  bool Aborted = false;
};

// What IFolderRunClient::Convert gives for a file it never started because
// the run stopped first: counted neither converted nor failed, and the walk
// ends there.
inline constexpr int kNotStarted = -1;

// Counts a file's result code.
void CountResult(TFolderRunCounts& counts, int code);

// What a run needs of its surroundings: the window's status and progress,
// or the terminal's lines, and the conversions themselves.
class IFolderRunClient {
 public:
  virtual ~IFolderRunClient() = default;
  virtual bool AbortRequested() = 0;
  // The run starts on a folder: first the root, then each subfolder.
  virtual void FolderStarted(const TPlannedFolder& folder, bool root) = 0;
  // The run passes a folder it could not read or walks already.
  virtual void FolderSkipped(const TPlannedFolder& folder) = 0;
  // File `index` of the `count` files of the current folder is next.
  virtual void FileStarted(std::size_t index, std::size_t count) = 0;
  // Converts a file of the plan and tells the user what came of it; the
  // result code. A refused file comes here too, to be reported, and counts
  // as failed.
  virtual int Convert(const TPlannedFile& file, const TPlannedFolder& folder) = 0;
};

// Runs a plan in its order. Abort is honoured between files. A write error
// in the root folder ends the run when `stopAtRootWriteError`; one in a
// subfolder is counted and the run goes on. Failures the conversions throw
// are not caught.
TFolderRunCounts RunFolderPlan(const TRunPlan& plan, IFolderRunClient& client, bool stopAtRootWriteError);

}  // namespace movara::run
