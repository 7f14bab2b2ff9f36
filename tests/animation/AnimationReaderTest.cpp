// The animated PNG and WebP readers: frames against the reference frames of
// decoders that are not ours, and hostile files against their exact errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ApngBytes.h"
#include "Png.h"
#include "animation/AnimationReader.h"
#include "animation/ApngCompose.h"
#include "base/FileStream.h"

namespace movara::animation {
namespace {

using test::ApngBytes;

const std::filesystem::path kData = std::filesystem::path(MOVARA_TEST_DATA_DIR) / "anim";

// Differences of a frame from its reference: alpha everywhere, colour where
// the pixel shows (a transparent pixel's colour is not seen).
int Differences(const imaging::TBitmap& frame, const test::RgbaImage& ref) {
  if (frame.Width() != ref.width || frame.Height() != ref.height) return -1;
  int bad = 0;
  for (int y = 0; y < ref.height; ++y) {
    for (int x = 0; x < ref.width; ++x) {
      const std::uint8_t* p = frame.ScanLine(y) + 4 * x;
      const std::uint8_t* r = ref.rgba.data() + 4 * (static_cast<std::size_t>(y) * ref.width + x);
      const bool same = p[3] == r[3] && (r[3] == 0 || (p[2] == r[0] && p[1] == r[1] && p[0] == r[2]));
      bad += same ? 0 : 1;
    }
  }
  return bad;
}

struct ReferenceCase {
  const char* file;
  const char* refs;  // reference frames refs-01.png, refs-02.png, ...
  std::size_t frames;
  std::uint32_t plays;
  std::vector<TFrameDelay> delays;  // empty: not checked
};

class ReferenceFrames : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceFrames, EveryFrameMatchesTheOtherDecoder) {
  const ReferenceCase& c = GetParam();
  const auto reader = OpenAnimation(kData / c.file);
  EXPECT_EQ(reader->FrameCount(), c.frames);
  EXPECT_EQ(reader->Plays(), c.plays);
  if (!c.delays.empty()) {
    EXPECT_EQ(reader->Delays(), c.delays);
  }
  std::size_t k = 0;
  while (const imaging::TBitmap* frame = reader->NextFrame()) {
    char name[64];
    std::snprintf(name, sizeof name, "%s-%02zu.png", c.refs, k + 1);
    EXPECT_EQ(Differences(*frame, test::ReadPng(kData / "ref" / name)), 0) << name;
    ++k;
  }
  EXPECT_EQ(k, c.frames);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReferenceFrames,
    ::testing::Values(
        // Every dispose and blend operation on sub-rectangles, partial alpha.
        ReferenceCase{"ops.png", "ops", 6, 2, {{0, 100}, {1, 100}, {2, 100}, {3, 100}, {1, 4}, {15, 1000}}},
        // The default image is not a frame.
        ReferenceCase{"hidden.png", "hidden", 2, 1, {{50, 1000}, {100, 1000}}},
        ReferenceCase{"apngasm.png", "apngasm", 3, 3, {{7, 100}, {7, 100}, {7, 100}}},
        ReferenceCase{"gray.png", "gray", 3, 0, {}}, ReferenceCase{"still.png", "still", 1, 1, {{0, 100}}},
        ReferenceCase{"anim.webp", "anim", 6, 3, {{20, 1000}, {10, 1000}, {1, 1000}, {100, 1000}, {30, 1000}, {15, 1000}}},
        ReferenceCase{"gif.webp", "gif", 4, 0, {}}, ReferenceCase{"still.webp", "still-webp", 1, 1, {}}),
    [](const auto& info) {
      std::string name = info.param.file;
      for (char& ch : name) ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
      return name;
    });

// Reads every frame; the error's text, or empty when all frames decode.
std::string ReadAll(std::vector<std::uint8_t> bytes) {
  try {
    const auto reader = OpenAnimation(std::move(bytes));
    while (reader->NextFrame() != nullptr) {
    }
  } catch (const AnimationError& e) {
    return e.what();
  }
  return {};
}

constexpr std::uint32_t kRed = 0xFF0000FF;

// A valid two-frame animation: frame 1 of 2 x 2 at (1, 1) on a 4 x 4 canvas.
ApngBytes TwoFrames(std::uint32_t secondLeft = 1, std::uint32_t secondSequence = 1) {
  ApngBytes b;
  b.Header(4, 4).AnimationControl(2, 0).FrameControl(0, 4, 4, 0, 0, 1, 10, 0, 0).ImageData(4, 4, kRed);
  b.FrameControl(secondSequence, 2, 2, secondLeft, 1, 1, 10, 0, 1).FrameData(secondSequence + 1, 2, 2, 0x00FF0080);
  return b;
}

struct HostileCase {
  const char* name;
  std::vector<std::uint8_t> bytes;
  const char* error;
};

TEST(ApngReader, HostileFilesFailWithTheirReason) {
  ApngBytes huge;
  huge.Header(4, 4).AnimationControl(4000000000u, 0).FrameControl(0, 4, 4, 0, 0, 1, 10, 0, 0).ImageData(4, 4, kRed).End();
  ApngBytes bomb;
  bomb.Header(8000, 8000).ImageData(1, 1, kRed).End();
  ApngBytes bigCanvas;
  bigCanvas.Header(16383, 16383).ImageData(1, 1, kRed).End();
  ApngBytes fewer;
  fewer.Header(4, 4).AnimationControl(3, 0).FrameControl(0, 4, 4, 0, 0, 1, 10, 0, 0).ImageData(4, 4, kRed).End();
  ApngBytes offCanvas;
  offCanvas.Header(4, 4).AnimationControl(1, 0).FrameControl(0, 4, 4, 1, 0, 1, 10, 0, 0).ImageData(4, 4, kRed).End();
  ApngBytes noData;
  noData.Header(4, 4).AnimationControl(2, 0).FrameControl(0, 4, 4, 0, 0, 1, 10, 0, 0).ImageData(4, 4, kRed);
  noData.FrameControl(1, 2, 2, 0, 0, 1, 10, 0, 0).End();
  ApngBytes smallDefault;
  smallDefault.Header(4, 4).AnimationControl(1, 0).FrameControl(0, 2, 2, 0, 0, 1, 10, 0, 0).ImageData(2, 2, kRed).End();
  ApngBytes badOp;
  badOp.Header(4, 4).AnimationControl(1, 0).FrameControl(0, 4, 4, 0, 0, 1, 10, 3, 0).ImageData(4, 4, kRed).End();
  auto badCrc = TwoFrames().End().Bytes();
  badCrc[42] ^= 1;  // inside acTL's data
  const std::vector<HostileCase> cases = {
      {"frame outside the canvas", TwoFrames(3).End().Bytes(), "not an animated PNG: frame 1 lies outside the canvas"},
      {"sequence out of order", TwoFrames(1, 2).End().Bytes(), "not an animated PNG: fcTL sequence number 2 where 1 was due"},
      {"4 billion frames", huge.Bytes(), "not an animated PNG: acTL says 4000000000 frames, more than the file can hold"},
      {"fewer frames than acTL", fewer.Bytes(), "not an animated PNG: acTL says 3 frames, the file has 1"},
      {"first frame off the canvas", offCanvas.Bytes(), "not an animated PNG: frame 0 lies outside the canvas"},
      {"frame without data", noData.Bytes(), "not an animated PNG: frame 1 has no image data"},
      {"default image smaller than the canvas", smallDefault.Bytes(),
       "not an animated PNG: the first frame does not cover the canvas"},
      {"unknown dispose operation", badOp.Bytes(), "not an animated PNG: frame 0 has an unknown dispose or blend operation"},
      {"decompression bomb", bomb.Bytes(), "not an animated PNG: frame 0 claims more pixels than its data can hold"},
      {"huge canvas", bigCanvas.Bytes(),
       "not an animated PNG: a canvas of 16383 x 16383 pixels is larger than 67108864 pixels"},
      {"bad CRC", badCrc, "not an animated PNG: chunk acTL has a bad CRC"},
      {"no end", TwoFrames().Bytes(), "not an animated PNG: the data ends early"},
      {"not a picture", {'h', 'e', 'l', 'l', 'o'}, "not a PNG or WebP file"},
  };
  for (const HostileCase& c : cases) EXPECT_EQ(ReadAll(c.bytes), c.error) << c.name;
  EXPECT_EQ(ReadAll(TwoFrames().End().Bytes()), "");
}

// Behind a hidden default image the first frame may be smaller than the
// canvas: it is drawn on the cleared canvas.
TEST(ApngReader, AFirstFrameAfterAHiddenDefaultImageMayBeSmaller) {
  ApngBytes b;
  b.Header(4, 4).AnimationControl(1, 0).ImageData(4, 4, kRed);
  b.FrameControl(0, 2, 2, 1, 1, 1, 10, 0, 0).FrameData(1, 2, 2, 0x00FF00FF).End();
  const auto reader = OpenAnimation(b.Bytes());
  const imaging::TBitmap* canvas = reader->NextFrame();
  ASSERT_NE(canvas, nullptr);
  const auto pixel = [&](int x, int y) {
    const std::uint8_t* p = canvas->ScanLine(y) + 4 * x;
    return std::vector<std::uint8_t>(p, p + 4);
  };
  EXPECT_EQ(pixel(0, 0), (std::vector<std::uint8_t>{0, 0, 0, 0})) << "cleared, not the hidden image";
  EXPECT_EQ(pixel(1, 1), (std::vector<std::uint8_t>{0, 255, 0, 255})) << "the frame, as BGRA";
  EXPECT_EQ(reader->NextFrame(), nullptr);
}

TEST(ApngReader, CutAnywhereFailsCleanly) {
  const std::vector<std::uint8_t> whole = ReadFileBytes(kData / "ops.png");
  for (std::size_t size = 0; size < whole.size(); ++size) {
    EXPECT_NE(ReadAll({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)}), "") << size;
  }
}

TEST(ApngReader, FrameOverTranslucentCanvasBlendsStraightAlpha) {
  // Half-transparent green over half-transparent red, and over opaque red.
  const std::uint8_t green[4] = {0, 255, 0, 128};
  std::uint8_t back[4] = {0, 0, 255, 128};
  OverPixel(green, back);
  EXPECT_EQ((std::vector<std::uint8_t>(back, back + 4)), (std::vector<std::uint8_t>{0, 170, 84, 192}));
  std::uint8_t opaque[4] = {0, 0, 255, 255};
  OverPixel(green, opaque);
  EXPECT_EQ((std::vector<std::uint8_t>(opaque, opaque + 4)), (std::vector<std::uint8_t>{0, 128, 127, 255}));
}

TEST(WebPReader, BadFilesFailWithTheirReason) {
  const std::vector<std::uint8_t> whole = ReadFileBytes(kData / "anim.webp");
  for (std::size_t size = 12; size < whole.size(); ++size) {
    const std::string error = ReadAll({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)});
    EXPECT_TRUE(error == "the WebP data ends early" || error == "not a WebP file: invalid data") << size << error;
  }
  EXPECT_EQ(ReadAll({whole.begin(), whole.begin() + 100}), "the WebP data ends early");
  // The canvas of the VP8X chunk (24-bit sizes minus one at offsets 24 and
  // 27) made 16383 x 16383: the frames still lie inside it.
  std::vector<std::uint8_t> big = whole;
  big[24] = big[27] = 0xFE, big[25] = big[28] = 0x3F, big[26] = big[29] = 0;
  EXPECT_EQ(ReadAll(big), "the WebP canvas of 16383 x 16383 pixels is larger than 67108864 pixels");
}

TEST(AnimationKind, ToldByContentNotName) {
  const auto kind = [](std::string head) { return KindOf(reinterpret_cast<const std::uint8_t*>(head.data()), head.size()); };
  EXPECT_EQ(kind("GIF89a..."), TAnimationKind::Gif);
  EXPECT_EQ(kind("\x89PNG\r\n\x1a\n"), TAnimationKind::Png);
  EXPECT_EQ(kind(std::string("RIFF\x10\0\0\0WEBPVP8L", 16)), TAnimationKind::WebP);
  EXPECT_EQ(kind(std::string("RIFF\x10\0\0\0WAVEfmt ", 16)), TAnimationKind::Unknown);
  EXPECT_EQ(kind("\x89PN"), TAnimationKind::Unknown);
  EXPECT_EQ(KindOfFile(kData / "anim.webp"), TAnimationKind::WebP);
}

}  // namespace
}  // namespace movara::animation
