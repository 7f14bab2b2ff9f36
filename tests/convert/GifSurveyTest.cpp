// The first reading: what it holds, what it gives back, and what it keeps
// of the frames it gives back.
#include <gtest/gtest.h>

#include <functional>

#include "GifBuilder.h"
#include "base/MemoryStream.h"
#include "convert/GifSurvey.h"

namespace movara::convert {
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
  bool Released = false;
  bool Complete = false;
  std::vector<TFramePixels> Frames;
  std::size_t FramesWithPixels = 0;
};

Surveyed Survey(const Bytes& gif, std::size_t heldBytes) {
  imaging::TGIFImage image;
  Surveyed s;
  {
    TGifSurvey survey(image, heldBytes);
    TMemoryViewStream stream(gif);
    image.LoadFromStream(stream);
    s.Released = survey.Released();
    s.Complete = survey.Complete();
    s.Frames = survey.TakeFrames();
  }
  for (const auto& f : image.Frames()) s.FramesWithPixels += f->PixelData().empty() ? 0 : 1;
  return s;
}

TEST(GifSurvey, HoldsTheFramesWithinWhatItMayHoldAndGivesThemBackBeyond) {
  const Surveyed within = Survey(Frames(), 13 * 8);
  EXPECT_FALSE(within.Released);
  EXPECT_EQ(within.FramesWithPixels, 13u);
  const Surveyed beyond = Survey(Frames(), 12 * 8);
  EXPECT_TRUE(beyond.Released);
  EXPECT_TRUE(beyond.Complete);
  EXPECT_EQ(beyond.FramesWithPixels, 0u) << "the frames compared with are held apart from the image";
  ASSERT_EQ(beyond.Frames.size(), 13u);
  const Surveyed single =
      Survey(GifBuilder().Header(4, 2, kColors).Gce(0, 10).Frame(MakeFrame(0, 0, 4, 2, {0, 1, 2, 3, 0, 1, 2, 3})).Comment("end").Trailer().Build(), 0);
  EXPECT_FALSE(single.Released) << "a single picture is held whatever its size";
}

// Frame k repeats frame k - 1 but for its first pixel, which shows index
// k % 4; frame 12 is transparent where it shows index 0, and repeats frame
// 11 everywhere else.
TEST(GifSurvey, KeepsWhatTheOptimisationsNeedOfEachFrame) {
  const Bytes gif = Frames([](int k, GifBuilder& b, test::FrameSpec& f) {
    f = MakeFrame(0, 0, 4, 2, {static_cast<std::uint8_t>(k % 4), 1, 2, 3, 3, 2, 1, 0});
    if (k == 5) b.Gce(3, 10);
    if (k == 12) b.Gce(0, 10, 0);
    return k == 5 || k == 12;
  });
  const Surveyed s = Survey(gif, 0);
  ASSERT_EQ(s.Frames.size(), 13u);
  const TFramePixels& first = s.Frames[0];
  EXPECT_FALSE(first.Repeats);
  EXPECT_EQ(first.Used, (std::vector<std::pair<std::uint8_t, std::uint32_t>>{{0, 2}, {1, 2}, {2, 2}, {3, 2}}));
  EXPECT_EQ(first.Shown, std::nullopt) << "only a transparent frame is trimmed";
  // Frame 1 repeats all but its first pixel: only that one shows.
  EXPECT_TRUE(s.Frames[1].Repeats);
  EXPECT_EQ(s.Frames[1].ShownUnrepeated, (imaging::TGIFRect{0, 0, 1, 1}));
  EXPECT_EQ(s.Frames[5].CleanDisposal, 0) << "the next frame covers it";
  EXPECT_EQ(s.Frames[12].Transparent, 0);
  EXPECT_EQ(s.Frames[12].Shown, (imaging::TGIFRect{0, 0, 4, 2})) << "index 0 is its first and its last pixel";
  EXPECT_EQ(s.Frames[12].ShownUnrepeated, std::nullopt);
}

TEST(GifSurvey, FactsThatDoNotSufficeAreSaid) {
  const Surveyed beyondTable = Survey(Frames([](int k, GifBuilder&, test::FrameSpec& f) {
    if (k == 4) f.localColors = {0x000000, 0xFFFFFF};
    return false;
  }), 0);
  EXPECT_FALSE(beyondTable.Complete) << "an index beyond its table";
  EXPECT_TRUE(Survey(Frames(), 0).Complete);
}

}  // namespace
}  // namespace movara::convert
