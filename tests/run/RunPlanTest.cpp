// A list of files planned before it runs: which files are refused and why.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "run/LinkUrl.h"
#include "run/MovieNames.h"
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

// A plan makes nothing; a subfolder's movie folder is made with the first
// conversion into it and removed when nothing was written there.
TEST(RunPlan, MovieFoldersAreMadeWhenConvertedIntoAndTidiedWhenLeftEmpty) {
  TempDir dir;
  for (const char* sub : {"in/a", "in/b", "in/c", "out/c"}) std::filesystem::create_directories(dir.path / sub);
  for (const char* gif : {"in/a/x.gif", "in/b/y.gif", "in/c/z.gif"}) dir.Write(gif, {'G'});
  TPlanOptions options;
  options.Output = dir.path / "out";
  const TRunPlan plan = PlanFolderRun(dir.path / "in", options);
  ASSERT_EQ(plan.Folders.size(), 4u);
  EXPECT_FALSE(std::filesystem::exists(dir.path / "out" / "a")) << "planning makes no folder";
  {
    TMovieFolders folders;
    for (std::size_t k = 1; k < 4; ++k) folders.Prepare(plan.Folders[k].Files.at(0).Movie);
    for (const char* made : {"a", "b"}) EXPECT_TRUE(std::filesystem::is_directory(dir.path / "out" / made)) << made;
    dir.Write("out/a/x.swf", {'F'});
  }
  EXPECT_TRUE(std::filesystem::exists(dir.path / "out" / "a" / "x.swf")) << "a folder with a movie stays";
  EXPECT_FALSE(std::filesystem::exists(dir.path / "out" / "b")) << "an empty folder made by the run goes";
  EXPECT_TRUE(std::filesystem::is_directory(dir.path / "out" / "c")) << "a folder the run found stays";

  // A share of a run leaves the folders it made: another share may be
  // about to convert into one.
  { TMovieFolders(false).Prepare(plan.Folders[2].Files.at(0).Movie); }
  EXPECT_TRUE(std::filesystem::is_directory(dir.path / "out" / "b")) << "kept for the other shares";
}

TEST(LinkUrl, ASiteWithoutItsSchemeIsTold) {
  const struct {
    const char* url;
    bool misses;
  } cases[] = {
      {"www.example.com", true},         {"example.com/page?a=b", true},   {"localhost:8080/x", true},
      {"www.example.com:443", true},     {"https://www.example.com", false}, {"HTTP://example.com", false},
      {"mailto:someone@example.com", false}, {"javascript:void(0)", false}, {"svn+ssh://host/x", false},
      {"/page.html", false},             {"../up.html", false},            {"#top", false},
      {"?q=1", false},                   {"", false},                      {"1http://x", true},
  };
  for (const auto& c : cases) EXPECT_EQ(MissesScheme(c.url), c.misses) << c.url;
  EXPECT_EQ(WithHttps("www.example.com"), "https://www.example.com");
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
