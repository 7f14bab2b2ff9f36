// A list of files planned before it runs: which files are refused and why.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "run/RunPlan.h"
#include "run/RunReport.h"

namespace movara::run {
namespace {

using test::TempDir;

// The refusals of a planned list, in its order ("" for a file converted).
std::vector<std::string> Refusals(const TRunPlan& plan) {
  std::vector<std::string> reasons;
  for (const auto& file : plan.Folders.at(0).Files) reasons.push_back(file.Refusal);
  return reasons;
}

TEST(RunPlan, FilesWhoseMovieOrPageWouldReplaceAnInputAreRefused) {
  TempDir dir;
  // Inputs are told by their identity on disk: z.gif is also x.html, w.gif
  // is also y.swf.
  const auto x = dir.Write("x.gif", {'G'});
  const auto y = dir.Write("y.gif", {'G'});
  const auto z = dir.Write("z.gif", {'G'});
  const auto w = dir.Write("w.gif", {'G'});
  std::filesystem::create_hard_link(z, dir.path / "x.html");
  std::filesystem::create_hard_link(w, dir.path / "y.swf");
  std::filesystem::create_directories(dir.path / "a");
  const auto other = dir.Write("a/x.gif", {'G'});
  const struct {
    const char* why;
    std::vector<std::filesystem::path> inputs;
    bool pages;
    std::filesystem::path output;
    std::vector<std::string> refusals;
  } cases[] = {
      {"a page that would replace an input", {x, z}, true, {},
       {"the test page " + (dir.path / "x.html").string() + " would replace an input file", ""}},
      {"no pages are written: nothing is replaced", {x, z}, false, {}, {"", ""}},
      {"a movie that would replace an input", {y, w}, false, {},
       {"the movie " + (dir.path / "y.swf").string() + " would replace an input file", ""}},
      {"two inputs of one movie", {x, other}, false, dir.path / "out",
       {"", "collision: " + (dir.path / "out/x.swf").string() + " is the movie of " + x.string()}},
      {"an empty list", {}, true, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    TPlanOptions options;
    options.Pages = c.pages;
    options.Output = c.output;
    EXPECT_EQ(Refusals(PlanFileList(c.inputs, options)), c.refusals);
  }
}

TEST(RunReport, TheFirstTenFailuresAreNamed) {
  const auto failures = [](std::size_t count) {
    std::vector<TFailedFile> files;
    for (std::size_t i = 1; i <= count; ++i) files.push_back({"f" + std::to_string(i) + ".gif", "why"});
    return FailedFilesText(files);
  };
  EXPECT_EQ(failures(0), "");
  EXPECT_EQ(failures(1), "\n\nNot converted:\nf1.gif: why");
  const std::string ten = failures(10);
  EXPECT_NE(ten.find("\nf10.gif: why"), std::string::npos) << ten;
  EXPECT_EQ(ten.find("more"), std::string::npos) << ten;
  const std::string eleven = failures(11);
  EXPECT_NE(eleven.find("\nf10.gif: why"), std::string::npos) << eleven;
  EXPECT_EQ(eleven.find("f11.gif"), std::string::npos) << eleven;
  EXPECT_TRUE(eleven.ends_with("\n... and 1 more.")) << eleven;
}

}  // namespace
}  // namespace movara::run
