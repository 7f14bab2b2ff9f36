// The main window's handlers besides the conversion, on a fake view: the
// file list, the preview's placement, limits and panning, hints, help, the
// folder dialog and the about box.
#include <gtest/gtest.h>

#include <algorithm>

#include "FormTestSupport.h"
#include "form/AboutBox.h"
#include "swf/core/TagReader.h"

namespace movara::form {
namespace {

using namespace convert;
using namespace run;
using namespace play;

using test::Bytes;
using test::ConverterFixture;
using test::GifBuilder;
using test::MakeFrame;

const std::vector<test::Rgb> kColors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

Bytes Gif(int width, int height, int frames = 1) {
  GifBuilder b;
  b.Header(width, height, kColors);
  for (int k = 0; k < frames; ++k) {
    b.Gce(1, 10);
    b.Frame(MakeFrame(0, 0, width, height,
                      std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height, static_cast<std::uint8_t>(1 + k % 3))));
  }
  return b.Trailer().Build();
}

// Twelve GIFs listed, none selected.
struct ListFixture : ConverterFixture {
  ListFixture() {
    for (int i = 0; i < 12; ++i) {
      const auto gif = WriteGif("g" + std::to_string(10 + i) + ".gif", Gif(20, 10));
      View.List.push_back({gif, false});
    }
  }
  void Select(std::size_t index) {
    View.List[index].Selected = true;
    Form->LV1SelectItem(index, true);
  }
  void Deselect(std::size_t index) {
    View.List[index].Selected = false;
    Form->LV1SelectItem(index, false);
  }
};

TEST(FileList, SelectingTheThirdOfTwelveShowsItsPositionEnablesStartAndPreviewsIt) {
  ListFixture fx;
  fx.Select(2);
  EXPECT_EQ(fx.View.PositionText, "File: 3/12");
  EXPECT_TRUE(fx.View.StartEnabled);
  EXPECT_GT(fx.View.ProcessCalls, 0);
  EXPECT_EQ(fx.Form->RememberedIndex, 2);
  ASSERT_NE(fx.Form->Preview.Image(), nullptr);
  EXPECT_EQ(fx.View.PreviewPane.Size, (IPreviewView::TPoint{20, 10}));
  EXPECT_EQ(fx.View.PreviewPane.Target.Count(), 1u) << "a single frame is drawn at once";
}

TEST(FileList, DeselectingClearsThePreviewAndDisablesStartOnlyInSingleFileMode) {
  ListFixture fx;
  fx.Select(0);
  fx.Deselect(0);
  EXPECT_EQ(fx.Form->Preview.Image(), nullptr);
  EXPECT_EQ(fx.View.PreviewPane.Size, (IPreviewView::TPoint{10, 10}));
  EXPECT_FALSE(fx.View.StartEnabled);

  fx.View.Single = false;
  fx.Select(1);
  fx.Deselect(1);
  EXPECT_TRUE(fx.View.StartEnabled) << "a folder run needs no selected file";
}

TEST(FileList, PreviewCheckBoxHidesAndBringsBackTheRememberedItem) {
  ListFixture fx;
  fx.Select(4);
  fx.View.PreviewOn = false;
  fx.Form->ChB1Click();
  EXPECT_EQ(fx.Form->Preview.Image(), nullptr);
  fx.View.PreviewOn = true;
  fx.Form->ChB1Click();
  EXPECT_NE(fx.Form->Preview.Image(), nullptr);

  fx.Form->FTreeChange(fx.Root);
  fx.Form->Preview.ShowPreView({});
  fx.Form->ChB1Click();
  EXPECT_EQ(fx.Form->Preview.Image(), nullptr) << "a new folder forgets the remembered item";
}

TEST(FileList, NoPreviewWhileItsCheckBoxIsOff) {
  ListFixture fx;
  fx.View.PreviewOn = false;
  fx.Select(0);
  EXPECT_EQ(fx.Form->Preview.Image(), nullptr);
  EXPECT_EQ(fx.View.PositionText, "File: 1/12");
}

// ---- preview ----

struct PreviewFixture : ConverterFixture {
  test::FakePreview& Pane = View.PreviewPane;
  TPreviewPane& Preview = Form->Preview;
};

TEST(PreviewPane, ASmallerGifIsCentredWithTheDefaultCursor) {
  PreviewFixture fx;
  fx.Preview.ShowPreView(fx.WriteGif("small.gif", Gif(50, 20)));
  EXPECT_EQ(fx.Pane.Position, (IPreviewView::TPoint{73, 64})) << "(197 - 50) div 2, (149 - 20) div 2";
  EXPECT_EQ(fx.Pane.Size, (IPreviewView::TPoint{50, 20}));
  EXPECT_FALSE(fx.Pane.Hand);
}

TEST(PreviewPane, ALargerGifStartsTopLeftWithTheHandCursorAndPansByDragging) {
  PreviewFixture fx;
  fx.Preview.ShowPreView(fx.WriteGif("wide.gif", Gif(300, 100)));
  EXPECT_EQ(fx.Pane.Position, (IPreviewView::TPoint{0, 24})) << "only the width is beyond the pane";
  EXPECT_TRUE(fx.Pane.Hand);
  fx.Pane.Scroll = {10, 0};
  fx.Preview.Image1MouseDown(50, 40);
  fx.Preview.Image1MouseMove(30, 45);
  EXPECT_EQ(fx.Pane.Scroll, (IPreviewView::TPoint{30, -5}));
  fx.Preview.Image1MouseMove(40, 40);
  EXPECT_EQ(fx.Pane.Scroll, (IPreviewView::TPoint{40, -5})) << "each move adds start - position";
  fx.Preview.Image1MouseUp();
  fx.Preview.Image1MouseMove(0, 0);
  EXPECT_EQ(fx.Pane.Scroll, (IPreviewView::TPoint{40, -5}));
}

TEST(PreviewPane, NoDraggingWithoutTheHandCursor) {
  PreviewFixture fx;
  fx.Preview.ShowPreView(fx.WriteGif("small.gif", Gif(50, 20)));
  fx.Preview.Image1MouseDown(5, 5);
  fx.Preview.Image1MouseMove(0, 0);
  EXPECT_FALSE(fx.Preview.Dragging());
  EXPECT_EQ(fx.Pane.Scroll, (IPreviewView::TPoint{0, 0}));
}

TEST(PreviewPane, AMissingOrUnreadableGifLeavesAnEmptyTenByTenPictureAndNoMessage) {
  PreviewFixture fx;
  const auto broken = fx.WriteGif("broken.gif", {'G', 'I', 'F', '8', '9', 'a', 1});
  const auto notGif = fx.WriteGif("text.gif", {'h', 'e', 'l', 'l', 'o'});
  for (const auto& file : {broken, notGif, fx.Root / "missing.gif", fx.Root}) {
    fx.Preview.ShowPreView(fx.WriteGif("wide.gif", Gif(300, 100)));
    fx.Preview.ShowPreView(file);
    EXPECT_EQ(fx.Preview.Image(), nullptr) << file;
    EXPECT_EQ(fx.Pane.Position, (IPreviewView::TPoint{0, 0}));
    EXPECT_EQ(fx.Pane.Size, (IPreviewView::TPoint{10, 10}));
    EXPECT_FALSE(fx.Pane.Hand);
  }
  EXPECT_TRUE(fx.View.Messages.empty());
}

TEST(PreviewPane, AnotherGifStopsThePainterOfTheOneBefore) {
  test::FakeClock clock;  // outlives the painters
  PreviewFixture fx;
  fx.Preview.Clock = &clock;
  fx.Preview.ShowPreView(fx.WriteGif("three.gif", Gif(30, 30, 3)));
  ASSERT_TRUE(clock.WaitForSleep(1));
  ASSERT_EQ(fx.Pane.Target.Count(), 1u);
  fx.Preview.ShowPreView(fx.WriteGif("two.gif", Gif(40, 40, 2)));
  ASSERT_TRUE(fx.Pane.Target.WaitForPictures(2));
  EXPECT_EQ(fx.Pane.Target.Picture(1)->Width(), 40);
  ASSERT_TRUE(clock.WaitForSleep(2));
  clock.Advance(120);
  ASSERT_TRUE(fx.Pane.Target.WaitForPictures(3));
  EXPECT_EQ(fx.Pane.Target.Picture(2)->Width(), 40) << "only the new GIF animates";
  fx.Preview.ShowPreView({});
  EXPECT_FALSE(clock.Sleeping());
}

TEST(PreviewPane, LimitsKeepTheMemoryBounded) {
  PreviewFixture fx;
  fx.Preview.Limits = {100 * 100, 3 * 10 * 10, 1000};
  fx.Preview.ShowPreView(fx.WriteGif("screen.gif", Gif(101, 100)));
  EXPECT_EQ(fx.Preview.Image(), nullptr) << "a screen above the limit is not shown";
  fx.Preview.ShowPreView(fx.WriteGif("many.gif", Gif(10, 10, 5)));
  ASSERT_NE(fx.Preview.Image(), nullptr);
  EXPECT_EQ(fx.Preview.Image()->Frames().size(), 3u) << "the frames within the pixel limit";
  fx.Preview.Limits = {100 * 100, 1000 * 1000, 2};
  fx.Preview.ShowPreView(fx.WriteGif("many.gif", Gif(10, 10, 5)));
  ASSERT_NE(fx.Preview.Image(), nullptr);
  EXPECT_EQ(fx.Preview.Image()->Frames().size(), 2u) << "the frames within the count";
}

// ---- hints, dialogs, help, about ----

TEST(WindowHandlers, HintsShowTheirLongPart) {
  ConverterFixture fx;
  fx.Form->ShowHint("|使用这个模式转换全部文件夹, 包含一级子文件夹.");
  fx.Form->ShowHint("short|long");
  fx.Form->ShowHint("no bar");
  fx.Form->ShowHint("");
  EXPECT_EQ(fx.View.Statuses,
            (std::vector<std::string>{"使用这个模式转换全部文件夹, 包含一级子文件夹.", "long", "no bar", ""}));
}

TEST(WindowHandlers, FolderDialogStartsAtTheOutputFolderAndCancelChangesNothing) {
  ConverterFixture fx;
  fx.View.DialogAnswer.clear();
  fx.Form->btnSelectFolderClick();
  EXPECT_EQ(fx.Form->OutputFolder, fx.OutDir);
  fx.View.DialogAnswer = fx.Root;
  fx.Form->btnSelectFolderClick();
  EXPECT_EQ(fx.Form->OutputFolder, fx.Root);
  EXPECT_EQ(fx.View.DialogStarts, (std::vector<std::filesystem::path>{fx.OutDir, fx.OutDir}));
}

TEST(WindowHandlers, HelpOpensThePageBesideTheProgramOrInTheDataFolder) {
  ConverterFixture fx;
  fx.Form->TBItem1Click();
  ASSERT_EQ(fx.View.Messages.size(), 1u) << "a missing help page is reported";
  EXPECT_EQ(fx.View.Messages[0].Kind, IMainView::MessageKind::Error);
  EXPECT_TRUE(fx.View.Opened.empty());

  // The page is opened in the browser as the movies' pages are, in the
  // window's language; the English one stands in for a missing Chinese one.
  const auto shared = fx.Root / "share" / "movara" / "Movara.html";
  std::filesystem::create_directories(shared.parent_path());
  WriteFileBytes(shared, {'<'});
  fx.Form->TBItem1Click();
  WriteFileBytes(fx.ProgramDir / "Movara.html", {'<'});
  fx.Form->TBItem1Click();
  fx.View.Shown = TLanguage::Chinese;
  fx.Form->TBItem1Click();
  WriteFileBytes(fx.Root / "share" / "movara" / "Movara-zh.html", {'<'});
  fx.Form->TBItem1Click();
  EXPECT_EQ(fx.View.OpenedUrls, (std::vector<std::string>{"file://" + shared.string(),
                                                          "file://" + (fx.ProgramDir / "Movara.html").string(),
                                                          "file://" + (fx.ProgramDir / "Movara.html").string(),
                                                          "file://" + shared.parent_path().string() + "/Movara-zh.html"}));
  fx.View.UrlOpens = false;
  fx.Form->TBItem1Click();
  EXPECT_EQ(fx.View.Messages.back().Text.rfind("No browser could be started to show the help page ", 0), 0u);
  fx.Form->About1Click();
  EXPECT_EQ(fx.View.AboutBoxes, 1);
}

TEST(WindowHandlers, AStartDuringARunIsIgnored) {
  ConverterFixture fx;
  const auto in = fx.Root / "in";
  fx.WriteGif("a.gif", Gif(4, 4), in);
  fx.WriteGif("b.gif", Gif(4, 4), in);
  fx.View.Single = false;
  fx.View.Folder = in;
  fx.View.OnProcess = [&] { fx.Form->btnStartClick(); };
  fx.Form->btnStartClick();
  EXPECT_EQ(fx.View.Messages.size(), 1u);
  EXPECT_EQ(fx.View.Messages.back().Text, "2 files of 2 have been successfully converted.");
  EXPECT_FALSE(fx.Form->Running());
}

// Two GIFs to convert in folder mode, and a third that cannot be read.
struct FolderRunFixture : ConverterFixture {
  std::filesystem::path In = Root / "in";
  FolderRunFixture() {
    WriteGif("a.gif", Gif(4, 4), In);
    WriteGif("b.gif", Gif(4, 4), In);
    WriteGif("c.gif", {'G', 'I', 'F', '8', '7', 'a', 1}, In);
    View.Single = false;
    View.Folder = In;
  }
  // Starts the run with the list showing the folder's files.
  void Start() {
    View.List.clear();
    for (const auto& gif : GifFilesIn(In)) View.List.push_back({gif, false});
    Form->btnStartClick();
  }
};

TEST(WindowHandlers, AFolderRunKeepsTheChoicesItStartedWithAndDisablesThemMeanwhile) {
  FolderRunFixture fx;
  fx.View.OnProcess = [&] {
    fx.View.Single = true;  // the user clicks the other mode
    fx.View.Url = "http://example.org/";
    fx.Form->btnSelectFolderClick(fx.Root / "elsewhere");
  };
  fx.Start();
  ASSERT_EQ(fx.View.Messages.size(), 1u) << "no box per file";
  EXPECT_EQ(fx.View.Messages.back().Text.rfind("2 files of 3 have been successfully converted.", 0), 0u);
  EXPECT_TRUE(std::filesystem::exists(fx.OutDir / "b.swf"));
  EXPECT_EQ(fx.Form->OutputFolder, fx.OutDir);
  EXPECT_TRUE(fx.View.Opened.empty()) << "no test page is opened";
  EXPECT_EQ(fx.View.Running, (std::vector<std::pair<bool, bool>>{{true, true}, {false, true}}));
}

TEST(WindowHandlers, TheFileTypeBoxDecidesWhetherAFolderRunTakesPngAndWebPFiles) {
  const std::filesystem::path anim = std::filesystem::path(MOVARA_TEST_DATA_DIR) / "anim";
  for (const bool pngAndWebP : {false, true}) {
    FolderRunFixture fx;
    std::filesystem::copy_file(anim / "ops.png", fx.In / "ops.png");
    std::filesystem::copy_file(anim / "anim.webp", fx.In / "anim.WebP");
    fx.View.Movie.PngAndWebP = pngAndWebP;
    fx.Start();
    ASSERT_EQ(fx.View.Messages.size(), 1u);
    EXPECT_EQ(fx.View.Messages.back().Text.rfind(pngAndWebP ? "4 files of 5" : "2 files of 3", 0), 0u)
        << fx.View.Messages.back().Text;
    EXPECT_EQ(std::filesystem::exists(fx.OutDir / "ops.swf"), pngAndWebP);
    EXPECT_EQ(std::filesystem::exists(fx.OutDir / "anim.swf"), pngAndWebP);
  }
}

TEST(WindowHandlers, StopEndsAFolderRunBetweenFiles) {
  FolderRunFixture fx;
  fx.View.OnProcess = [&] { fx.Form->btnStopClick(); };
  fx.Start();
  ASSERT_EQ(fx.View.Messages.size(), 1u);
  EXPECT_EQ(fx.View.Messages.back().Text, std::string(msg::kAborted) + " 1 file converted, 0 failed, 2 not reached.");
  EXPECT_EQ(fx.View.Statuses.at(1), "Stopping: the run ends once a.gif is converted...");
  EXPECT_TRUE(std::filesystem::exists(fx.OutDir / "a.swf"));
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "b.swf"));
}

TEST(WindowHandlers, AFolderRunSummaryNamesTheFilesThatFailedAndWhy) {
  FolderRunFixture fx;
  const Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (int i = 0; i < 11; ++i) fx.WriteGif("z" + std::to_string(i) + ".gif", png, fx.In);
  fx.Start();
  ASSERT_EQ(fx.View.Messages.size(), 1u);
  const std::string& text = fx.View.Messages.back().Text;
  EXPECT_EQ(text.rfind("2 files of 14 have been successfully converted.\n\nNot converted:\n"
                       "c.gif: Reason: the data ends early\n"
                       "z0.gif: Reason: not an animated PNG: the data ends early\n",
                       0),
            0u)
      << text;
  EXPECT_NE(text.find("\nz7.gif: Reason:"), std::string::npos) << "ten named";
  EXPECT_EQ(text.find("z8.gif"), std::string::npos);
  EXPECT_NE(text.find("\n... and 2 more."), std::string::npos) << text;
}

TEST(WindowHandlers, ClosingDuringARunStopsItWithoutTheAbortBox) {
  FolderRunFixture fx;
  bool mayClose = true;
  fx.View.OnProcess = [&] { mayClose = mayClose && fx.Form->FormCloseQuery(); };
  fx.Start();
  EXPECT_FALSE(mayClose) << "not during the run";
  EXPECT_TRUE(fx.Form->ClosePending());
  EXPECT_TRUE(fx.View.Messages.empty());
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "b.swf"));
  EXPECT_TRUE(fx.Form->FormCloseQuery()) << "after it";
}

TEST(WindowHandlers, ThePositionPaneDescribesTheListAsItIs) {
  ListFixture fx;
  fx.Select(5);
  EXPECT_EQ(fx.View.PositionText, "File: 6/12");
  fx.View.List.erase(fx.View.List.begin() + 5);  // the selected file was deleted
  fx.Form->ListChanged();
  EXPECT_EQ(fx.View.PositionText, "File: 0/11");
  fx.View.List[1].Selected = true;
  fx.Form->ListChanged();
  EXPECT_EQ(fx.View.PositionText, "File: 2/11");
  fx.View.List.clear();  // a folder without GIFs
  fx.View.Folder = fx.Root / "none";
  fx.Form->ListChanged();
  EXPECT_EQ(fx.View.PositionText, "File: 0/0");
}

TEST(WindowHandlers, TheOutputFolderDefaultsToPicturesThenHome) {
  ConverterFixture fx;
  EXPECT_EQ(fx.Form->DefaultOutputFolder(), fx.View.Pictures);
  fx.View.Pictures = fx.Root / "no pictures";
  const char* home = std::getenv("HOME");
  ASSERT_NE(home, nullptr);
  EXPECT_EQ(fx.Form->DefaultOutputFolder(), std::filesystem::path(home));
}

TEST(WindowHandlers, TheMovieCheckBoxesChooseWhatIsWritten) {
  ConverterFixture fx;
  const auto gif = fx.WriteGif("m.gif", Gif(8, 8));
  fx.View.Movie = {false, true, false, {}};
  ASSERT_EQ(fx.Convert(gif), crOk);
  EXPECT_EQ(ReadFileBytes(fx.MovieOf(gif)).at(0), 'C') << "a compressed movie";
  WriteFileBytes(fx.MovieOf(gif), {'o', 'l', 'd'});
  fx.View.Movie = {false, false, true, {}};
  fx.View.Messages.clear();
  ASSERT_EQ(fx.Convert(gif), crOk);
  EXPECT_EQ(ReadFileBytes(fx.MovieOf(gif)), (Bytes{'o', 'l', 'd'})) << "kept without asking";
  ASSERT_EQ(fx.View.Messages.size(), 1u);
  EXPECT_EQ(fx.View.Messages[0].Text, "The file m.swf already exists and has been kept.");

  // The clock: 30 frames per second, and the GIF's loop count (it has none:
  // one pass, then the last frame's action stops the movie).
  const auto timed = fx.WriteGif("t.gif", Gif(8, 8));
  fx.View.Movie = {false, false, false, {30, true}};
  ASSERT_EQ(fx.Convert(timed), crOk);
  const swf::TSWFFile movie = swf::ReadSWFFile(ReadFileBytes(fx.MovieOf(timed)));
  EXPECT_EQ(movie.Header.FrameRate, 30 * 256);
  EXPECT_EQ(movie.Header.FrameCount, 3) << "0.1 s at 30 fps";
  EXPECT_TRUE(std::any_of(movie.Tags.begin(), movie.Tags.end(),
                          [](const auto& tag) { return tag->TagCode == swf::tagDoAction; }));
}

TEST(WindowHandlers, TheModeUrlAndCheckBoxesAreStoredWithTheSettings) {
  ConverterFixture fx;
  fx.View.Single = false;
  fx.View.Url = "http://example.org/";
  fx.View.Movie = {true, false, true, {60, true}};
  fx.Form->writeini();
  fx.View.Single = true;
  fx.View.Url = "http://";
  fx.View.Movie = {};
  fx.Form->readini();
  EXPECT_FALSE(fx.View.Single);
  EXPECT_EQ(fx.View.Url, "http://example.org/");
  EXPECT_TRUE(fx.View.Movie.Compact);
  EXPECT_FALSE(fx.View.Movie.Compress);
  EXPECT_TRUE(fx.View.Movie.KeepExisting);
  EXPECT_EQ(fx.View.Movie.Timing.FramesPerSecond, 60u);
  EXPECT_TRUE(fx.View.Movie.Timing.GifLoop);
  // A stored rate out of range keeps the one shown.
  fx.Settings.WriteInteger("FramesPerSecond", 500);
  fx.Form->readini();
  EXPECT_EQ(fx.View.Movie.Timing.FramesPerSecond, 60u);
}

TEST(WindowHandlers, DroppedGifsAreConvertedWithOneBoxForSeveralAndADroppedFolderIsSelected) {
  ConverterFixture fx;
  fx.GivePlayer();
  const auto one = fx.WriteGif("one.gif", Gif(4, 4), fx.Root / "in");
  const auto two = fx.WriteGif("two.gif", Gif(4, 4), fx.Root / "in");
  const auto bad = fx.WriteGif("bad.gif", {'G', 'I', 'F'}, fx.Root / "in");
  const auto text = fx.WriteGif("notes.txt", {'x'}, fx.Root / "in");
  fx.Form->FilesDropped({one, two, bad, text, fx.Root / "in", fx.Root / "gone.gif"});
  EXPECT_EQ(fx.View.Folder, fx.Root / "in");
  ASSERT_EQ(fx.View.Messages.size(), 1u);
  // The files that are not converted are named, those that are no GIF too.
  EXPECT_EQ(fx.View.Messages[0].Text,
            "2 files of 5 have been successfully converted.\n\nNot converted:\n"
            "notes.txt: Reason: only GIF, PNG and WebP files are converted\n"
            "gone.gif: Reason: the file does not exist\n"
            "bad.gif: Reason: not a GIF file: invalid signature");
  EXPECT_TRUE(fx.View.OpenedUrls.empty()) << "no page for several";
  EXPECT_TRUE(std::filesystem::exists(fx.OutDir / "two.swf"));

  // One GIF asks, as Start does, before its movie is replaced.
  fx.View.Messages.clear();
  fx.Form->FilesDropped({one});
  ASSERT_EQ(fx.View.Messages.size(), 2u);
  EXPECT_EQ(fx.View.Messages[0].Text, "The file one.swf already exists. Do you want to overwrite it?");
  EXPECT_EQ(fx.View.Messages[1].Text.rfind("The file one.swf has been successfully created.\n\n", 0), 0u);
  EXPECT_EQ(fx.View.OpenedUrls.size(), 1u) << "one file opens its test page";
  EXPECT_EQ(fx.View.Running.back(), (std::pair<bool, bool>{false, false}));

  // A file that is no GIF alone is said.
  fx.View.Messages.clear();
  fx.Form->FilesDropped({text});
  ASSERT_EQ(fx.View.Messages.size(), 1u);
  EXPECT_EQ(fx.View.Messages[0].Text,
            "No files have been converted.\n\nNot converted:\nnotes.txt: Reason: only GIF, PNG and WebP files are converted");
}

// Several dropped GIFs whose movies exist ask once: Yes replaces them, No
// keeps them and converts the others; kept anyway, nothing is asked.
TEST(WindowHandlers, DroppedGifsAskOnceAboutReplacing) {
  ConverterFixture fx;
  std::vector<std::filesystem::path> gifs;
  for (const char* name : {"a.gif", "b.gif", "c.gif"}) gifs.push_back(fx.WriteGif(name, Gif(4, 4), fx.Root / "in"));
  const auto old = [&] {
    for (const char* name : {"a.swf", "b.swf"}) WriteFileBytes(fx.OutDir / name, {'o', 'l', 'd'});
    std::filesystem::remove(fx.OutDir / "c.swf");
  };
  const auto kept = [&](const char* name) { return ReadFileBytes(fx.OutDir / name) == Bytes{'o', 'l', 'd'}; };
  old();
  fx.View.AnswerYes = false;
  fx.Form->FilesDropped(gifs);
  ASSERT_EQ(fx.View.Messages.size(), 2u);
  EXPECT_EQ(fx.View.Messages[0].Text,
            "2 of the movies already exist:\na.swf\nb.swf\n\nDo you want to replace them? (No keeps them and converts the "
            "others.)");
  EXPECT_EQ(fx.View.Messages[1].Text,
            "3 files of 3 have been successfully converted. 2 movies that existed have been kept.");
  EXPECT_TRUE(kept("a.swf") && kept("b.swf") && std::filesystem::exists(fx.OutDir / "c.swf"));

  old();
  fx.View.Messages.clear();
  fx.View.AnswerYes = true;
  fx.Form->FilesDropped(gifs);
  ASSERT_EQ(fx.View.Messages.size(), 2u) << "asked once, not per file";
  EXPECT_FALSE(kept("a.swf") || kept("b.swf"));

  old();
  fx.View.Messages.clear();
  fx.View.Movie.KeepExisting = true;
  fx.Form->FilesDropped(gifs);
  ASSERT_EQ(fx.View.Messages.size(), 1u) << "kept without asking";
  EXPECT_TRUE(kept("a.swf") && kept("b.swf"));
}

// A link naming a site without its scheme is asked about before the run:
// https:// before it (the box takes it too), as typed, or no run.
TEST(WindowHandlers, AUrlWithoutItsSchemeIsAskedAbout) {
  ConverterFixture fx;
  const auto gif = fx.WriteGif("link.gif", Gif(4, 4));
  const auto convert = [&](const std::string& url, IMainView::UrlAnswer answer) {
    fx.View.Url = url;
    fx.View.UrlReply = answer;
    fx.View.Selected = {gif};
    std::filesystem::remove(fx.MovieOf(gif));
    fx.Form->btnStartClick();
    if (!std::filesystem::exists(fx.MovieOf(gif))) return std::string("no movie");
    const Bytes movie = ReadFileBytes(fx.MovieOf(gif));
    const std::string text(movie.begin(), movie.end());
    return text.find("https://www.example.com") != std::string::npos ? std::string("https")
           : text.find("www.example.com") != std::string::npos     ? std::string("as typed")
                                                                    : std::string("no link");
  };
  EXPECT_EQ(convert("www.example.com", IMainView::UrlAnswer::Cancel), "no movie");
  EXPECT_EQ(fx.View.UrlQuestions.back(), (std::pair<std::string, std::string>{"www.example.com", "https://www.example.com"}));
  EXPECT_EQ(convert("www.example.com", IMainView::UrlAnswer::KeepAsTyped), "as typed");
  EXPECT_EQ(fx.View.Url, "www.example.com");
  EXPECT_EQ(convert("www.example.com", IMainView::UrlAnswer::UseSuggestion), "https");
  EXPECT_EQ(fx.View.Url, "https://www.example.com") << "the box shows what the movie opens";
  fx.View.UrlQuestions.clear();
  EXPECT_EQ(convert("https://www.example.com", IMainView::UrlAnswer::Cancel), "https");
  EXPECT_EQ(convert("http://", IMainView::UrlAnswer::Cancel), "no link");
  EXPECT_TRUE(fx.View.UrlQuestions.empty()) << "nothing to ask";
}

// The language follows the locale until one is chosen; the choice is kept.
TEST(WindowHandlers, TheLanguageChosenIsKeptWithTheSettings) {
  ConverterFixture fx;
  fx.View.Shown = TLanguage::Chinese;  // the locale's
  fx.Form->readini();
  fx.Form->writeini();
  EXPECT_EQ(fx.View.Shown, TLanguage::Chinese);
  EXPECT_EQ(fx.Settings.Values.count("Language"), 0u) << "nothing chosen, nothing stored";
  fx.Form->LanguageClick(TLanguage::English);
  EXPECT_EQ(fx.View.Shown, TLanguage::English);
  fx.Form->writeini();
  EXPECT_EQ(std::get<std::string>(fx.Settings.Values["Language"]), "en");

  ConverterFixture next;
  next.Settings.Values = fx.Settings.Values;
  next.View.Shown = TLanguage::Chinese;
  next.Form->readini();
  EXPECT_EQ(next.View.Shown, TLanguage::English);
  next.Settings.Values["Language"] = std::string("tlh");
  next.View.Shown = TLanguage::Chinese;
  next.Form->readini();
  EXPECT_EQ(next.View.Shown, TLanguage::Chinese) << "an unknown language is passed over";
}

// Dropped together, two GIFs of one movie name are planned as one run: the
// second is refused instead of replacing the first's movie.
TEST(WindowHandlers, TwoDroppedGifsOfOneMovieAreToldApart) {
  ConverterFixture fx;
  const auto a = fx.WriteGif("same.gif", Gif(4, 4), fx.Root / "a");
  const auto b = fx.WriteGif("same.gif", Gif(4, 4), fx.Root / "b");
  fx.Form->FilesDropped({a, b});
  ASSERT_EQ(fx.View.Messages.size(), 1u);
  EXPECT_EQ(fx.View.Messages[0].Text.rfind("1 file of 2 has been successfully converted.", 0), 0u) << fx.View.Messages[0].Text;
  EXPECT_NE(fx.View.Messages[0].Text.find("collision"), std::string::npos) << fx.View.Messages[0].Text;
}

TEST(WindowHandlers, OpenFolderOpensTheOutputFolderOrSaysItIsGone) {
  ConverterFixture fx;
  fx.Form->btnOpenFolderClick();
  EXPECT_EQ(fx.View.Opened, std::vector<std::filesystem::path>{fx.OutDir});
  fx.Form->OutputFolder = fx.Root / "gone";
  fx.Form->btnOpenFolderClick();
  EXPECT_EQ(fx.View.Opened.size(), 1u);
  EXPECT_EQ(fx.View.Statuses.back(), "The output folder " + (fx.Root / "gone").string() + " does not exist.");
}

class FakeAboutView final : public IAboutView {
 public:
  std::vector<std::string> Opened;
  int Closed = 0;
  void OpenAddress(const std::string& url) override { Opened.push_back(url); }
  void CloseBox() override { ++Closed; }
};

TEST(AboutBox, LinksOpenTheAddressesAndTheButtonOrEscapeCloses) {
  FakeAboutView view;
  TfrmAbout box(view);
  box.L19Click();
  box.L2Click();
  EXPECT_EQ(view.Opened, (std::vector<std::string>{about::kHomePage, std::string("mailto:") + about::kSupportAddress}));
  box.FormKeyDown('A');
  EXPECT_EQ(view.Closed, 0);
  box.FormKeyDown(27);
  box.B1Click();
  EXPECT_EQ(view.Closed, 2);
}

}  // namespace
}  // namespace movara::form
