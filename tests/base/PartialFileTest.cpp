#include <gtest/gtest.h>

#include "TempDir.h"

#include <filesystem>
#include <optional>

#include "base/FileStream.h"
#include "base/PartialFile.h"

namespace movara {
namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

// The target as it is when the temporary file is made, and as it is when
// the file is renamed onto it (a file that appeared meanwhile included).
TEST(PartialFile, KeepsOrReplacesAtTheMomentOfTheRename) {
  struct Case {
    const char* name;
    bool replace;
    std::optional<Bytes> appears;  // written to the target before Commit
    bool committed;
    Bytes result;
  };
  const Bytes mine = {1, 2, 3}, theirs = {9};
  const std::vector<Case> cases = {
      {"keep, no target", false, std::nullopt, true, mine},
      {"keep, a target appears meanwhile", false, theirs, false, theirs},
      {"replace, no target", true, std::nullopt, true, mine},
      {"replace, a target appears meanwhile", true, theirs, true, mine},
  };
  for (const Case& c : cases) {
    const test::TempDir dir;
    const fs::path target = dir.path / "movie.swf";
    {
      TPartialFile partial(target);
      EXPECT_EQ(partial.Path().parent_path(), dir.path) << c.name << ": beside its target";
      EXPECT_LE(partial.Path().filename().string().size(), 22u) << c.name << ": a short name";
      WriteFileBytes(partial.Path(), mine);
      if (c.appears) WriteFileBytes(target, *c.appears);
      EXPECT_EQ(partial.Commit(c.replace), c.committed) << c.name;
    }
    EXPECT_EQ(ReadFileBytes(target), c.result) << c.name;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1) << c.name << ": no temporary file left";
  }
}

TEST(PartialFile, AnUncommittedFileAndTheSignalCleanupLeaveNothing) {
  const test::TempDir dir;
  { const TPartialFile dropped(dir.path / "a.swf"); }
  // Files committed or dropped give their place in the cleanup back: a long
  // run's later files are cleaned up as its first are.
  for (int i = 0; i < 1000; ++i) {
    TPartialFile done(dir.path / "done.swf");
    if (i % 2 == 0) done.Commit(true);
  }
  fs::remove(dir.path / "done.swf");
  const TPartialFile first(dir.path / "b.swf");
  const TPartialFile second(dir.path / "c.swf");
  EXPECT_NE(first.Path(), second.Path()) << "each one its own name";
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 2);
  EXPECT_THROW(TPartialFile(dir.path / "missing" / "d.swf"), fs::filesystem_error);
  RemovePartialFiles();
  EXPECT_TRUE(fs::is_empty(dir.path));
  // Once the cleanup has run (the process is ending), no file is made.
  try {
    const TPartialFile late(dir.path / "e.swf");
    ADD_FAILURE() << "a temporary file after the cleanup";
  } catch (const fs::filesystem_error& e) {
    EXPECT_EQ(e.code(), std::errc::operation_canceled);
  }
  EXPECT_TRUE(fs::is_empty(dir.path));
}

}  // namespace
}  // namespace movara
