#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace movara::app {

// The counts of a folder run.
struct TFolderRunCounts {
  int Converted = 0;   // code 0
  int Failed = 0;      // code 1
  int Subfolders = 0;  // subfolders processed
  bool WriteError = false;
  bool Aborted = false;
};

// What a folder run needs of its surroundings: the window's tree and list,
// or the file system for the terminal.
class IFolderRunClient {
 public:
  virtual ~IFolderRunClient() = default;
  // The GIF files of a folder, in the order they are converted.
  virtual std::vector<std::filesystem::path> GifFiles(const std::filesystem::path& folder) = 0;
  // The names of a folder's subfolders, in the order they are visited.
  virtual std::vector<std::string> SubfolderNames(const std::filesystem::path& folder) = 0;
  virtual bool AbortRequested() = 0;
  // The run starts on a folder: first the root, then each subfolder.
  virtual void FolderStarted(const std::filesystem::path& folder, bool root) = 0;
  // File `index` of the `count` files of the current folder is next.
  virtual void FileStarted(std::size_t index, std::size_t count) = 0;
  // Converts one GIF (into the subfolder of that name when not empty); the
  // result code.
  virtual int Convert(const std::filesystem::path& gif, const std::string& subFolder) = 0;
};

// Converts the GIFs of a folder, then those of each of its subfolders (one
// level). Abort is honoured between files. A write error in the folder
// itself ends the run; one in a subfolder is counted and the run goes on.
// A subfolder that cannot be listed ends the walk of subfolders quietly;
// failures of the conversions themselves are not caught.
TFolderRunCounts RunFolderWalk(const std::filesystem::path& root, IFolderRunClient& client);

}  // namespace movara::app
