// The folder walk with a scripted client: counts, stops and unreadable
// folders.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "run/FolderRun.h"

namespace movara::run {
namespace {

using convert::crLoadError;
using convert::crOk;
using convert::crWriteError;

// A plan of made-up folders: "root" with files, subfolders "a", "b" and
// "c", two files each; what each conversion does is scripted.
TRunPlan ScriptedPlan(const std::string& unreadable = "none") {
  TRunPlan plan;
  for (const std::string name : {"", "a", "b", "c"}) {
    const std::string stem = name.empty() ? "root" : name;
    TPlannedFolder folder{"/x/root" / std::filesystem::path(name), name, {}, {}, false};
    if (name == unreadable) {
      folder.Unreadable = "Permission denied";
    } else {
      for (const char* n : {"1", "2"}) folder.Files.push_back({folder.Folder / (stem + n + ".gif"), {}, {}});
    }
    plan.Folders.push_back(folder);
  }
  return plan;
}

struct ScriptedClient final : IFolderRunClient {
  std::map<std::string, int> Codes;  // result code per file name (default 0)
  std::string ThrowingFile;
  std::vector<std::string> Converted;
  std::vector<std::string> Skipped;
  bool AbortRequested() override { return false; }
  void FolderStarted(const TPlannedFolder&, bool) override {}
  void FolderSkipped(const TPlannedFolder& folder) override { Skipped.push_back(folder.Name); }
  void FileStarted(std::size_t, std::size_t) override {}
  int Convert(const TPlannedFile& file, const TPlannedFolder&) override {
    const std::string name = file.Gif.filename().string();
    if (name == ThrowingFile) throw std::runtime_error("out of something");
    Converted.push_back(name);
    return Codes.count(name) ? Codes[name] : crOk;
  }
};

TEST(FolderRunWalk, CountsAndStops) {
  ScriptedClient all;
  all.Codes = {{"a1.gif", crLoadError}, {"b2.gif", crWriteError}};
  const TFolderRunCounts counts = RunFolderPlan(ScriptedPlan(), all, true);
  EXPECT_EQ(counts.Converted, 6);
  EXPECT_EQ(counts.Failed, 1);
  EXPECT_EQ(counts.Subfolders, 3);
  EXPECT_TRUE(counts.WriteError) << "a write error in a subfolder is counted and the run goes on";
  EXPECT_EQ(all.Converted.size(), 8u);

  ScriptedClient root;
  root.Codes = {{"root1.gif", crWriteError}};
  const TFolderRunCounts stopped = RunFolderPlan(ScriptedPlan(), root, true);
  EXPECT_TRUE(stopped.WriteError);
  EXPECT_EQ(root.Converted, (std::vector<std::string>{"root1.gif"})) << "a write error in the root ends the run";
  EXPECT_EQ(stopped.Subfolders, 0);
}

TEST(FolderRunWalk, UnreadableFoldersAreCountedAndTheRunGoesOn) {
  ScriptedClient unlistable;
  const TFolderRunCounts counts = RunFolderPlan(ScriptedPlan("b"), unlistable, true);
  EXPECT_EQ(counts.Converted, 6) << "the folders after the unreadable one are converted";
  EXPECT_EQ(counts.Subfolders, 2);
  EXPECT_EQ(counts.Unreadable, 1);
  EXPECT_EQ(unlistable.Skipped, (std::vector<std::string>{"b"}));

  ScriptedClient throwing;
  throwing.ThrowingFile = "a2.gif";
  EXPECT_THROW(RunFolderPlan(ScriptedPlan(), throwing, true), std::runtime_error)
      << "a failure the client throws is not taken for a conversion's failure";
}

}  // namespace
}  // namespace movara::run
