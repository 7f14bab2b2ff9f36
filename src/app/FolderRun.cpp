#include "app/FolderRun.h"

#include <exception>
#include <optional>

#include "app/Conversion.h"

namespace movara::app {

namespace {

// Converts a folder's files in order; false when the run stops here (abort,
// or a write error in the root folder).
bool ConvertFiles(IFolderRunClient& client, const std::vector<std::filesystem::path>& files,
                  const std::string& subFolder, TFolderRunCounts& counts) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (client.AbortRequested()) return false;
    client.FileStarted(i, files.size());
    const int code = client.Convert(files[i], subFolder);
    if (code == crOk) ++counts.Converted;
    if (code == crLoadError) ++counts.Failed;
    if (code == crWriteError) {
      counts.WriteError = true;
      if (subFolder.empty()) return false;
    }
  }
  return true;
}

// A listing of the file system or the window's tree; empty when it fails.
template <typename List>
std::optional<std::invoke_result_t<List>> TryListing(List list) {
  try {
    return list();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

void WalkSubfolders(const std::filesystem::path& root, IFolderRunClient& client, TFolderRunCounts& counts) {
  const auto names = TryListing([&] { return client.SubfolderNames(root); });
  if (!names) return;
  for (const std::string& name : *names) {
    if (client.AbortRequested()) return;
    const std::filesystem::path folder = root / name;
    ++counts.Subfolders;
    client.FolderStarted(folder, false);
    const auto files = TryListing([&] { return client.GifFiles(folder); });
    if (!files || !ConvertFiles(client, *files, name, counts)) return;
  }
}

}  // namespace

TFolderRunCounts RunFolderWalk(const std::filesystem::path& root, IFolderRunClient& client) {
  TFolderRunCounts counts;
  client.FolderStarted(root, true);
  if (ConvertFiles(client, client.GifFiles(root), "", counts) && !client.AbortRequested()) {
    WalkSubfolders(root, client, counts);
  }
  counts.Aborted = client.AbortRequested();
  return counts;
}

}  // namespace movara::app
