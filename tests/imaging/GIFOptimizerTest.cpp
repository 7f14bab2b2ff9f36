#include <gtest/gtest.h>

#include <set>

#include "Compose.h"
#include "Corpus.h"
#include "GifBuilder.h"
#include "base/MemoryStream.h"
#include "imaging/GIFException.h"
#include "imaging/GIFImage.h"

namespace movara::imaging {
namespace {

using test::Bytes;
using test::FrameSpec;
using test::GifBuilder;

using test::LoadGif;

using test::MakeFrame;

// The composed pictures with runs of identical consecutive pictures collapsed:
// dropping a frame that changes nothing must not count as a difference.
std::vector<std::vector<std::uint8_t>> Pictures(TGIFImage& gif) {
  std::vector<std::vector<std::uint8_t>> out;
  for (auto& p : test::ComposeFrames(gif)) {
    if (out.empty() || out.back() != p.rgba) out.push_back(std::move(p.rgba));
  }
  return out;
}

int TotalDelay(const TGIFImage& gif) {
  int total = 0;
  for (const auto& f : gif.Frames()) {
    if (const auto* g = f->GraphicControlExtension()) total += g->Delay;
  }
  return total;
}

TEST(GIFOptimizer, SharedLocalColoursMergeWithoutDuplicates) {
  auto gif = LoadGif(GifBuilder()
                         .Header(2, 2, {})
                         .Frame(MakeFrame(0, 0, 2, 2, {0, 1, 2, 1}, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456}))
                         .Frame(MakeFrame(0, 0, 2, 2, {0, 0, 1, 2}, {0x00FF00, 0xFFFFFF, 0xFF0000, 0x000000}))
                         .Trailer()
                         .Build());
  const auto before = Pictures(*gif);
  gif->OptimizeColorMaps();
  EXPECT_EQ(gif->GlobalColorMap().Count(), 4);  // red, green, blue, white
  std::set<TColor> distinct(gif->GlobalColorMap().Colors().begin(), gif->GlobalColorMap().Colors().end());
  EXPECT_EQ(distinct.size(), 4u);
  EXPECT_TRUE(gif->GlobalColorMap().Optimized);
  for (const auto& f : gif->Frames()) EXPECT_EQ(f->ColorMap().Count(), 0);
  EXPECT_EQ(Pictures(*gif), before);
}

TEST(GIFOptimizer, ThreeHundredColoursKeepTheMostUsedAndMapTheRestByChannelSum) {
  // Frame 0: 200 greys, each used twice; frame 1: 100 other colours used
  // once, one of them transparent in frame 1.
  std::vector<test::Rgb> a, b;
  std::vector<std::uint8_t> pa, pb;
  for (int i = 0; i < 200; ++i) a.push_back(static_cast<test::Rgb>(i * 0x010101)), pa.push_back(static_cast<std::uint8_t>(i)), pa.push_back(static_cast<std::uint8_t>(i));
  for (int i = 0; i < 100; ++i) b.push_back(static_cast<test::Rgb>(0xFF0000 | i)), pb.push_back(static_cast<std::uint8_t>(i));
  pb.push_back(100);  // the transparent index
  b.push_back(0x00FF00);
  auto gif = LoadGif(GifBuilder()
                         .Header(401, 1, {})
                         .Frame(MakeFrame(0, 0, 400, 1, pa, a))
                         .Gce(0, 0, 100)
                         .Frame(MakeFrame(0, 0, 101, 1, pb, b))
                         .Trailer()
                         .Build());
  gif->OptimizeColorMaps();
  const TGIFColorMap& map = gif->GlobalColorMap();
  ASSERT_EQ(map.Count(), 256);
  EXPECT_EQ(map.Colors()[255], 0u) << "the black transparent entry comes last";
  const auto* gce = gif->Frames()[1]->GraphicControlExtension();
  EXPECT_EQ(gce->TransparentIndex, 255);
  EXPECT_EQ(gif->Frames()[1]->PixelData()[100], 255);
  // The 200 greys are kept; 55 reds are kept, the other 45 take the kept
  // colour of the nearest channel sum.
  for (int x = 0; x < 400; ++x) {
    EXPECT_EQ(map.Colors()[gif->Frames()[0]->PixelData()[x]], MakeColor(x / 2, x / 2, x / 2));
  }
  int exact = 0;
  for (int x = 0; x < 100; ++x) {
    const TColor c = map.Colors()[gif->Frames()[1]->PixelData()[x]];
    const TColor want = MakeColor(255, 0, static_cast<std::uint8_t>(x));
    if (c == want) {
      ++exact;
    } else {
      // Nearest by red + green + blue among the kept colours.
      const int sum = 255 + x;
      for (const TColor k : std::vector<TColor>(map.Colors().begin(), map.Colors().begin() + 255)) {
        EXPECT_LE(std::abs(RedOf(c) + GreenOf(c) + BlueOf(c) - sum), std::abs(RedOf(k) + GreenOf(k) + BlueOf(k) - sum));
      }
    }
  }
  EXPECT_EQ(exact, 55);
}

TEST(GIFOptimizer, UnusedTransparencyIsDropped) {
  auto gif = LoadGif(GifBuilder().Header(2, 1, {0, 0xFFFFFF, 0xFF0000, 0x00FF00}).Gce(0, 5, 3)
                         .Frame(MakeFrame(0, 0, 2, 1, {0, 1})).Gce(0, 5, 3).Frame(MakeFrame(0, 0, 2, 1, {1, 0})).Trailer().Build());
  gif->OptimizeColorMaps();
  for (const auto& f : gif->Frames()) {
    EXPECT_FALSE(f->Transparent());
    EXPECT_FALSE(f->GraphicControlExtension()->Transparent());
    EXPECT_EQ(f->GraphicControlExtension()->TransparentIndex, 0);
  }
  EXPECT_EQ(gif->GlobalColorMap().Count(), 2) << "no transparent entry is added";
}

TEST(GIFOptimizer, IdenticalFrameBecomesTransparentThenIsTrimmedAway) {
  const std::vector<std::uint8_t> pixels = {0, 1, 2, 3, 3, 2};
  auto gif = LoadGif(GifBuilder().Header(3, 2, {0, 0xFFFFFF, 0xFF0000, 0x00FF00}).Gce(1, 10, 3)
                         .Frame(MakeFrame(0, 0, 3, 2, {0, 1, 2, 0, 1, 2})).Gce(1, 20)
                         .Frame(MakeFrame(0, 0, 3, 2, pixels)).Gce(1, 30)
                         .Frame(MakeFrame(0, 0, 3, 2, pixels)).Trailer().Build());
  const auto before = Pictures(*gif);
  auto merged = std::make_unique<TGIFImage>();
  merged->AssignFrom(*gif);
  merged->Optimize(ooMerge, rmNone);
  ASSERT_EQ(merged->Frames().size(), 3u);
  const TGIFSubImage& third = *merged->Frames()[2];
  ASSERT_TRUE(third.Transparent());
  for (const auto p : third.PixelData()) EXPECT_EQ(p, third.GraphicControlExtension()->TransparentIndex);
  EXPECT_EQ(Pictures(*merged), before);

  gif->Optimize(ooMerge | ooCrop, rmNone);
  ASSERT_EQ(gif->Frames().size(), 2u) << "the frame that shows nothing is gone";
  EXPECT_EQ(gif->Frames()[1]->GraphicControlExtension()->Delay, 50) << "its delay went to the frame before";
  EXPECT_EQ(Pictures(*gif), before);
}

TEST(GIFOptimizer, CleanupOfASingleFrameGif) {
  auto gif = LoadGif(GifBuilder().Header(2, 1, {0, 0xFFFFFF}).Loop(0).Comment("x").Gce(0, 40)
                         .Frame(MakeFrame(0, 0, 2, 1, {0, 1})).Comment("trailing").Trailer().Build());
  ASSERT_EQ(gif->Frames().size(), 2u);
  gif->Optimize(ooCleanup, rmNone);
  ASSERT_EQ(gif->Frames().size(), 1u) << "the empty trailing frame goes with its comment";
  EXPECT_TRUE(gif->Frames()[0]->Extensions().empty()) << "loop, comment and delay-only control extension go";
  EXPECT_EQ(gif->Frames()[0]->GraphicControlExtension(), nullptr);
}

TEST(GIFOptimizer, LoopExtensionStaysOnFrameZeroOfAnAnimation) {
  auto gif = LoadGif(GifBuilder().Header(1, 1, {0, 0xFFFFFF}).Loop(3).Gce(0, 10).Frame(MakeFrame(0, 0, 1, 1, {0}))
                         .Gce(0, 10).Frame(MakeFrame(0, 0, 1, 1, {1})).Trailer().Build());
  gif->Optimize(ooCleanup, rmNone);
  ASSERT_EQ(gif->Frames().size(), 2u);
  EXPECT_NE(dynamic_cast<const TGIFAppExtNSLoop*>(gif->Frames()[0]->Extensions().front().get()), nullptr);
  EXPECT_NE(gif->Frames()[1]->GraphicControlExtension(), nullptr) << "a delay in an animation is kept";
}

TEST(GIFOptimizer, ImagesWithoutFramesAndTheReductionMethodCheck) {
  TGIFImage empty;
  int calls = 0;
  empty.ProgressHandler = [&](TGIFImage&, int, int, const std::string&) { return ++calls, true; };
  empty.Optimize(ooCrop | ooMerge | ooCleanup | ooColorMap | ooReduceColors, rmInvalid);
  EXPECT_EQ(calls, 0);
  auto gif = LoadGif(GifBuilder().Header(1, 1, {0, 0xFFFFFF}).Frame(MakeFrame(0, 0, 1, 1, {0})).Trailer().Build());
  try {
    gif->Optimize(ooReduceColors, rmInvalid);
    FAIL();
  } catch (const GIFException& e) {
    EXPECT_STREQ(e.what(), gifmsg::kBadReduction);
  }
  EXPECT_NO_THROW(gif->Optimize(ooReduceColors | ooCleanup, rmInvalid));
  EXPECT_NO_THROW(gif->Optimize(ooReduceColors, rmNone));
}

TEST(GIFOptimizer, SortingTablesByUseRenumbersPixelsAndTransparency) {
  auto gif = LoadGif(GifBuilder().Header(4, 1, {0x111111, 0x222222, 0x333333, 0x444444}).Gce(0, 0, 1)
                         .Frame(MakeFrame(0, 0, 4, 1, {2, 2, 1, 2})).Trailer().Build());
  const auto before = Pictures(*gif);
  gif->Optimize(ooColorMap, rmNone);
  EXPECT_EQ(gif->GlobalColorMap().Count(), 2) << "unused colours are cut";
  EXPECT_EQ(gif->Frames()[0]->PixelData(), (std::vector<std::uint8_t>{0, 0, 1, 0}));
  EXPECT_EQ(gif->Frames()[0]->GraphicControlExtension()->TransparentIndex, 1);
  EXPECT_EQ(Pictures(*gif), before);
}

TEST(GIFOptimizer, DisposalResetsOnlyWhenTheyShowNothing) {
  const auto build = [](int nextLeft, int nextDisposal, int nextTransparent) {
    GifBuilder b;
    b.Header(4, 4, {0, 0xFFFFFF, 0xFF0000, 0x00FF00}).Gce(2, 10).Frame(MakeFrame(1, 1, 2, 2, {1, 1, 1, 1}));
    b.Gce(nextDisposal, 10, nextTransparent).Frame(MakeFrame(nextLeft, 0, 3, 3, std::vector<std::uint8_t>(9, 2)));
    return LoadGif(b.Trailer().Build());
  };
  auto covered = build(0, 1, -1);
  covered->Optimize(ooCleanup, rmNone);
  EXPECT_EQ(covered->Frames()[0]->GraphicControlExtension()->Disposal(), 0);
  auto partial = build(2, 1, -1);
  partial->Optimize(ooCleanup, rmNone);
  EXPECT_EQ(partial->Frames()[0]->GraphicControlExtension()->Disposal(), 2);
  auto restoring = build(0, 3, -1);
  restoring->Optimize(ooCleanup, rmNone);
  EXPECT_EQ(restoring->Frames()[0]->GraphicControlExtension()->Disposal(), 2);
  auto transparent = build(0, 1, 2);
  transparent->Optimize(ooCleanup, rmNone);
  EXPECT_EQ(transparent->Frames()[0]->GraphicControlExtension()->Disposal(), 2);
}

TEST(GIFOptimizer, ABorrowedTransparentIndexIsNeverOneTheFrameShows) {
  // Frame 1 is transparent with index 2; frame 2 repeats frame 0 in one
  // pixel and shows colour 2 itself, so it must not borrow index 2.
  auto gif = LoadGif(GifBuilder().Header(3, 1, {0, 0xFFFFFF, 0xFF0000}).Gce(1, 10)
                         .Frame(MakeFrame(0, 0, 3, 1, {0, 1, 1})).Gce(1, 10, 2).Frame(MakeFrame(0, 0, 3, 1, {2, 2, 2}))
                         .Gce(1, 10).Frame(MakeFrame(0, 0, 3, 1, {0, 2, 1})).Trailer().Build());
  const auto before = Pictures(*gif);
  gif->Optimize(ooMerge, rmNone);
  EXPECT_EQ(Pictures(*gif), before);
}

TEST(GIFOptimizer, DisposalTwoClearFramesAreNotTrimmedAway) {
  // A transparent frame with disposal 2 clears its rectangle after it is
  // shown; trimming it away would leave the sprite below in place.
  auto gif = LoadGif(GifBuilder().Header(2, 1, {0, 0xFFFFFF, 0xFF0000}).Gce(1, 10, 2)
                         .Frame(MakeFrame(0, 0, 2, 1, {1, 1})).Gce(2, 10, 2).Frame(MakeFrame(0, 0, 2, 1, {2, 2}))
                         .Gce(1, 10, 2).Frame(MakeFrame(0, 0, 1, 1, {0})).Trailer().Build());
  const auto before = Pictures(*gif);
  gif->Optimize(ooLayerSteps, rmNone);
  EXPECT_EQ(Pictures(*gif), before);
}

// Every valid corpus GIF whose colours fit one table shows the same
// pictures after the optimisations the converter runs.
TEST(GIFOptimizer, CorpusAnimationsAreKept) {
  if (!test::HaveCorpus()) GTEST_SKIP() << "corpus not found";
  int checked = 0;
  for (const auto& name : test::CorpusDirs("reference")) {
    SCOPED_TRACE(name);
    TGIFImage gif;
    try {
      gif.LoadFile(test::CorpusDir() / "gif" / name);
    } catch (const GIFException&) {
      continue;  // refused on purpose; the reader's tests cover it
    }
    std::set<TColor> colors;
    bool transparency = false;
    for (const auto& f : gif.Frames()) {
      if (f->IsEmpty()) continue;
      const auto* gce = f->GraphicControlExtension();
      const auto& map = f->EffectiveColorMap().Colors();
      for (const auto p : f->PixelData()) {
        if (f->Transparent() && gce != nullptr && p == gce->TransparentIndex) {
          transparency = true;
        } else if (p < map.size()) {
          colors.insert(map[p]);
        }
      }
    }
    if (colors.size() > (transparency ? 255u : 256u) || gif.Frames().size() > 400) continue;
    ++checked;
    const auto before = Pictures(gif);
    const int delay = TotalDelay(gif);
    gif.OptimizeColorMaps();
    EXPECT_EQ(Pictures(gif), before) << "after OptimizeColorMaps";
    TGIFImage trial;
    trial.AssignFrom(gif);
    gif.Optimize(ooFrameSteps, rmNone);
    EXPECT_EQ(Pictures(gif), before) << "after the frame steps";
    trial.Optimize(ooLayerSteps, rmNone);
    EXPECT_EQ(Pictures(trial), before) << "after the layer steps";
    if (trial.Frames().size() > 1) {
      EXPECT_EQ(TotalDelay(trial), delay) << "trimmed frames hand their delays on";
    }
  }
  std::printf("checked %d corpus files\n", checked);
  EXPECT_GT(checked, 80);
}

}  // namespace
}  // namespace movara::imaging
