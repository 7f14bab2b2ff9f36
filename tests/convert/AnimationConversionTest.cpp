// Animated PNG and WebP files converted: each frame's picture as the
// reference decoder shows it, the frames' time and plays, and bad files
// refused as a bad GIF is.
#include <gtest/gtest.h>

#include <cstdio>

#include "ConvertTestSupport.h"
#include "animation/ApngBytes.h"
#include "MiniPlayer.h"
#include "convert/AnimationTime.h"
#include "convert/Convert.h"
#include "swf/builder/LosslessPixels.h"
#include "swf/core/ActionList.h"
#include "swf/core/BitmapTags.h"

namespace movara::convert {
namespace {

using test::RgbaImage;

const std::filesystem::path kAnim = std::filesystem::path(MOVARA_TEST_DATA_DIR) / "anim";

// A reference frame as the stage holds it: premultiplied, as the movie's
// pictures are stored.
RgbaImage Premultiplied(RgbaImage image) {
  for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
    const std::uint8_t a = image.rgba[i + 3];
    for (int c = 0; c < 3; ++c) image.rgba[i + c] = swf::Premultiply(image.rgba[i + c], a);
  }
  return image;
}

std::vector<RgbaImage> References(const std::string& prefix, std::size_t frames) {
  std::vector<RgbaImage> refs;
  for (std::size_t k = 1; k <= frames; ++k) {
    char name[64];
    std::snprintf(name, sizeof name, "%s-%02zu.png", prefix.c_str(), k);
    refs.push_back(Premultiplied(test::ReadPng(kAnim / "ref" / name)));
  }
  return refs;
}

struct PictureCase {
  const char* file;
  const char* refs;
  std::size_t frames;
};

class AnimationPictures : public ::testing::TestWithParam<PictureCase> {};

// At 120 frames per second every frame of these files gets a movie frame of
// its own, so the stage shows each reference in turn, stored whole or as
// layers, 32-bit or colour-mapped.
TEST_P(AnimationPictures, StageShowsEveryReferenceFrame) {
  const PictureCase& c = GetParam();
  test::ConvertFixture fx;
  for (const bool compact : {false, true}) {
    TConvertOptions options;
    options.Gif = kAnim / c.file;
    options.Movie = fx.OutDir / (std::string(c.file) + (compact ? ".compact.swf" : ".swf"));
    options.Compact = compact;
    options.Timing.FramesPerSecond = 120;
    const TConvertOutcome outcome = ConvertFile(options);
    ASSERT_EQ(outcome.Code, crOk) << outcome.Reason;
    EXPECT_TRUE(outcome.Written);
    const auto played = fx.Play(options.Movie);
    EXPECT_TRUE(test::SamePictures(played.Frames, References(c.refs, c.frames))) << c.file << compact;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, AnimationPictures,
                         ::testing::Values(PictureCase{"ops.png", "ops", 6}, PictureCase{"hidden.png", "hidden", 2},
                                           PictureCase{"apngasm.png", "apngasm", 3}, PictureCase{"gray.png", "gray", 3},
                                           PictureCase{"still.png", "still", 1}, PictureCase{"anim.webp", "anim", 6},
                                           PictureCase{"gif.webp", "gif", 4}),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           for (char& ch : name) ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return name;
                         });

TEST(AnimationTime, ShortDelaysLastATenthAndRoundingDoesNotAddUp) {
  using animation::TFrameDelay;
  // 0 and 10 ms last 100 ms (240 ticks), 11 ms is 26.4 ticks, 20 ms 48.
  EXPECT_EQ(AnimationDurations({{0, 100}, {1, 100}, {10, 1000}, {20, 1000}}),
            (std::vector<std::uint64_t>{240, 240, 240, 48}));
  const auto elevenths = AnimationDurations(std::vector<TFrameDelay>(5, {11, 1000}));
  EXPECT_EQ(elevenths, (std::vector<std::uint64_t>{26, 27, 26, 27, 26}));  // 132 ticks in all
  const auto sevenths = AnimationDurations(std::vector<TFrameDelay>(7, {1, 7}));
  std::uint64_t total = 0;
  for (const auto d : sevenths) total += d;
  EXPECT_EQ(total, 2400u);
}

int DoActions(const std::vector<std::uint8_t>& file) {
  int count = 0;
  for (const auto& tag : swf::ReadSWFFile(file).Tags) count += dynamic_cast<const swf::TSWFDoAction*>(tag.get()) ? 1 : 0;
  return count;
}

TEST(AnimationConversion, FramesLastTheirTimeAndPlayTheirCount) {
  test::ConvertFixture fx;
  struct Case {
    const char* file;
    bool loop;
    std::uint16_t movieFrames;
    int stops;
  };
  // ops.png: 100 + 100 + 20 + 30 + 250 + 15 ms, two plays; anim.webp:
  // 20 + 100 (10 ms) + 100 (1 ms) + 100 + 30 + 15 ms, three plays; gray.png
  // plays for ever.
  for (const Case& c : {Case{"ops.png", true, 13, 1}, Case{"ops.png", false, 13, 0}, Case{"anim.webp", true, 9, 1},
                        Case{"gray.png", true, 7, 0}}) {
    TConvertOptions options;
    options.Gif = kAnim / c.file;
    options.Movie = fx.OutDir / "timed.swf";
    options.Timing.GifLoop = c.loop;
    ASSERT_EQ(ConvertFile(options).Code, crOk);
    const auto bytes = ReadFileBytes(options.Movie);
    const auto played = test::PlayMovie(bytes);
    EXPECT_EQ(played.Header.FrameCount, c.movieFrames) << c.file;
    EXPECT_EQ(DoActions(bytes), c.stops) << c.file;
  }
}

// A play count beyond what the movie's counter holds is the largest count,
// not a negative one that would stop after the first play.
TEST(AnimationConversion, TheLargestPlayCountStaysPositive) {
  test::ConvertFixture fx;
  const auto file = fx.WriteGif("plays.png", test::ApngBytes()
                                                 .Header(2, 2)
                                                 .AnimationControl(2, 0xFFFFFFFF)
                                                 .FrameControl(0, 2, 2, 0, 0, 1, 10, 0, 0)
                                                 .ImageData(2, 2, 0xFF0000FF)
                                                 .FrameControl(1, 2, 2, 0, 0, 1, 10, 0, 0)
                                                 .FrameData(2, 2, 2, 0x00FF00FF)
                                                 .End()
                                                 .Bytes());
  TConvertOptions options;
  options.Gif = file;
  options.Movie = fx.MovieOf(file);
  options.Timing.GifLoop = true;
  ASSERT_EQ(ConvertFile(options).Code, crOk);
  std::vector<std::int64_t> integers;
  for (const auto& tag : swf::ReadSWFFile(ReadFileBytes(options.Movie)).Tags) {
    const auto* action = dynamic_cast<const swf::TSWFDoAction*>(tag.get());
    if (action == nullptr) continue;
    for (const auto& a : action->Actions) {
      const auto* push = dynamic_cast<const swf::TSWFActionPush*>(a.get());
      if (push == nullptr) continue;
      for (const auto& v : push->Values) {
        if (v.ValueType == swf::TPushValue::Integer) integers.push_back(v.Int);
      }
    }
  }
  EXPECT_EQ(integers, std::vector<std::int64_t>{INT32_MAX});
}

// 25 frames each changing one 4 x 4 square of the top-left 12 x 8 pixels of
// a 20 x 20 canvas: the layers get too deep and are merged into one picture
// over the first, which stays; the stage shows every frame.
TEST(AnimationConversion, DeepLayersMergeOverTheFirstPicture) {
  constexpr int kFrames = 25;
  test::ApngBytes apng;
  apng.Header(20, 20).AnimationControl(kFrames, 0).FrameControl(0, 20, 20, 0, 0, 1, 10, 0, 0).ImageData(20, 20, 0x808080FF);
  std::vector<RgbaImage> expected(1, RgbaImage{20, 20, {}});
  for (int i = 0; i < 400; ++i) expected[0].rgba.insert(expected[0].rgba.end(), {0x80, 0x80, 0x80, 0xFF});
  std::uint32_t sequence = 1;
  for (int k = 1; k < kFrames; ++k) {
    const auto x = static_cast<std::uint32_t>(4 * (k % 3)), y = static_cast<std::uint32_t>(4 * (k % 2));
    const std::uint32_t rgba = static_cast<std::uint32_t>(k * 10) << 24 | 0x2040FF;
    apng.FrameControl(sequence, 4, 4, x, y, 1, 10, 0, 0).FrameData(sequence + 1, 4, 4, rgba);
    sequence += 2;
    RgbaImage next = expected.back();
    for (std::uint32_t row = y; row < y + 4; ++row) {
      for (std::uint32_t col = x; col < x + 4; ++col) {
        std::uint8_t* p = &next.rgba[(row * 20 + col) * 4];
        p[0] = static_cast<std::uint8_t>(k * 10), p[1] = 0x20, p[2] = 0x40, p[3] = 0xFF;
      }
    }
    expected.push_back(next);
  }
  test::ConvertFixture fx;
  TConvertOptions options;
  options.Gif = fx.WriteGif("deep.png", apng.End().Bytes());
  options.Movie = fx.MovieOf(options.Gif);
  options.Timing.FramesPerSecond = 120;
  ASSERT_EQ(ConvertFile(options).Code, crOk);
  const auto bytes = ReadFileBytes(options.Movie);
  EXPECT_TRUE(test::SamePictures(test::PlayMovie(bytes).Frames, expected));
  int whole = 0, pictures = 0;
  for (const auto& tag : swf::ReadSWFFile(bytes).Tags) {
    if (const auto* bits = dynamic_cast<const swf::TSWFDefineBitsLossless*>(tag.get())) {
      ++pictures;
      whole += bits->Width == 20 && bits->Height == 20 ? 1 : 0;
    }
  }
  EXPECT_EQ(whole, 1);
  EXPECT_EQ(pictures, kFrames);  // one a frame, layer or merge
}

// Squares that each go away with the next frame (disposed to the previous
// canvas), then a frame that leaves the canvas as the first was: the merge
// finds nothing to show over the first picture and only takes the layers
// away.
TEST(AnimationConversion, AMergeOfNothingTakesTheLayersAway) {
  constexpr int kSquares = 11;
  test::ApngBytes apng;
  apng.Header(20, 20).AnimationControl(kSquares + 2, 0).FrameControl(0, 20, 20, 0, 0, 1, 10, 0, 0);
  apng.ImageData(20, 20, 0x808080FF);
  RgbaImage base{20, 20, {}};
  for (int i = 0; i < 400; ++i) base.rgba.insert(base.rgba.end(), {0x80, 0x80, 0x80, 0xFF});
  std::vector<RgbaImage> expected(1, base);
  std::uint32_t sequence = 1;
  const auto square = [&](int k, std::uint32_t rgba, std::uint8_t dispose) {
    const auto x = static_cast<std::uint32_t>(k % 4 * 4), y = static_cast<std::uint32_t>(k / 4 * 4);
    apng.FrameControl(sequence, 4, 4, x, y, 1, 10, dispose, 0).FrameData(sequence + 1, 4, 4, rgba);
    sequence += 2;
    RgbaImage next = base;
    for (std::uint32_t row = y; row < y + 4; ++row) {
      for (std::uint32_t col = x; col < x + 4; ++col) {
        for (int c = 0; c < 4; ++c) next.rgba[(row * 20 + col) * 4 + c] = static_cast<std::uint8_t>(rgba >> (24 - 8 * c));
      }
    }
    expected.push_back(next);
  };
  for (int k = 1; k <= kSquares; ++k) square(k, static_cast<std::uint32_t>(k * 20) << 24 | 0x0000FF, 2);
  square(kSquares + 1, 0x808080FF, 0);
  test::ConvertFixture fx;
  TConvertOptions options;
  options.Gif = fx.WriteGif("back.png", apng.End().Bytes());
  options.Movie = fx.MovieOf(options.Gif);
  options.Timing.FramesPerSecond = 120;
  ASSERT_EQ(ConvertFile(options).Code, crOk);
  const auto bytes = ReadFileBytes(options.Movie);
  EXPECT_TRUE(test::SamePictures(test::PlayMovie(bytes).Frames, expected));
  int pictures = 0;
  for (const auto& tag : swf::ReadSWFFile(bytes).Tags) pictures += dynamic_cast<const swf::TSWFDefineBitsLossless*>(tag.get()) ? 1 : 0;
  EXPECT_EQ(pictures, kSquares + 1);  // none for the last frame
}

TEST(AnimationConversion, ContentDecidesAndBadFilesAndNamesFailAsForAGif) {
  test::ConvertFixture fx;
  // A WebP named .gif converts as a WebP.
  const auto named = fx.Root / "really-webp.gif";
  std::filesystem::copy_file(kAnim / "anim.webp", named);
  TConvertOptions options;
  options.Gif = named;
  options.Movie = fx.MovieOf(named);
  EXPECT_EQ(ConvertFile(options).Code, crOk);

  auto cut = ReadFileBytes(kAnim / "ops.png");
  cut.resize(cut.size() / 2);
  const auto cutFile = fx.WriteGif("cut.png", cut);
  auto webp = ReadFileBytes(kAnim / "anim.webp");
  webp.resize(200);
  const auto cutWebP = fx.WriteGif("cut.webp", webp);
  for (const auto& [file, reason] : {std::pair{cutFile, "not an animated PNG: the data ends early"},
                                     std::pair{cutWebP, "the WebP data ends early"}}) {
    options.Gif = file;
    options.Movie = fx.MovieOf(file);
    const TConvertOutcome outcome = ConvertFile(options);
    EXPECT_EQ(outcome.Code, crLoadError);
    EXPECT_EQ(outcome.Reason, reason);
    EXPECT_FALSE(std::filesystem::exists(options.Movie));
  }

  // As for a GIF, a movie that cannot take its place is named, not the
  // temporary file, and a name the file system cannot hold fails before the
  // file is read.
  options.Gif = kAnim / "ops.png";
  options.Movie = fx.Root / "taken.swf";
  std::filesystem::create_directories(options.Movie);
  const TConvertOutcome unwritten = ConvertFile(options);
  EXPECT_EQ(unwritten.Code, crWriteError);
  EXPECT_NE(unwritten.Reason.find(options.Movie.string()), std::string::npos) << unwritten.Reason;
  EXPECT_EQ(unwritten.Reason.find(".partial"), std::string::npos) << unwritten.Reason;

  options.Gif = cutFile;
  options.Movie = fx.Root / (std::string(252, 'n') + ".swf");
  const TConvertOutcome tooLong = ConvertFile(options);
  EXPECT_EQ(tooLong.Code, crWriteError);
  EXPECT_NE(tooLong.Reason.find("is longer than the folder allows"), std::string::npos) << tooLong.Reason;
}

}  // namespace
}  // namespace movara::convert
