#include "run/FolderRun.h"

#include "convert/Convert.h"

namespace movara::run {

namespace {

// Converts a folder's files in order; false when the run stops here (abort,
// or a write error that ends it).
bool ConvertFiles(IFolderRunClient& client, const TPlannedFolder& folder, bool stopAtWriteError,
                  TFolderRunCounts& counts) {
  const std::size_t count = folder.Files.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (client.AbortRequested()) return false;
    client.FileStarted(i, count);
    const int code = client.Convert(folder.Files[i], folder);
    if (code == kNotStarted) return false;
    CountResult(counts, code);
    if (code == convert::crWriteError && stopAtWriteError) return false;
  }
  return true;
}

}  // namespace

void CountResult(TFolderRunCounts& counts, int code) {
  if (code == convert::crOk) ++counts.Converted;
  if (code == convert::crLoadError) ++counts.Failed;
  if (code == convert::crWriteError) counts.WriteError = true;
}

TFolderRunCounts RunFolderPlan(const TRunPlan& plan, IFolderRunClient& client, bool stopAtRootWriteError) {
  TFolderRunCounts counts;
  for (std::size_t k = 0; k < plan.Folders.size(); ++k) {
    const TPlannedFolder& folder = plan.Folders[k];
    if (client.AbortRequested()) break;
    if (!folder.Unreadable.empty() || folder.Repeated) {
      if (!folder.Unreadable.empty()) ++counts.Unreadable;
      client.FolderSkipped(folder);
      continue;
    }
    if (k > 0) ++counts.Subfolders;
    client.FolderStarted(folder, k == 0);
    if (!ConvertFiles(client, folder, k == 0 && stopAtRootWriteError, counts)) break;
  }
  counts.Aborted = client.AbortRequested();
  return counts;
}

}  // namespace movara::run
