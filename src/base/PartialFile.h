#pragma once

#include <cstddef>
#include <filesystem>

namespace movara {

// A file written under a short temporary name in its target's folder and
// renamed onto the target once it is complete, so that a failed or
// interrupted write loses no earlier file. The temporary file is created
// exclusively; it is removed when the object goes uncommitted, and by
// RemovePartialFiles when a signal ends the process.
class TPartialFile {
 public:
  // Throws std::filesystem::filesystem_error when the file cannot be made.
  explicit TPartialFile(std::filesystem::path target);
  ~TPartialFile();
  TPartialFile(const TPartialFile&) = delete;
  TPartialFile& operator=(const TPartialFile&) = delete;

  // The temporary file, to be written.
  const std::filesystem::path& Path() const { return path_; }
  // Renames the temporary file onto the target. Without `replace` a target
  // that exists at the moment of the rename is kept and false returned.
  // Throws std::filesystem::filesystem_error when the rename fails.
  bool Commit(bool replace);

 private:
  std::filesystem::path target_;
  std::filesystem::path path_;
  std::size_t slot_;
  bool done_ = false;
};

// Removes the temporary files of every TPartialFile not yet committed or
// removed. Async-signal-safe: a signal handler calls it before the process
// ends.
void RemovePartialFiles() noexcept;

}  // namespace movara
