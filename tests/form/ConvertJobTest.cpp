#include <gtest/gtest.h>

#include <cstdlib>

#include "FormTestSupport.h"
#include "convert/Convert.h"
#include "convert/FrameComposer.h"
#include "play/PlayerFiles.h"
#include "swf/core/ActionList.h"
#include "swf/core/ButtonTags.h"
#include "swf/core/ControlTags.h"

namespace movara::form {
namespace {

using namespace convert;
using namespace run;
using namespace play;

using test::Bytes;
using test::ConverterFixture;
using test::FrameSpec;
using test::GifBuilder;

using test::MakeFrame;

std::vector<std::uint8_t> Fill(int w, int h, std::uint8_t index) { return std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h, index); }

std::vector<std::uint8_t> Checker(int w, int h, std::uint8_t a, std::uint8_t b) {
  std::vector<std::uint8_t> p(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p[static_cast<std::size_t>(y) * w + x] = (x + y) % 2 ? a : b;
  return p;
}

// A sprite of index 2 with a transparent (3) border.
std::vector<std::uint8_t> Sprite(int size) {
  std::vector<std::uint8_t> p(static_cast<std::size_t>(size) * size, 3);
  for (int y = 1; y + 1 < size; ++y)
    for (int x = 1; x + 1 < size; ++x) p[static_cast<std::size_t>(y) * size + x] = 2;
  return p;
}

const std::vector<test::Rgb> kColors = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00};

std::vector<std::uint16_t> Codes(const swf::TSWFFile& file) {
  std::vector<std::uint16_t> codes;
  for (const auto& t : file.Tags) codes.push_back(t->TagCode);
  return codes;
}

// Widths of the bitmaps of a movie, to tell the modes apart: full-frame
// pictures have the screen's width.
std::vector<int> BitmapWidths(const swf::TSWFFile& file) {
  std::vector<int> widths;
  for (const auto& t : file.Tags) {
    if (const auto* b = dynamic_cast<const swf::TSWFDefineBitsLossless*>(t.get())) widths.push_back(b->Width);
  }
  return widths;
}

// Converts a GIF and checks that the movie shows what the GIF shows.
struct Converted {
  swf::TSWFFile File;
  test::PlayedMovie Played;
};

Converted ConvertAndCompare(ConverterFixture& fx, const Bytes& gif, const std::string& name = "anim.gif") {
  const auto path = fx.WriteGif(name, gif);
  EXPECT_EQ(fx.Convert(path), crOk);
  Converted c;
  const Bytes movie = ReadFileBytes(fx.MovieOf(path));
  c.File = swf::ReadSWFFile(movie);
  c.Played = test::PlayMovie(movie);
  EXPECT_TRUE(test::SamePictures(c.Played.Frames, test::GifPictures(gif)));
  return c;
}

TEST(ConvertJob, WorkedExampleTwoOpaqueFrames) {
  ConverterFixture fx;
  const Bytes gif = GifBuilder().Header(10, 10, {0xFF0000, 0x0000FF}).Gce(0, 10).Frame(MakeFrame(0, 0, 10, 10, Fill(10, 10, 0)))
                        .Gce(0, 20).Frame(MakeFrame(0, 0, 10, 10, Fill(10, 10, 1))).Trailer().Build();
  const Converted c = ConvertAndCompare(fx, gif);
  EXPECT_EQ(std::string(c.File.Header.Signature, 3), "FWS");
  EXPECT_EQ(c.File.Header.Version, 6);
  EXPECT_EQ(c.File.Header.FrameRect, (swf::TRectangle{0, 0, 200, 200}));
  EXPECT_EQ(c.File.Header.FrameRate, 0x1800);
  EXPECT_EQ(c.File.Header.FrameCount, 7);
  using namespace swf;
  EXPECT_EQ(Codes(c.File), (std::vector<std::uint16_t>{tagDefineBitsLossless, tagDefineShape2, tagPlaceObject2, tagShowFrame,
                                                       tagShowFrame, tagDefineBitsLossless2, tagDefineShape2, tagPlaceObject2,
                                                       tagShowFrame, tagShowFrame, tagShowFrame, tagShowFrame, tagShowFrame,
                                                       tagEnd}));
  const auto& first = dynamic_cast<const TSWFDefineBitsLossless&>(*c.File.Tags[0]);
  EXPECT_EQ(first.CharacterId, 1);
  const auto pixels0 = ZlibDecompress(first.DataBytes(), 1000);
  EXPECT_EQ(Bytes(pixels0.begin(), pixels0.begin() + 4), (Bytes{0xFF, 0xFF, 0x00, 0x00}));
  const auto& second = dynamic_cast<const TSWFDefineBitsLossless2&>(*c.File.Tags[5]);
  EXPECT_EQ(second.CharacterId, 3);
  const auto pixels1 = ZlibDecompress(second.DataBytes(), 1000);
  for (std::size_t i = 0; i < pixels1.size(); i += 4) ASSERT_EQ(Bytes(pixels1.begin() + i, pixels1.begin() + i + 4), (Bytes{0xFF, 0, 0, 0xFF}));
  EXPECT_EQ(dynamic_cast<const TSWFPlaceObject2&>(*c.File.Tags[2]).Depth, 0);
  EXPECT_EQ(dynamic_cast<const TSWFPlaceObject2&>(*c.File.Tags[7]).Depth, 2);
  // Frame 0 stays on the display list under frame 1.
  const auto codes = Codes(c.File);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), tagRemoveObject), 0);
  // The test page is written beside the movie; playing it needs the
  // player's files, which this program folder lacks (PlayInWindowTest).
  ASSERT_EQ(fx.View.Messages.size(), 2u);
  EXPECT_EQ(fx.View.Messages[0].Text, "The file anim.swf has been successfully created.");
  EXPECT_EQ(fx.View.Messages[1].Text, PlayerMissingMessage(fx.ProgramDir));
  EXPECT_TRUE(std::filesystem::is_regular_file(fx.OutDir / "anim.html"));
  EXPECT_TRUE(fx.View.OpenedUrls.empty());
}

TEST(ConvertJob, FrameLengthsFromTheGifClock) {
  ConverterFixture fx;
  GifBuilder b;
  b.Header(2, 1, kColors);
  const int delays[] = {0, 1, 2, 6, 10, 14, 100};
  for (int i = 0; i < 7; ++i) b.Gce(1, delays[i]).Frame(MakeFrame(0, 0, 2, 1, {static_cast<std::uint8_t>(i % 4), static_cast<std::uint8_t>((i + 1) % 4)}));
  b.Frame(MakeFrame(0, 0, 2, 1, {1, 1}));  // no control extension: 10/24 s
  const auto path = fx.WriteGif("clock.gif", b.Trailer().Build());
  ASSERT_EQ(fx.Convert(path), crOk);
  const swf::TSWFFile file = swf::ReadSWFFile(ReadFileBytes(fx.MovieOf(path)));
  std::vector<int> runs;
  for (const auto& t : file.Tags) {
    if (t->TagCode == swf::tagPlaceObject2) runs.push_back(0);
    if (t->TagCode == swf::tagShowFrame) ++runs.back();
  }
  // Starts at 0, 2.4, 4.8, 5.28, 6.72, 9.12, 12.48 and 36.48 movie frames
  // (0 and 1 count as 10), rounded; the delay-2 frame joins the next one.
  EXPECT_EQ(runs, (std::vector<int>{2, 3, 0, 2, 2, 3, 24, 10}));
  EXPECT_EQ(file.Header.FrameCount, 46);
}

TEST(ConvertJob, UrlBoxRules) {
  const Bytes gif = GifBuilder().Header(4, 3, kColors).Frame(MakeFrame(0, 0, 4, 3, Fill(4, 3, 1))).Trailer().Build();
  const auto buttons = [&](const std::string& url, bool enabled) {
    ConverterFixture fx;
    fx.View.Url = url;
    fx.View.UrlOn = enabled;
    const auto path = fx.WriteGif("u.gif", gif);
    EXPECT_EQ(fx.Convert(path), crOk);
    const swf::TSWFFile file = swf::ReadSWFFile(ReadFileBytes(fx.MovieOf(path)));
    std::vector<std::string> urls;
    for (const auto& t : file.Tags) {
      if (const auto* b = dynamic_cast<const swf::TSWFDefineButton2*>(t.get())) {
        EXPECT_EQ(b->Records.size(), 3u);
        EXPECT_EQ(b->Actions[0]->Conditions, swf::bcOverDownToOverUp);
        const auto& get = dynamic_cast<const swf::TSWFActionGetUrl&>(b->Actions[0]->Actions[0]);
        EXPECT_EQ(get.Target, "_blank");
        urls.push_back(get.URL);
      }
      if (const auto* p = dynamic_cast<const swf::TSWFPlaceObject2*>(t.get())) {
        if (p->CharacterId == 1) {
          EXPECT_EQ(p->Depth, 2) << "the button sits at 2 x the frame count";
        }
      }
    }
    return urls;
  };
  EXPECT_TRUE(buttons("http://", true).empty());
  EXPECT_TRUE(buttons("", true).empty());
  EXPECT_TRUE(buttons("http://example.com/", false).empty());
  EXPECT_EQ(buttons(" http://", true), (std::vector<std::string>{" http://"}));
  EXPECT_EQ(buttons("http://example.com/a?b=1", true), (std::vector<std::string>{"http://example.com/a?b=1"}));
}

TEST(ConvertJob, SingleOpaqueFrameIsOneOpaqueBitmap) {
  ConverterFixture fx;
  const Converted c = ConvertAndCompare(fx, GifBuilder().Header(3, 2, kColors).Frame(MakeFrame(0, 0, 3, 2, Checker(3, 2, 0, 1))).Trailer().Build());
  using namespace swf;
  EXPECT_EQ(Codes(c.File), (std::vector<std::uint16_t>{tagDefineBitsLossless, tagDefineShape2, tagPlaceObject2, tagShowFrame,
                                                       tagShowFrame, tagShowFrame, tagShowFrame, tagShowFrame, tagShowFrame,
                                                       tagShowFrame, tagShowFrame, tagShowFrame, tagShowFrame, tagEnd}));
}

TEST(ConvertJob, EmptyFramesProduceNothing) {
  ConverterFixture fx;
  // The zero-sized frame takes the screen size; the trailing comment makes
  // an empty frame.
  const Converted c = ConvertAndCompare(fx, GifBuilder().Header(3, 2, kColors).Gce(1, 8).Frame(MakeFrame(0, 0, 3, 2, Fill(3, 2, 1)))
                                                .Gce(1, 8).Frame(MakeFrame(1, 0, 1, 1, {2})).Comment("end").Trailer().Build());
  EXPECT_EQ(c.File.Header.FrameCount, 4);
}

TEST(ConvertJob, DisposalTwoSpriteOverOpaqueBackgroundLeavesNoTrail) {
  // The first frame is opaque, so disposal 2 chooses full-frame mode.
  ConverterFixture fx;
  GifBuilder b;
  b.Header(12, 6, kColors).Gce(1, 10).Frame(MakeFrame(0, 0, 12, 6, Checker(12, 6, 0, 1)));
  for (int i = 0; i < 4; ++i) b.Gce(2, 10, 3).Frame(MakeFrame(i * 2, 1, 4, 4, Sprite(4)));
  const Converted full = ConvertAndCompare(fx, b.Trailer().Build());
  for (int w : BitmapWidths(full.File)) EXPECT_EQ(w, 12);

  // Ending on a disposal-1 frame asks for layers, which cannot clear part of
  // the background: full frames again, and still no trail.
  ConverterFixture fx2;
  b.Gce(1, 10).Frame(MakeFrame(0, 0, 2, 2, {2, 2, 2, 2}));
  const Converted again = ConvertAndCompare(fx2, b.Trailer().Build());
  for (int w : BitmapWidths(again.File)) EXPECT_EQ(w, 12);
}

TEST(ConvertJob, DisposalTwoSpritesOnATransparentScreenAreLayers) {
  ConverterFixture fx;
  GifBuilder b;
  b.Header(12, 4, kColors);
  for (int i = 0; i < 4; ++i) b.Gce(i == 3 ? 1 : 2, 10, 3).Frame(MakeFrame(i * 2, 0, 4, 4, Sprite(4)));
  const Converted c = ConvertAndCompare(fx, b.Trailer().Build());
  for (int w : BitmapWidths(c.File)) EXPECT_LE(w, 4);
  // Each disposal-2 sprite removes itself (and only itself).
  const auto codes = Codes(c.File);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), swf::tagRemoveObject), 3);
}

TEST(ConvertJob, DisposalThreeRestoresThePictureBefore) {
  GifBuilder b;
  b.Header(8, 4, kColors).Gce(1, 10).Frame(MakeFrame(0, 0, 8, 4, Checker(8, 4, 0, 1)));
  b.Gce(3, 10, 3).Frame(MakeFrame(1, 0, 4, 4, Sprite(4))).Gce(3, 10, 3).Frame(MakeFrame(4, 0, 4, 4, Sprite(4)));
  b.Gce(1, 10).Frame(MakeFrame(0, 0, 1, 1, {2}));
  ConverterFixture layered;
  ConvertAndCompare(layered, b.Trailer().Build());
  // Twelve frames over one pixel: full-frame mode.
  GifBuilder many;
  many.Header(8, 4, kColors).Gce(0, 10).Frame(MakeFrame(0, 0, 8, 4, Checker(8, 4, 0, 1)));
  for (int i = 0; i < 12; ++i) many.Gce(3, 10, 3).Frame(MakeFrame(i % 2, 0, 4, 4, Sprite(4)));
  ConverterFixture full;
  const Converted c = ConvertAndCompare(full, many.Trailer().Build());
  for (int w : BitmapWidths(c.File)) EXPECT_EQ(w, 8);
}

TEST(ConvertJob, ModeDecisionsForDeepFrames) {
  GifBuilder b;
  b.Header(6, 6, kColors);
  for (int i = 0; i < 12; ++i) b.Gce(0, 10, 3).Frame(MakeFrame(0, 0, 6, 6, Checker(6, 6, static_cast<std::uint8_t>(i % 3), 3)));
  ConverterFixture deep;
  for (int w : BitmapWidths(ConvertAndCompare(deep, b.Trailer().Build()).File)) EXPECT_EQ(w, 6);
  // One disposal-1 frame switches back to layers (trimmed where possible).
  GifBuilder d;
  d.Header(6, 6, kColors);
  for (int i = 0; i < 12; ++i) d.Gce(i == 5 ? 1 : 0, 10, 3).Frame(MakeFrame(0, 0, 6, 6, Checker(6, 6, static_cast<std::uint8_t>(i % 3), 3)));
  ConverterFixture layered;
  const Converted c = ConvertAndCompare(layered, d.Trailer().Build());
  EXPECT_EQ(c.File.Header.FrameCount, 29) << "12 delays of 10 hundredths: 28.8 movie frames";
}

TEST(ConvertJob, LateDisposalOneRemovesNothing) {
  ConverterFixture fx;
  GifBuilder b;
  b.Header(6, 2, kColors).Gce(0, 10, 3).Frame(MakeFrame(0, 0, 2, 2, {2, 2, 2, 2})).Gce(0, 10, 3).Frame(MakeFrame(2, 0, 2, 2, {1, 1, 1, 1}))
      .Gce(1, 10, 3).Frame(MakeFrame(4, 0, 2, 2, {0, 0, 0, 0}));
  const Converted c = ConvertAndCompare(fx, b.Trailer().Build());
  const auto codes = Codes(c.File);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), swf::tagRemoveObject), 0);
}

TEST(ConvertJob, LayerPlanRemovesWhatADisposalClears) {
  const auto plan = [](const Bytes& bytes) {
    imaging::TGIFImage gif;
    TMemoryViewStream stream(bytes);
    gif.LoadFromStream(stream);
    return PlanLayers(gif);
  };
  // A disposal-2 frame takes itself away and the earlier layer it covers
  // wholly; the layer it does not touch stays.
  GifBuilder b;
  b.Header(8, 4, kColors).Gce(1, 10, 3).Frame(MakeFrame(6, 0, 2, 2, Fill(2, 2, 1))).Gce(1, 10, 3).Frame(MakeFrame(1, 1, 2, 2, Fill(2, 2, 0)))
      .Gce(2, 10, 3).Frame(MakeFrame(0, 0, 4, 4, Sprite(4))).Gce(3, 10, 3).Frame(MakeFrame(0, 0, 1, 1, {2}))
      .Gce(1, 10, 3).Frame(MakeFrame(1, 0, 1, 1, {2}));
  const TLayerPlan whole = plan(b.Trailer().Build());
  EXPECT_TRUE(whole.Exact);
  const std::vector<std::vector<std::size_t>> expected = {{}, {}, {}, {2, 1}, {3}};
  EXPECT_EQ(whole.Removals, expected);
  // Clearing part of a layer cannot be shown with layers.
  GifBuilder p;
  p.Header(8, 4, kColors).Gce(1, 10, 3).Frame(MakeFrame(0, 0, 6, 4, Fill(6, 4, 1)))
      .Gce(2, 10, 3).Frame(MakeFrame(4, 0, 4, 4, Fill(4, 4, 2))).Gce(1, 10, 3).Frame(MakeFrame(0, 0, 1, 1, {2}));
  EXPECT_FALSE(plan(p.Trailer().Build()).Exact);
}

TEST(ConvertJob, PartlyOverlappingDisposalTwoSwitchesToFullFrames) {
  ConverterFixture fx;
  GifBuilder b;
  b.Header(8, 4, kColors).Gce(1, 10, 3).Frame(MakeFrame(0, 0, 6, 4, Checker(6, 4, 0, 1)))
      .Gce(2, 10, 3).Frame(MakeFrame(4, 0, 4, 4, Fill(4, 4, 2))).Gce(1, 10, 3).Frame(MakeFrame(0, 0, 1, 1, {2}));
  const Converted c = ConvertAndCompare(fx, b.Trailer().Build());
  for (int w : BitmapWidths(c.File)) EXPECT_EQ(w, 8);
}

TEST(ConvertJob, GifsWithoutAGlobalTableAndWithBlackTransparentEntries) {
  ConverterFixture noGlobal;
  ConvertAndCompare(noGlobal, GifBuilder().Header(2, 2, {}).Gce(1, 10).Frame(MakeFrame(0, 0, 2, 2, {0, 1, 1, 0}, {0x112233, 0x445566}))
                                 .Gce(1, 10).Frame(MakeFrame(0, 0, 1, 2, {1, 0}, {0x778899, 0xAABBCC})).Trailer().Build());
  // Black twice in a local table: index 3 transparent, index 0 shown.
  ConverterFixture single;
  const Converted c = ConvertAndCompare(single, GifBuilder().Header(3, 1, {}).Gce(0, 10, 3)
                                                      .Frame(MakeFrame(0, 0, 3, 1, {0, 3, 1}, {0x000000, 0xFFFFFF, 0xFF0000, 0x000000}))
                                                      .Trailer().Build());
  const test::RgbaImage& stage = c.Played.Frames.front();
  EXPECT_EQ(stage.rgba[3], 255) << "opaque black stays opaque";
  EXPECT_EQ(stage.rgba[7], 0) << "the transparent pixel is transparent";
}

TEST(ConvertJob, ThreeHundredColoursKeepEveryColour) {
  ConverterFixture fx;
  std::vector<test::Rgb> a, b;
  std::vector<std::uint8_t> pa, pb;
  for (int i = 0; i < 150; ++i) {
    a.push_back(static_cast<test::Rgb>(i * 0x010203)), pa.push_back(static_cast<std::uint8_t>(i));
    b.push_back(static_cast<test::Rgb>(0x800000 + i * 0x000305)), pb.push_back(static_cast<std::uint8_t>(i));
  }
  ConvertAndCompare(fx, GifBuilder().Header(150, 1, {}).Gce(1, 10).Frame(MakeFrame(0, 0, 150, 1, pa, a)).Gce(1, 10)
                            .Frame(MakeFrame(0, 0, 150, 1, pb, b)).Trailer().Build());
}

TEST(ConvertJob, OutputFolderFallbackSubfoldersAndOddNames) {
  ConverterFixture fx;
  const Bytes gif = GifBuilder().Header(2, 2, kColors).Frame(MakeFrame(0, 0, 2, 2, Fill(2, 2, 1))).Trailer().Build();
  fx.Form->OutputFolder = fx.Root / "gone";
  const auto path = fx.WriteGif("a.gif", gif);
  EXPECT_EQ(fx.Convert(path), crOk);
  EXPECT_EQ(fx.Form->OutputFolder, fx.View.Pictures) << "the pictures folder, not the program's (read-only)";
  EXPECT_TRUE(std::filesystem::exists(fx.View.Pictures / "a.swf"));

  fx.Form->OutputFolder = fx.OutDir;
  EXPECT_EQ(fx.Form->ConvertNow(path, "sub dir"), crOk);
  EXPECT_TRUE(std::filesystem::exists(fx.OutDir / "sub dir" / "a.swf"));

  for (const std::string name : {"with space.gif", "名前 ü.gif", "100%TT%.GIF", "two.dots.gif", "noext"}) {
    const auto odd = fx.WriteGif(name, gif, fx.Root / "in put");
    EXPECT_EQ(fx.Convert(odd), crOk) << name;
    EXPECT_TRUE(std::filesystem::exists(fx.MovieOf(odd))) << name;
  }
  EXPECT_TRUE(std::filesystem::exists(fx.OutDir / "two.dots.swf"));
  EXPECT_TRUE(std::filesystem::exists(fx.OutDir / "noext.swf"));
  const Bytes page = ReadFileBytes(fx.OutDir / "100%TT%.html");
  const std::string text(page.begin(), page.end());
  EXPECT_NE(text.find("<title>Test page for 100%TT%.swf</title>"), std::string::npos);
  EXPECT_NE(text.find("value=\"100%25TT%25.swf\""), std::string::npos)
      << "the link names the movie: its \"%\" encoded, no placeholder of the name replaced";
}

TEST(ConvertJob, OverwriteQuestion) {
  ConverterFixture fx;
  const Bytes gif = GifBuilder().Header(2, 2, kColors).Frame(MakeFrame(0, 0, 2, 2, Fill(2, 2, 1))).Trailer().Build();
  const auto path = fx.WriteGif("o.gif", gif);
  WriteFileBytes(fx.MovieOf(path), {'o', 'l', 'd'});
  fx.View.AnswerYes = false;
  EXPECT_EQ(fx.Convert(path), crOk);
  EXPECT_EQ(fx.View.Messages.back().Text, "The file o.swf already exists. Do you want to overwrite it?");
  EXPECT_EQ(ReadFileBytes(fx.MovieOf(path)), (Bytes{'o', 'l', 'd'}));
  fx.View.AnswerYes = true;
  EXPECT_EQ(fx.Convert(path), crOk);
  EXPECT_GT(ReadFileBytes(fx.MovieOf(path)).size(), 20u);

  // A GIF that cannot be read after Yes leaves the old movie in place.
  const auto broken = fx.WriteGif("o.gif", {'G', 'I', 'F', '8', '9', 'a', 1}, fx.Root / "broken");
  WriteFileBytes(fx.MovieOf(broken), {'o', 'l', 'd'});
  EXPECT_EQ(fx.Convert(broken), crLoadError);
  EXPECT_EQ(fx.View.Messages.back().Text, std::string(msg::kError1) + "\nReason: the data ends early")
      << "the box says why, in the window's language";
  EXPECT_EQ(ReadFileBytes(fx.MovieOf(broken)), (Bytes{'o', 'l', 'd'}));
  fx.View.Shown = TLanguage::Chinese;
  EXPECT_EQ(fx.Convert(broken), crLoadError);
  EXPECT_EQ(fx.View.Messages.back().Text, std::string(msg::kError1) + "\nReason: 数据过早结束 (the data ends early)")
      << "the Chinese face keeps the reader's text with its gloss";

  // In command-line mode nothing is asked, shown or opened.
  fx.View.Messages.clear();
  fx.Form->CommandLineMode = true;
  EXPECT_EQ(fx.Convert(path), crOk);
  EXPECT_TRUE(fx.View.Messages.empty());
  EXPECT_EQ(fx.View.CloseCalls, 1);
}

TEST(ConvertJob, UnwritableOutputGivesCodeSix) {
  ConverterFixture fx;
  const auto path = fx.WriteGif("w.gif", GifBuilder().Header(2, 2, kColors).Frame(MakeFrame(0, 0, 2, 2, Fill(2, 2, 1))).Trailer().Build());
  // A folder where the movie should go: it cannot be replaced.
  std::filesystem::create_directories(fx.MovieOf(path));
  EXPECT_EQ(fx.Convert(path), crWriteError);
  EXPECT_EQ(fx.View.Messages.back().Text.rfind(std::string(msg::kError6) + "\nReason: ", 0), 0u) << "with the reason";
  EXPECT_TRUE(std::filesystem::is_directory(fx.MovieOf(path)));
  for (const auto& e : std::filesystem::directory_iterator(fx.OutDir)) {
    EXPECT_EQ(e.path().filename(), "w.swf") << "no partial movie is left";
  }
}

// The job writes nothing but its movie: no frame pictures, no partial movie
// in the temporary folder (pointed at a folder of the test's own) or beside
// the movie.
TEST(ConvertJob, NothingButTheMovieIsLeftBehind) {
  ConverterFixture fx;
  GifBuilder b;
  b.Header(4, 4, kColors);
  for (int i = 0; i < 5; ++i) b.Gce(2, 10).Frame(MakeFrame(0, 0, 4, 4, Fill(4, 4, static_cast<std::uint8_t>(i % 4))));
  const auto gif = fx.WriteGif("anim.gif", b.Trailer().Build());
  const auto temp = fx.Root / "temp";
  std::filesystem::create_directories(temp);
  const std::string oldTemp = std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "";
  setenv("TMPDIR", temp.c_str(), 1);
  TConvertOptions options;
  options.Gif = gif;
  options.Movie = fx.OutDir / "anim.swf";
  const TConvertOutcome outcome = ConvertGif(options);
  if (oldTemp.empty()) {
    unsetenv("TMPDIR");
  } else {
    setenv("TMPDIR", oldTemp.c_str(), 1);
  }
  EXPECT_EQ(outcome.Code, crOk);
  EXPECT_TRUE(std::filesystem::is_empty(temp));
  std::vector<std::string> written;
  for (const auto& e : std::filesystem::directory_iterator(fx.OutDir)) written.push_back(e.path().filename().string());
  EXPECT_EQ(written, (std::vector<std::string>{"anim.swf"}));
}

}  // namespace
}  // namespace movara::form

namespace movara::form {
namespace {

TEST(ConvertJob, HugeScreensAreLayeredInsteadOfComposed) {
  test::ConverterFixture fx;
  test::GifBuilder b;
  b.Header(65535, 2000, {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00});
  for (int i = 0; i < 13; ++i) {
    test::FrameSpec f;
    f.left = 10, f.top = 10, f.width = 4, f.height = 4, f.pixels = std::vector<std::uint8_t>(16, static_cast<std::uint8_t>(i % 3));
    b.Gce(3, 10).Frame(f);
  }
  const auto path = fx.WriteGif("huge.gif", b.Trailer().Build());
  EXPECT_EQ(fx.Convert(path), crOk);
  const swf::TSWFFile file = swf::ReadSWFFile(ReadFileBytes(fx.MovieOf(path)));
  for (const auto& t : file.Tags) {
    if (const auto* bits = dynamic_cast<const swf::TSWFDefineBitsLossless*>(t.get())) {
      EXPECT_LE(bits->Width, 4);
    }
  }
}

}  // namespace
}  // namespace movara::form
