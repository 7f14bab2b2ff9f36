#include <gtest/gtest.h>

#include "AppTestSupport.h"

namespace movara::app {
namespace {

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
  std::filesystem::create_directories(in / "two");
  fx.View.Single = false;
  fx.View.Folder = in;
  fx.Form->btnStartClick();
  ASSERT_FALSE(fx.View.Messages.empty());
  EXPECT_EQ(fx.View.Messages.back().Text,
            "3 files of 4 have been successfully converted. 2 subfolders have been processed.\n\n"
            "Not converted:\nb.gif: Reason: 数据过早结束 (the data ends early)");
  EXPECT_EQ(fx.View.Messages.back().Kind, IMainView::MessageKind::Information);
  EXPECT_EQ(fx.View.Messages.size(), 1u) << "a folder run shows only its summary";
  EXPECT_TRUE(std::filesystem::exists(fx.OutDir / "a.swf"));
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "b.swf"));
  EXPECT_TRUE(std::filesystem::exists(fx.OutDir / "one" / "d.swf"));
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "one" / "deeper"));
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "e.swf"));
  EXPECT_EQ(fx.View.Folder, in) << "the root is selected again";
  EXPECT_EQ(fx.View.Progress, (std::vector<int>{0, 33, 67, 100, 100, 0}));
  EXPECT_FALSE(fx.View.ProgressVisible);
  EXPECT_FALSE(fx.View.Busy);
  EXPECT_EQ(fx.View.Statuses.front(), "Press ESC to abort  |  Processing: " + in.string());
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
  EXPECT_EQ(abort.View.Messages.back().Text, "The converting process has been aborted by user.");
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
  fx.View.Window.Split = -40;
  fx.Form->writeini();
  fx.View.Window = {};
  fx.Form->readini();
  EXPECT_TRUE(fx.View.Window.Maximized) << "a maximised window comes back maximised";
  EXPECT_EQ(fx.View.Window.Width, 900) << "with its normal size kept";
  EXPECT_EQ(fx.View.Window.Split, -40);

  fx.Settings.Available = false;
  fx.Settings.Values.clear();
  fx.Form->writeini();
  EXPECT_TRUE(fx.Settings.Values.empty());
}

}  // namespace
}  // namespace movara::app
