#include <gtest/gtest.h>

#include <functional>

#include "FormTestSupport.h"

namespace movara::form {
namespace {

using namespace convert;
using namespace run;
using namespace play;

using test::Bytes;
using test::ConverterFixture;
using test::GifBuilder;

Bytes SmallGif() {
  test::FrameSpec f;
  f.width = 2, f.height = 2, f.pixels = {0, 1, 1, 0};
  return GifBuilder().Header(2, 2, {0, 0xFFFFFF}).Frame(f).Trailer().Build();
}
const Bytes kBroken = {'G', 'I', 'F', '8', '9', 'a'};

TEST(BatchRunner, Summaries) {
  EXPECT_EQ(FolderRunSummary(0, 0, 0, false), "No files have been found.");
  EXPECT_EQ(FolderRunSummary(2, 1, 0, false), "2 files of 3 have been successfully converted.");
  EXPECT_EQ(FolderRunSummary(1, 0, 2, false), "1 file of 1 has been successfully converted. 2 subfolders have been processed.");
  EXPECT_EQ(FolderRunSummary(0, 3, 1, false), "No files have been converted. 1 subfolder has been processed.");
  EXPECT_EQ(FolderRunSummary(0, 0, 3, false), "No files have been found. 3 subfolders have been processed.");
  EXPECT_EQ(FolderRunSummary(4, 0, 0, true), "The converting process has been aborted by user.");
  EXPECT_EQ(FolderRunSummary(2, 0, 1, false, 1),
            "2 files of 2 have been successfully converted. 1 subfolder has been processed. 1 folder could not be read.");
  EXPECT_EQ(FolderRunSummary(0, 0, 0, false, 2), "No files have been found. 2 folders could not be read.");
  EXPECT_EQ(ProgressPercent(0, 8), 12);
  EXPECT_EQ(ProgressPercent(2, 8), 38);
  EXPECT_EQ(ProgressPercent(4, 8), 62);
  EXPECT_EQ(ProgressPercent(7, 8), 100);
}

TEST(BatchRunner, FolderRunWithOneLevelOfSubfolders) {
  ConverterFixture fx;
  const auto in = fx.Root / "in";
  fx.WriteGif("a.gif", SmallGif(), in);
  fx.WriteGif("b.gif", kBroken, in);
  fx.WriteGif("c.gif", SmallGif(), in);
  fx.WriteGif("d.gif", SmallGif(), in / "one");
  fx.WriteGif("e.gif", SmallGif(), in / "one" / "deeper");
  fx.WriteGif("f.gif", kBroken, in / "three");
  std::filesystem::create_directories(in / "two");
  fx.View.Single = false;
  fx.View.Folder = in;
  fx.Form->btnStartClick();
  ASSERT_FALSE(fx.View.Messages.empty());
  EXPECT_EQ(fx.View.Messages.back().Text,
            "3 files of 5 have been successfully converted. 3 subfolders have been processed.\n\n"
            "Not converted:\nb.gif: Reason: the data ends early\nf.gif: Reason: the data ends early");
  EXPECT_EQ(fx.View.Messages.back().Kind, IMainView::MessageKind::Information);
  EXPECT_EQ(fx.View.Messages.size(), 1u) << "a folder run shows only its summary";
  EXPECT_TRUE(std::filesystem::exists(fx.OutDir / "a.swf"));
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "b.swf"));
  EXPECT_TRUE(std::filesystem::exists(fx.OutDir / "one" / "d.swf"));
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "one" / "deeper"));
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "e.swf"));
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "three")) << "no folder for a subfolder whose files all failed";
  EXPECT_EQ(fx.View.Folder, in) << "the root is selected again";
  EXPECT_EQ(fx.View.Progress, (std::vector<int>{0, 33, 67, 100, 100, 100, 0}));
  EXPECT_FALSE(fx.View.ProgressVisible);
  EXPECT_FALSE(fx.View.Busy);
  // The status names each file as it is converted, with its place in the run.
  EXPECT_EQ(fx.View.Statuses.front(), "Converting a.gif (1 of 5)  |  Esc or Stop ends the run after this file");
  EXPECT_EQ(fx.View.Statuses[3], "Converting d.gif (4 of 5)  |  Esc or Stop ends the run after this file");
}

TEST(BatchRunner, EmptyFolderAndAbort) {
  ConverterFixture fx;
  std::filesystem::create_directories(fx.Root / "empty");
  fx.View.Single = false;
  fx.View.Folder = fx.Root / "empty";
  fx.Form->btnStartClick();
  EXPECT_EQ(fx.View.Messages.back().Text, "No files have been found.");

  ConverterFixture abort;
  for (int i = 0; i < 5; ++i) abort.WriteGif("f" + std::to_string(i) + ".gif", SmallGif(), abort.Root / "five");
  abort.View.Single = false;
  abort.View.Folder = abort.Root / "five";
  int converted = 0;
  abort.View.OnProcess = [&] {
    // Escape pressed while the second file is converted.
    if (std::filesystem::exists(abort.OutDir / "f0.swf") && ++converted == 2) abort.Form->FormKeyPress(27);
  };
  abort.Form->btnStartClick();
  // The status says at once that the run stops, and after which file; the
  // summary gives the counts the command line gives.
  EXPECT_NE(std::find(abort.View.Statuses.begin(), abort.View.Statuses.end(),
                      "Stopping: the run ends once f1.gif is converted..."),
            abort.View.Statuses.end());
  EXPECT_EQ(abort.View.Messages.back().Text,
            "The converting process has been aborted by user. 2 files converted, 0 failed, 3 not reached.");
  EXPECT_TRUE(std::filesystem::exists(abort.OutDir / "f1.swf")) << "the file being converted is finished";
  EXPECT_FALSE(std::filesystem::exists(abort.OutDir / "f2.swf"));
}

TEST(BatchRunner, WriteErrorsStopTheRootRun) {
  ConverterFixture fx;
  const auto in = fx.Root / "in";
  fx.WriteGif("a.gif", SmallGif(), in);
  fx.WriteGif("b.gif", SmallGif(), in);
  fx.WriteGif("c.gif", SmallGif(), in);
  std::filesystem::create_directories(fx.OutDir / "b.swf");
  fx.View.Single = false;
  fx.View.Folder = in;
  fx.Form->btnStartClick();
  EXPECT_EQ(fx.View.Messages.back().Text.rfind(std::string(msg::kError6Folder) + "\n\nNot converted:\nb.gif: Reason: ", 0),
            0u);
  EXPECT_EQ(fx.View.Messages.back().Kind, IMainView::MessageKind::Error);
  EXPECT_TRUE(std::filesystem::exists(fx.OutDir / "a.swf")) << "what was converted stays";
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "c.swf")) << "the run stops at the write error";
}

TEST(BatchRunner, SingleFileModeAndCommandLine) {
  ConverterFixture fx;
  const auto gif = fx.WriteGif("s.gif", SmallGif(), fx.Root / "cmd");
  fx.View.Single = true;
  fx.View.Selected = {gif};
  fx.Form->btnStartClick();
  EXPECT_TRUE(std::filesystem::exists(fx.OutDir / "s.swf"));
  EXPECT_EQ(fx.View.Statuses.front(), "Converting s.gif: please wait...");
  EXPECT_EQ(fx.View.Statuses.back(), "");

  ConverterFixture cmd;
  cmd.Settings.Values["OutputFolder"] = cmd.OutDir.string();
  cmd.Form->FormCreate({gif.string()});
  EXPECT_TRUE(cmd.Form->CommandLineMode);
  EXPECT_EQ(cmd.Form->CommandLineResult, crOk);
  EXPECT_TRUE(std::filesystem::exists(fx.Root / "cmd" / "s.swf")) << "the movie goes beside the GIF";
  EXPECT_TRUE(cmd.View.Messages.empty());
  EXPECT_TRUE(cmd.View.Opened.empty()) << "no HTML page";
  EXPECT_FALSE(std::filesystem::exists(fx.Root / "cmd" / "s.html"));
  cmd.Form->FormPaint();
  EXPECT_EQ(cmd.View.CloseCalls, 2);
  cmd.Settings.Values.clear();
  cmd.Form->FormClose();
  EXPECT_TRUE(cmd.Settings.Values.empty()) << "command-line runs store nothing";

  ConverterFixture normal;
  normal.Form->FormCreate({(normal.Root / "missing.gif").string()});
  EXPECT_FALSE(normal.Form->CommandLineMode);
}

// The window's folder run plans first, like the terminal's: a later file
// whose movie is an earlier one's, a movie that would replace an input and
// a link to the folder walked already are not converted.
TEST(BatchRunner, FolderRunFollowsThePlan) {
  namespace fs = std::filesystem;
  struct Case {
    const char* name;
    std::function<void(ConverterFixture&, const fs::path& in)> make;
    const char* summary;
    const char* reason;  // of the file not converted, in the summary's list
  };
  const std::vector<Case> cases = {
      {"names that differ in case", [](ConverterFixture& fx, const fs::path& in) {
         fx.WriteGif("x.GIF", SmallGif(), in);
         fx.WriteGif("x.gif", SmallGif(), in);
       }, "1 file of 2 has been successfully converted.", "Reason: collision: "},
      {"a link to the folder itself", [](ConverterFixture& fx, const fs::path& in) {
         fx.WriteGif("a.gif", SmallGif(), in);
         fs::create_directory_symlink(".", in / "self");
       }, "1 file of 1 has been successfully converted.", ""},
      {"a movie that is the input", [](ConverterFixture& fx, const fs::path& in) {
         fs::create_hard_link(fx.WriteGif("x.gif", SmallGif(), in), fx.OutDir / "x.swf");
       }, "No files have been converted.", "would replace an input file"},
  };
  for (const Case& c : cases) {
    ConverterFixture fx;
    const fs::path in = fx.Root / "in";
    c.make(fx, in);
    fx.View.Single = false;
    fx.View.Folder = in;
    fx.Form->btnStartClick();
    ASSERT_FALSE(fx.View.Messages.empty()) << c.name;
    const std::string& text = fx.View.Messages.back().Text;
    EXPECT_EQ(text.rfind(c.summary, 0), 0u) << text;
    EXPECT_EQ(text.find("Not converted:") != std::string::npos, *c.reason != '\0') << text;
    EXPECT_NE(text.find(c.reason), std::string::npos) << text;
    for (const auto& e : fs::recursive_directory_iterator(fx.Root)) {
      EXPECT_NE(e.path().extension(), ".partial") << c.name;
      if (e.path().extension() == ".gif") {
        EXPECT_EQ(ReadFileBytes(e.path()), SmallGif()) << c.name << ": the input stays";
      }
    }
  }
}

// Fault injection: a conversion runs out of memory in the middle of a folder
// run. That file fails, every other converts and the summary counts it.
TEST(BatchRunner, OutOfMemoryIsTheFilesOwnFailure) {
  namespace fs = std::filesystem;
  struct Case {
    const char* failing;  // the file whose conversion throws
    const char* summary;
  };
  const std::vector<Case> cases = {
      {"a.gif", "2 files of 3 have been successfully converted. 1 subfolder has been processed."},
      {"b.gif", "2 files of 3 have been successfully converted. 1 subfolder has been processed."},
      {"c.gif", "2 files of 3 have been successfully converted. 1 subfolder has been processed."},
  };
  for (const Case& c : cases) {
    ConverterFixture fx;
    const fs::path in = fx.Root / "in";
    fx.WriteGif("a.gif", SmallGif(), in);
    fx.WriteGif("b.gif", SmallGif(), in);
    fx.WriteGif("c.gif", SmallGif(), in / "sub");
    fx.View.Single = false;
    fx.View.Folder = in;
    // The view is called once before each conversion, then from its
    // progress: the second call of a file is inside its conversion. The
    // file converted is the first in order without its movie.
    const std::vector<std::pair<std::string, fs::path>> order = {
        {"a.gif", fx.OutDir / "a.swf"}, {"b.gif", fx.OutDir / "b.swf"}, {"c.gif", fx.OutDir / "sub" / "c.swf"}};
    std::string current, thrown;
    int calls = 0;
    fx.View.OnProcess = [&] {
      for (const auto& [name, movie] : order) {
        if (fs::exists(movie) || name == thrown) continue;
        if (name != current) current = name, calls = 0;
        break;
      }
      if (++calls == 2 && current == c.failing) {
        thrown = current;
        throw std::bad_alloc();
      }
    };
    fx.Form->btnStartClick();
    ASSERT_FALSE(fx.View.Messages.empty()) << c.failing;
    EXPECT_EQ(fx.View.Messages.back().Text,
              std::string(c.summary) + "\n\nNot converted:\n" + c.failing + ": Reason: out of memory")
        << c.failing;
    EXPECT_EQ(thrown, c.failing) << "the fault was injected";
  }
}

TEST(BatchRunner, ModeSwitch) {
  ConverterFixture fx;
  fx.View.Single = false;
  fx.Form->RBSingleClick();
  EXPECT_FALSE(fx.View.UrlOn);
  EXPECT_TRUE(fx.View.StartEnabled);
  fx.View.Single = true;
  fx.Form->RBSingleClick();
  EXPECT_TRUE(fx.View.UrlOn);
  EXPECT_FALSE(fx.View.StartEnabled);
  fx.View.Selected = {fx.Root / "x.gif"};
  fx.Form->RBSingleClick();
  EXPECT_TRUE(fx.View.StartEnabled);
}

TEST(Settings, ReadAndWrite) {
  ConverterFixture fx;
  fx.Form->readini();
  EXPECT_EQ(fx.Form->OutputFolder, fx.View.Pictures) << "first run: the pictures folder";
  EXPECT_EQ(fx.View.Window.Left, 0) << "no geometry stored";

  fx.Settings.Values = {{"LastDir", fx.Root.string()}, {"OutputFolder", (fx.Root / "deleted").string()},
                        {"L", 10}, {"T", 20}};
  fx.View.Window = {};
  fx.Form->readini();
  EXPECT_EQ(fx.Form->OutputFolder, fx.View.Pictures);
  EXPECT_EQ(fx.View.Statuses.back(), "The output folder " + (fx.Root / "deleted").string() +
                                         " no longer exists; movies go to " + fx.View.Pictures.string() + ".");
  EXPECT_EQ(fx.View.Folder, fx.Root);
  EXPECT_EQ(fx.View.Window.Left, 0);
  EXPECT_EQ(fx.View.Window.Top, 0);
  EXPECT_EQ(fx.View.Window.Width, 784) << "the design size stays";

  fx.Settings.Values = {{"L", 10}, {"T", 20}, {"W", 900}, {"H", 500}};
  fx.Form->readini();
  EXPECT_EQ(fx.View.Window.Left, 10);
  EXPECT_EQ(fx.View.Window.Height, 500);

  fx.Form->FTreeChange(fx.Root / "x");
  fx.Form->btnSelectFolderClick(fx.OutDir);
  fx.Form->FormClose();
  EXPECT_EQ(std::get<std::string>(fx.Settings.Values["LastDir"]), (fx.Root / "x").string());
  EXPECT_EQ(std::get<std::string>(fx.Settings.Values["OutputFolder"]), fx.OutDir.string());
  EXPECT_EQ(std::get<std::int32_t>(fx.Settings.Values["W"]), 900);
  EXPECT_EQ(std::get<std::int32_t>(fx.Settings.Values["Maximized"]), 0);
  fx.View.Window.Maximized = true;
  fx.View.Window.SplitShare = 3000;
  fx.Form->writeini();
  fx.View.Window = {};
  fx.Form->readini();
  EXPECT_TRUE(fx.View.Window.Maximized) << "a maximised window comes back maximised";
  EXPECT_EQ(fx.View.Window.Width, 900) << "with its normal size kept";
  EXPECT_EQ(fx.View.Window.SplitShare, 3000);
  // A handle stored in pixels from its design place by earlier versions.
  fx.Settings.Values.erase("SplitShare");
  fx.Settings.Values["Split"] = -40;
  fx.Form->readini();
  EXPECT_EQ(fx.View.Window.SplitShare, 161 * 10000 / 402);

  fx.Settings.Available = false;
  fx.Settings.Values.clear();
  fx.Form->writeini();
  EXPECT_TRUE(fx.Settings.Values.empty());
}

TEST(FolderRunWalk, WindowRestoresItsStatusWhenAConversionFails) {
  ConverterFixture fx;
  const auto in = fx.Root / "in";
  fx.WriteGif("a.gif", SmallGif(), in / "sub");
  fx.View.Single = false;
  fx.View.Folder = in;
  fx.View.OnProcess = [] { throw std::runtime_error("failure inside a conversion"); };
  EXPECT_THROW(fx.Form->btnStartClick(), std::runtime_error);
  EXPECT_FALSE(fx.View.ProgressVisible);
  EXPECT_FALSE(fx.View.Busy);
  EXPECT_EQ(fx.View.Folder, in);
  EXPECT_EQ(fx.View.Statuses.back(), "");
}

}  // namespace
}  // namespace movara::form
