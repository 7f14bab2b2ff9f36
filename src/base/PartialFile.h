#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>

#include "base/FileStream.h"

namespace movara {

// A file written under a short temporary name in its target's folder and
// renamed onto the target once it is complete, so that a failed or
// interrupted write loses no earlier file. The temporary file is known to
// RemovePartialFiles before it exists, is created exclusively and written
// through the descriptor that created it, never opened again by its name:
// whenever a signal ends the process, no temporary file is left. It is
// removed when the object goes uncommitted.
class TPartialFile {
 public:
  // Throws std::filesystem::filesystem_error when the file cannot be made.
  explicit TPartialFile(std::filesystem::path target);
  ~TPartialFile();
  TPartialFile(const TPartialFile&) = delete;
  TPartialFile& operator=(const TPartialFile&) = delete;

  // The temporary file.
  const std::filesystem::path& Path() const { return path_; }
  // Its content, to be written; failures name the target.
  TStream& Stream() { return *stream_; }
  // Completes the content and renames the temporary file onto the target.
  // Without `replace` a target that exists at the moment of the rename is
  // kept and false returned. Throws StreamError when the content could not
  // be stored, std::filesystem::filesystem_error when the rename fails.
  bool Commit(bool replace);

 private:
  std::filesystem::path target_;
  std::filesystem::path path_;
  std::size_t slot_;
  std::unique_ptr<TFileStream> stream_;
  bool done_ = false;
};

// Removes the temporary files of every TPartialFile not yet committed or
// removed, and makes every TPartialFile made after it fail. Async-signal-
// safe: a signal handler calls it before the process ends.
void RemovePartialFiles() noexcept;

}  // namespace movara
