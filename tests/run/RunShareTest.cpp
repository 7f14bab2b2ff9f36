// Shares of a run: every file in exactly one share for any count, fixed by
// its name alone; and the share a command line or a cluster's environment
// asks for.
#include <gtest/gtest.h>

#include <map>
#include <algorithm>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "Bytes.h"
#include "TempDir.h"
#include "run/RunPlan.h"
#include "run/RunShare.h"

namespace movara::run {
namespace {

std::vector<std::string> Names(std::size_t count) {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < count; ++i) names.push_back("dir " + std::to_string(i % 3) + "/clip-" + std::to_string(i) + ".gif");
  return names;
}

TEST(RunShare, SharesAreDisjointCompleteAndStable) {
  for (std::size_t files = 0; files <= 50; ++files) {
    const std::vector<std::string> names = Names(files);
    for (std::uint32_t count = 1; count <= 7; ++count) {
      std::multiset<std::string> taken;
      for (std::uint32_t index = 1; index <= count; ++index) {
        for (const auto& name : names) {
          if (InShare(name, {index, count})) taken.insert(name);
        }
      }
      EXPECT_EQ(taken, std::multiset<std::string>(names.begin(), names.end()))
          << files << " files in " << count << " shares: a file is missing or taken twice";
      // A file's share is its name's alone: the same in a list reordered and
      // grown.
      std::vector<std::string> other = Names(files + 13);
      std::shuffle(other.begin(), other.end(), test::Rng());
      std::map<std::string, std::uint32_t> shareInOther;
      for (const auto& name : other) shareInOther[name] = ShareOf(name, count);
      for (const auto& name : names) ASSERT_EQ(ShareOf(name, count), shareInOther[name]) << name;
    }
  }
}

TEST(RunShare, SharesAreKnownValuesAndRoughlyEven) {
  // Fixed values: a change of the hash would send files of a rerun to
  // other shares than the first run's.
  const std::vector<std::uint32_t> known = {ShareOf("a.gif", 7), ShareOf("b.gif", 7), ShareOf("sub/a.gif", 7)};
  EXPECT_EQ(known, (std::vector<std::uint32_t>{5, 7, 5}));
  std::map<std::uint32_t, int> sizes;
  for (const auto& name : Names(4000)) ++sizes[ShareOf(name, 4)];
  for (const auto& [share, size] : sizes) EXPECT_NEAR(size, 1000, 120) << "share " << share;
}

// The files of a plan, by their name below `root`.
std::multiset<std::string> Planned(const TRunPlan& plan, const std::filesystem::path& root) {
  std::multiset<std::string> files;
  for (const auto& folder : plan.Folders) {
    for (const auto& file : folder.Files) files.insert(file.Gif.lexically_relative(root).string() + ":" + file.Refusal);
  }
  return files;
}

TEST(RunShare, PlansTakeTheirShareAfterCollisionsOverTheWholeRun) {
  test::TempDir dir;
  std::vector<std::filesystem::path> list;
  for (int i = 0; i < 12; ++i) {
    for (const char* sub : {"A", "B"}) list.push_back(dir.path / sub / ("x" + std::to_string(i) + ".gif"));
  }
  TPlanOptions options;
  options.Output = dir.path / "out";
  const std::multiset<std::string> whole = Planned(PlanFileList(list, options), dir.path);
  for (std::uint32_t count = 2; count <= 5; ++count) {
    std::multiset<std::string> taken;
    for (std::uint32_t index = 1; index <= count; ++index) {
      options.Share = {index, count};
      const TRunPlan plan = PlanFileList(list, options);
      EXPECT_EQ(plan.FilesInAllShares, list.size());
      const auto share = Planned(plan, dir.path);
      taken.insert(share.begin(), share.end());
    }
    EXPECT_EQ(taken, whole) << "every B file is refused as A's collision, whichever share takes it";
  }
}

TEST(RunShare, AFolderRunsSharesAreTheSameWhereverItLies) {
  test::TempDir dir;
  for (const char* root : {"here", "there/deeper"}) {
    for (const char* file : {"a.gif", "b.gif", "c.gif", "s1/a.gif", "s1/d.gif", "s2/e.gif", "s2/f.gif"}) {
      std::filesystem::create_directories((dir.path / root / file).parent_path());
      dir.Write(std::string(root) + "/" + file, {});
    }
  }
  TPlanOptions options;
  for (std::uint32_t index = 1; index <= 3; ++index) {
    options.Share = {index, 3};
    EXPECT_EQ(Planned(PlanFolderRun(dir.path / "here", options), dir.path / "here"),
              Planned(PlanFolderRun(dir.path / "there/deeper", options), dir.path / "there/deeper"));
  }
}

std::optional<std::string> NoVariable(const char*) { return std::nullopt; }

TEnvironment With(std::map<std::string, std::string> variables) {
  return [variables](const char* name) -> std::optional<std::string> {
    const auto found = variables.find(name);
    return found == variables.end() ? std::nullopt : std::optional(found->second);
  };
}

TEST(RunShare, ParsesSharesAndTheClustersVariables) {
  const auto slurm = [](const char* id, const char* count) {
    return With({{"SLURM_ARRAY_TASK_ID", id}, {"SLURM_ARRAY_TASK_MIN", id}, {"SLURM_ARRAY_TASK_COUNT", count}});
  };
  const struct {
    const char* text;
    TEnvironment environment;
    TShare share;
  } good[] = {
      {"1/1", NoVariable, {1, 1}},
      {"3/4", NoVariable, {3, 4}},
      {"auto", slurm("1", "4"), {1, 4}},
      {"auto", slurm("4", "4"), {4, 4}},
      {"auto/4", slurm("3", "1"), {3, 4}},
      {"auto/5", With({{"JOB_COMPLETION_INDEX", "0"}}), {1, 5}},
      {"auto/5", With({{"JOB_COMPLETION_INDEX", "4"}}), {5, 5}},
  };
  for (const auto& c : good) EXPECT_EQ(ParseShare(c.text, c.environment), c.share) << c.text;

  const struct {
    const char* text;
    TEnvironment environment;
    const char* says;
  } bad[] = {
      {"0/4", NoVariable, "I from 1 to N"},
      {"2", NoVariable, "I from 1 to N"},
      {"1/0", NoVariable, "from 1 to 100000"},
      {"-1/4", NoVariable, "I from 1 to N"},
      {"1/4 ", NoVariable, "from 1 to 100000"},
      {"auto", NoVariable, "neither SLURM_ARRAY_TASK_ID nor JOB_COMPLETION_INDEX"},
      {"auto", With({{"JOB_COMPLETION_INDEX", "1"}}), "give it as --shard auto/N"},
      {"auto/2", With({{"JOB_COMPLETION_INDEX", "2"}}), "not below the count"},
      {"auto", slurm("0", "4"), "task id 0 is not a share from 1 to 4"},
      {"auto", slurm("3", "1"), "needs --shard auto/N"},
      {"auto/2", slurm("3", "1"), "not a share from 1 to 2"},
      {"auto", With({{"SLURM_ARRAY_TASK_ID", "1"}}), "SLURM_ARRAY_TASK_COUNT is not a whole number"},
  };
  for (const auto& c : bad) {
    try {
      ParseShare(c.text, c.environment);
      ADD_FAILURE() << c.text << " was taken";
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << c.text << ": " << e.what();
    }
  }
}

}  // namespace
}  // namespace movara::run
