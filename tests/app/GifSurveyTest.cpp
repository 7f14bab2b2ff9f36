// The first pass's rules: which GIFs are composed frame by frame, and what
// the survey gives back while it reads.
#include <gtest/gtest.h>

#include <functional>

#include "GifBuilder.h"
#include "app/GifSurvey.h"
#include "base/MemoryStream.h"

namespace movara::app {
namespace {

using test::Bytes;
using test::GifBuilder;
using test::MakeFrame;

const std::vector<test::Rgb> kColors = {0x000000, 0xFFFFFF, 0xE03020, 0x2060E0};

// Changes how frame k is made, or writes its control extension itself (then true).
using TChange = std::function<bool(int k, GifBuilder& b, test::FrameSpec& f)>;

// Thirteen opaque 4 x 2 frames with a control extension each, but for what
// the change does.
Bytes Frames(const TChange& change = {}) {
  GifBuilder b;
  b.Header(4, 2, kColors);
  for (int k = 0; k < 13; ++k) {
    test::FrameSpec f = MakeFrame(0, 0, 4, 2, {0, 1, 2, 3, static_cast<std::uint8_t>(k % 4), 1, 2, 3});
    if (!(change && change(k, b, f))) b.Gce(0, 10);
    b.Frame(f);
  }
  return b.Trailer().Build();
}

struct Surveyed {
  bool FrameByFrame = false;
  bool Released = false;
  std::size_t FramesWithPixels = 0;
};

Surveyed Survey(const Bytes& gif) {
  imaging::TGIFImage image;
  Surveyed s;
  {
    const TGifSurvey survey(image);
    TMemoryViewStream stream(gif);
    image.LoadFromStream(stream);
    s.FrameByFrame = survey.FrameByFrame();
    s.Released = survey.Released();
  }
  for (const auto& f : image.Frames()) s.FramesWithPixels += f->PixelData().empty() ? 0 : 1;
  return s;
}

TEST(GifSurvey, OpaqueTimedFramesOverTheScreenGoFrameByFrameHoldingOne) {
  const Surveyed s = Survey(Frames());
  EXPECT_TRUE(s.FrameByFrame);
  EXPECT_TRUE(s.Released);
  EXPECT_EQ(s.FramesWithPixels, 1u) << "only the last frame read is held";
}

TEST(GifSurvey, AnyFactTheOptimisationsCouldChangeKeepsTheWholeImage) {
  const struct {
    const char* Fact;
    TChange Change;
  } cases[] = {
      {"a frame without control extension", [](int k, GifBuilder&, test::FrameSpec&) { return k == 4; }},
      {"a transparent frame", [](int k, GifBuilder& b, test::FrameSpec&) { return k == 4 && (b.Gce(0, 10, 3), true); }},
      {"a frame cleared to the background", [](int k, GifBuilder& b, test::FrameSpec&) { return k == 4 && (b.Gce(2, 10), true); }},
      {"a first frame that restores", [](int k, GifBuilder& b, test::FrameSpec&) { return k == 0 && (b.Gce(3, 10), true); }},
      {"a first frame short of the screen", [](int k, GifBuilder&, test::FrameSpec& f) {
         if (k == 0) f = MakeFrame(0, 0, 3, 2, {0, 1, 2, 3, 0, 1});
         return false;
       }},
      {"an index beyond the table", [](int k, GifBuilder&, test::FrameSpec& f) {
         if (k == 4) f.localColors = {0x000000, 0xFFFFFF};
         return false;
       }},
      {"the colour a black transparent entry is lifted to", [](int k, GifBuilder&, test::FrameSpec& f) {
         if (k == 4) f.localColors = {0x000000, 0xFFFFFF, 0x000001, 0x2060E0};
         return false;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Fact);
    const Surveyed s = Survey(Frames(c.Change));
    EXPECT_FALSE(s.FrameByFrame);
  }
  const Surveyed single = Survey(GifBuilder().Header(4, 2, kColors).Gce(0, 10).Frame(MakeFrame(0, 0, 4, 2, {0, 1, 2, 3, 0, 1, 2, 3})).Trailer().Build());
  EXPECT_FALSE(single.FrameByFrame) << "a single frame is not optimised";
  EXPECT_EQ(single.FramesWithPixels, 1u);
}

TEST(GifSurvey, AnEarlyRefusalGivesNothingBack) {
  const Surveyed s = Survey(Frames([](int k, GifBuilder& b, test::FrameSpec&) { return k == 1 && (b.Gce(0, 10, 3), true); }));
  EXPECT_FALSE(s.FrameByFrame);
  EXPECT_FALSE(s.Released);
  EXPECT_EQ(s.FramesWithPixels, 13u);
}

}  // namespace
}  // namespace movara::app
