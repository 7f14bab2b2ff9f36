// The animated drawing of a GIF: timing on a clock the tests move, loop
// counts, disposals against the corpus reference frames, and the stop
// protocol of an image whose painters run on other threads.
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "Corpus.h"
#include "GifBuilder.h"
#include "PainterDoubles.h"
#include "Png.h"
#include "base/MemoryStream.h"
#include "imaging/GIFImage.h"
#include "imaging/GIFPainter.h"

namespace movara::imaging {
namespace {

using test::Bytes;
using test::Eventually;
using test::FakeClock;
using test::GifBuilder;
using test::LoadGif;
using test::MakeFrame;
using test::RecordingTarget;

constexpr TARGB kRed = MakeARGB(255, 255, 0, 0);
constexpr TARGB kGreen = MakeARGB(255, 0, 255, 0);
constexpr TARGB kBlue = MakeARGB(255, 0, 0, 255);
constexpr TARGB kNothing = 0;
const std::vector<test::Rgb> kColors = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

constexpr int kNoControl = -1;

// A 4 x 1 GIF whose frame k is one pixel at x = k % 4 in colour 1 + k % 3,
// with the given delays (kNoControl: no graphic control extension) and a
// loop extension before frame loopFrame when loop >= 0.
Bytes Animation(const std::vector<int>& delays, int loop = -1, std::size_t loopFrame = 0) {
  GifBuilder b;
  b.Header(4, 1, kColors);
  for (std::size_t k = 0; k < delays.size(); ++k) {
    if (loop >= 0 && k == loopFrame) b.Loop(loop);
    if (delays[k] != kNoControl) b.Gce(1, delays[k]);
    b.Frame(MakeFrame(static_cast<int>(k % 4), 0, 1, 1, {static_cast<std::uint8_t>(1 + k % 3)}));
  }
  return b.Trailer().Build();
}

struct Frame1D {
  int left, width, disposal, transparentIndex;
  std::vector<std::uint8_t> pixels;
};
// A 4 x 1 GIF of the given frames, each with a control extension.
Bytes Strip(const std::vector<Frame1D>& frames, int loop = -1) {
  GifBuilder b;
  b.Header(4, 1, kColors, 3);
  if (loop >= 0) b.Loop(loop);
  for (const auto& f : frames) {
    b.Gce(f.disposal, 10, f.transparentIndex);
    b.Frame(MakeFrame(f.left, 0, f.width, 1, f.pixels));
  }
  return b.Trailer().Build();
}

std::vector<TARGB> Row(const TBitmap& picture) {
  std::vector<TARGB> row;
  for (int x = 0; x < picture.Width(); ++x) row.push_back(picture.PixelARGB(x, 0));
  return row;
}

std::vector<std::int64_t> Gaps(const std::vector<std::int64_t>& times) {
  std::vector<std::int64_t> gaps;
  for (std::size_t i = 1; i < times.size(); ++i) gaps.push_back(times[i] - times[i - 1]);
  return gaps;
}

// Plays an image inside Draw on a clock that jumps to the end of each sleep.
struct InCallPlay {
  FakeClock Clock;
  RecordingTarget Target{&Clock};
  explicit InCallPlay(TGIFImage& gif, std::uint16_t clear = 0) {
    Clock.AutoAdvance = true;
    gif.DrawOptions = static_cast<std::uint16_t>(gif.DrawOptions & ~(doThreaded | clear));
    gif.Draw(Target, Clock);
  }
};

// Plays an image on the painter's own thread, on a clock the test moves.
struct ThreadedPlay {
  FakeClock Clock;
  RecordingTarget Target{&Clock};
  TGIFPainter Painter;
  explicit ThreadedPlay(const TGIFImage& gif) : Painter(gif, Target, Clock) { Painter.Start(); }
  // Lets frames stay `stay` ms each until `pictures` have been shown.
  bool ShowUntil(std::size_t pictures, std::int64_t stay) {
    for (std::size_t shown = 1; shown < pictures; ++shown) {
      if (!Clock.WaitForSleep(shown)) return false;
      if (!Clock.AdvanceToWake(stay)) {
        ADD_FAILURE() << "picture " << shown << " is held " << Clock.Sleeps().back() << " ms, not " << stay;
        return false;
      }
    }
    return Target.WaitForPictures(pictures);
  }
};

// ---- timing ----

const std::vector<int> kDelays = {0, 1, 2, 50, 2000, kNoControl, 10};

TEST(GIFPainterTiming, ThreadedPainterHoldsEachFrameForItsDelay) {
  auto gif = LoadGif(Animation(kDelays));
  ThreadedPlay play(*gif);
  // 0 and a missing extension count 10 units of 12 ms, 1 and 2 count 3, and
  // a thread does not cut 2000 down.
  const std::vector<std::int64_t> stays = {120, 36, 36, 600, 24000, 120};
  for (std::size_t i = 0; i < stays.size(); ++i) {
    ASSERT_TRUE(play.Clock.WaitForSleep(i + 1)) << "frame " << i;
    ASSERT_EQ(play.Clock.Sleeps().back(), stays[i]) << "frame " << i;
    EXPECT_EQ(play.Target.Count(), i + 1);
    play.Clock.Advance(stays[i] - 1);
    EXPECT_EQ(play.Target.Count(), i + 1) << "shown a millisecond early";
    play.Clock.Advance(1);
    ASSERT_TRUE(play.Target.WaitForPictures(i + 2));
  }
  ASSERT_TRUE(Eventually([&] { return play.Painter.Finished(); }));
  EXPECT_EQ(play.Target.Count(), kDelays.size());
  EXPECT_EQ(play.Clock.Sleeps(), stays) << "no wait before the first frame nor after the last";
}

TEST(GIFPainterTiming, PainterInsideDrawCutsLongDelaysAndHandlesEventsWhileWaiting) {
  auto gif = LoadGif(Animation(kDelays));
  InCallPlay play(*gif);
  ASSERT_EQ(play.Target.Count(), kDelays.size());
  EXPECT_EQ(play.Target.Times().front(), 1000 + 12) << "one unit before the first frame";
  EXPECT_EQ(Gaps(play.Target.Times()), (std::vector<std::int64_t>{120, 36, 36, 600, 12000, 120}));
  const auto sleeps = play.Clock.Sleeps();
  EXPECT_TRUE(std::all_of(sleeps.begin(), sleeps.end(), [](std::int64_t s) { return s > 0 && s <= 100; }));
  EXPECT_EQ(play.Target.Processed, static_cast<int>(sleeps.size())) << "events handled after every step";
  EXPECT_EQ(gif->PainterCount(), 0u);
}

TEST(GIFPainterTiming, AnOverrunShortensTheNextWaitByHalf) {
  auto gif = LoadGif(Animation({10, 10, 10}));
  ThreadedPlay play(*gif);
  ASSERT_TRUE(play.ShowUntil(2, 160));  // 40 ms late
  ASSERT_TRUE(play.Clock.WaitForSleep(2));
  EXPECT_EQ(play.Clock.Sleeps(), (std::vector<std::int64_t>{120, 100}));
}

TEST(GIFPainterTiming, SpeedScalesTheWaits) {
  auto gif = LoadGif(Animation({10, 10, 10}));
  gif->AnimationSpeed = 200;
  ThreadedPlay play(*gif);
  ASSERT_TRUE(play.Clock.WaitForSleep(1));
  EXPECT_EQ(play.Clock.Sleeps().back(), 60);
}

TEST(GIFPainterTiming, SpeedZeroWaitsUntilStoppedOnAThread) {
  auto gif = LoadGif(Animation({10, 10, 10}));
  gif->AnimationSpeed = 0;
  ThreadedPlay play(*gif);
  ASSERT_TRUE(play.Clock.WaitForSleep(1));
  EXPECT_EQ(play.Clock.Sleeps().back(), FakeClock::kUntilWoken);
  play.Clock.Advance(1'000'000);
  EXPECT_FALSE(play.Painter.Finished());
  play.Painter.Stop();
  ASSERT_TRUE(Eventually([&] { return play.Painter.Finished(); }));
  EXPECT_EQ(play.Target.Count(), 1u);
}

TEST(GIFPainterTiming, NegativeSpeedDoesNotWaitOnAThread) {
  auto gif = LoadGif(Animation({10, 10, 10}));
  gif->AnimationSpeed = -5;
  ThreadedPlay play(*gif);
  ASSERT_TRUE(Eventually([&] { return play.Painter.Finished(); }));
  EXPECT_EQ(play.Target.Count(), 3u);
  EXPECT_TRUE(play.Clock.Sleeps().empty());
}

TEST(GIFPainterTiming, SpeedBelowOneWaitsTwelveSecondsInsideDraw) {
  for (const int speed : {0, -5}) {
    auto gif = LoadGif(Animation({10, 10, 10}));
    gif->AnimationSpeed = speed;
    InCallPlay play(*gif);
    EXPECT_EQ(Gaps(play.Target.Times()), (std::vector<std::int64_t>{12000, 12000})) << "speed " << speed;
  }
}

// ---- passes ----

TEST(GIFPainterLoops, LoopCountZeroRepeatsForEverOnAThread) {
  // Each frame is cleared after it is shown, so each picture is one frame.
  auto gif = LoadGif(Strip({{0, 1, 2, -1, {1}}, {1, 1, 2, -1, {2}}, {2, 1, 2, -1, {3}}}, 0));
  ThreadedPlay play(*gif);
  ASSERT_TRUE(play.ShowUntil(8, 120));
  EXPECT_FALSE(play.Painter.Finished());
  EXPECT_EQ(Row(*play.Target.Picture(6)), (std::vector<TARGB>{kRed, kNothing, kNothing, kNothing}))
      << "pass three starts again at frame 0";
}

TEST(GIFPainterLoops, PassesInsideDraw) {
  struct Case {
    const char* name;
    Bytes gif;
    std::uint16_t cleared;
    std::size_t pictures;
  };
  const Case cases[] = {
      {"loop count 0 plays once inside Draw", Animation({10, 10, 10}, 0), 0, 3},
      {"loop count 2 plays two passes", Animation({10, 10, 10}, 2), 0, 6},
      {"no loop extension plays once", Animation({10, 10, 10}), 0, 3},
      {"without the loop option one pass", Animation({10, 10, 10}, 2), doLoop, 3},
      {"later passes start at the loop frame", Animation({10, 10, 10}, 2, 1), 0, 5},
  };
  for (const auto& c : cases) {
    auto gif = LoadGif(c.gif);
    InCallPlay play(*gif, c.cleared);
    EXPECT_EQ(play.Target.Count(), c.pictures) << c.name;
  }
}

TEST(GIFPainterLoops, LoopForeverOptionRepeatsWithoutALoopExtension) {
  auto gif = LoadGif(Animation({10, 10}));
  gif->DrawOptions |= doLoopForever;
  ThreadedPlay play(*gif);
  ASSERT_TRUE(play.ShowUntil(5, 120));
  EXPECT_FALSE(play.Painter.Finished());
}

TEST(GIFPainterLoops, APassThatDrawsNothingEndsThePlay) {
  TGIFImage gif;
  gif.Header().Width = 2;
  gif.Header().Height = 2;
  gif.Frames().push_back(std::make_unique<TGIFSubImage>(&gif));
  gif.Frames().push_back(std::make_unique<TGIFSubImage>(&gif));
  gif.DrawOptions |= doLoopForever;
  InCallPlay play(gif);
  EXPECT_EQ(play.Target.Count(), 0u);
}

// ---- pictures ----

// Pictures of 4 x 1 strips after each frame, with transparency: red frame
// 0 under one-pixel frames of other colours.
TEST(GIFPainterPictures, DisposalsOfTheFrameBefore) {
  using Rows = std::vector<std::vector<TARGB>>;
  struct Case {
    const char* name;
    std::vector<Frame1D> frames;
    Rows pictures;
  };
  const Frame1D red{0, 4, 1, -1, {1, 1, 1, 1}};
  const Case cases[] = {
      {"without disposal the frames add up",
       {red, {1, 1, 1, -1, {2}}, {3, 1, 0, -1, {3}}},
       {{kRed, kRed, kRed, kRed}, {kRed, kGreen, kRed, kRed}, {kRed, kGreen, kRed, kBlue}}},
      {"disposal 2 clears the frame to what lay beneath",
       {red, {1, 1, 2, -1, {2}}, {3, 1, 1, -1, {3}}},
       {{kRed, kRed, kRed, kRed}, {kRed, kGreen, kRed, kRed}, {kRed, kNothing, kRed, kBlue}}},
      {"disposal 3 brings back the picture from before",
       {red, {1, 1, 3, -1, {2}}, {3, 1, 1, -1, {3}}},
       {{kRed, kRed, kRed, kRed}, {kRed, kGreen, kRed, kRed}, {kRed, kRed, kRed, kBlue}}},
      {"disposal 3 after 3 starts from the picture before both",
       {red, {1, 1, 3, -1, {2}}, {2, 1, 3, -1, {3}}, {3, 1, 1, -1, {2}}},
       {{kRed, kRed, kRed, kRed},
        {kRed, kGreen, kRed, kRed},
        {kRed, kRed, kBlue, kRed},
        {kRed, kRed, kRed, kGreen}}},
      {"disposal 3 after 2 starts from the cleared picture",
       {red, {0, 1, 2, -1, {2}}, {1, 1, 3, -1, {3}}, {3, 1, 0, -1, {2}}},
       {{kRed, kRed, kRed, kRed},
        {kGreen, kRed, kRed, kRed},
        {kNothing, kBlue, kRed, kRed},
        {kNothing, kRed, kRed, kGreen}}},
      {"disposals 4 to 7 are not drawn beside disposing frames",
       {{0, 4, 2, -1, {1, 1, 1, 1}}, {1, 1, 4, -1, {2}}, {3, 1, 1, -1, {3}}},
       {{kRed, kRed, kRed, kRed}, {kNothing, kNothing, kNothing, kBlue}}},
  };
  for (const auto& c : cases) {
    auto gif = LoadGif(Strip(c.frames));
    InCallPlay play(*gif);
    ASSERT_EQ(play.Target.Count(), c.pictures.size()) << c.name;
    for (std::size_t i = 0; i < c.pictures.size(); ++i) {
      EXPECT_EQ(Row(*play.Target.Picture(i)), c.pictures[i]) << c.name << ", picture " << i;
    }
  }
}

TEST(GIFPainterPictures, DisposalTwoWithoutTransparencyFillsTheBackgroundColour) {
  const Bytes bytes = Strip({{0, 4, 1, -1, {1, 1, 1, 1}}, {1, 1, 2, -1, {2}}, {3, 1, 1, -1, {3}}});
  auto gif = LoadGif(bytes);
  InCallPlay fromGif(*gif, doTransparent);
  EXPECT_EQ(fromGif.Target.Picture(2)->PixelARGB(1, 0), kBlue) << "the GIF's background index is 3";
  gif->DrawBackgroundColor = MakeColor(0, 255, 0);
  InCallPlay fromImage(*gif, doTransparent);
  EXPECT_EQ(fromImage.Target.Picture(2)->PixelARGB(1, 0), kGreen);
}

TEST(GIFPainterPictures, TransparentPixelsLeaveWhatIsBeneathUnlessTransparencyIsOff) {
  const Bytes bytes = Strip({{0, 4, 1, -1, {1, 1, 1, 1}}, {0, 2, 1, 0, {2, 0}}});
  auto gif = LoadGif(bytes);
  InCallPlay withTransparency(*gif);
  EXPECT_EQ(Row(*withTransparency.Target.Picture(1)), (std::vector<TARGB>{kGreen, kRed, kRed, kRed}));
  InCallPlay without(*gif, doTransparent);
  EXPECT_EQ(without.Target.Picture(1)->PixelARGB(1, 0), MakeARGB(255, 0, 0, 0));
}

TEST(GIFPainterPictures, ClearFirstOptionStartsEachPassWithFrameZerosRectangleCleared) {
  // Frame 0 covers x 0..1 with a transparent pixel at 1; frame 1 paints 1.
  const Bytes bytes = Strip({{0, 2, 1, 0, {1, 0}}, {1, 1, 1, -1, {2}}}, 2);
  auto kept = LoadGif(bytes);
  InCallPlay keeping(*kept);
  ASSERT_EQ(keeping.Target.Count(), 4u);
  EXPECT_EQ(keeping.Target.Picture(2)->PixelARGB(1, 0), kGreen);
  auto cleared = LoadGif(bytes);
  cleared->DrawOptions |= doClearFirst;
  InCallPlay clearing(*cleared);
  ASSERT_EQ(clearing.Target.Count(), 4u);
  EXPECT_EQ(clearing.Target.Picture(2)->PixelARGB(1, 0), kNothing);
}

TEST(GIFPainterPictures, ASingleFrameIsDrawnOnceWithoutAPainter) {
  auto gif = LoadGif(GifBuilder().Header(4, 1, kColors).Gce(0, 10, 0)
                         .Frame(MakeFrame(0, 0, 4, 1, {1, 0, 2, 3})).Trailer().Build());
  FakeClock clock;
  RecordingTarget target(&clock);
  gif->Draw(target, clock);
  EXPECT_EQ(gif->PainterCount(), 0u);
  ASSERT_EQ(target.Count(), 1u);
  EXPECT_EQ(Row(*target.Picture(0)), (std::vector<TARGB>{kRed, kNothing, kGreen, kBlue}));
  EXPECT_TRUE(clock.Sleeps().empty());
}

TEST(GIFPainterPictures, WithoutAnimationOnlyFrameZeroIsDrawn) {
  auto gif = LoadGif(Animation({10, 10, 10}));
  gif->DrawOptions = static_cast<std::uint16_t>(gif->DrawOptions & ~doAnimate);
  RecordingTarget target;
  gif->Draw(target);
  EXPECT_EQ(gif->PainterCount(), 0u);
  ASSERT_EQ(target.Count(), 1u);
  EXPECT_EQ(Row(*target.Picture(0)), (std::vector<TARGB>{kRed, kNothing, kNothing, kNothing}));
}

// The corpus GIFs that dispose of frames (2 and 3 only) and that load whole:
// every composed picture equals the reference frame of its image.
TEST(GIFPainterPictures, DisposingCorpusGifsMatchTheirReferenceFrames) {
  if (!test::HaveCorpus()) GTEST_SKIP() << "corpus not present";
  const char* files[] = {
      "gd-dispose_background.gif",
      "gd-dispose_previous.gif",
      "peterdn-animated_transparent_firstframerestoreprev_loop.gif",
      "peterdn-animated_transparent_frame_restorebackground_loop.gif",
      "peterdn-animated_transparent_loop_frames_out_of_bounds.gif",
      "peterdn-animated_transparent_restoreprev_loop.gif",
      "pil-dispose_bgnd_transparency.gif",
      "pil-dispose_prev.gif",
      "pil-dispose_prev_first_frame.gif",
      "pygif-dispose-restore-previous.gif",
      "sharp-rotating-squares.gif",
  };
  for (const char* name : files) {
    SCOPED_TRACE(name);
    const auto refDir = test::CorpusDir() / "reference" / name;
    ASSERT_TRUE(std::filesystem::is_directory(refDir));
    TGIFImage gif;
    gif.LoadFile(test::CorpusDir() / "gif" / name);
    InCallPlay play(gif, doLoop);
    ASSERT_EQ(play.Target.Count(), gif.Frames().size());
    for (std::size_t k = 0; k < play.Target.Count(); ++k) {
      char ref[32];
      std::snprintf(ref, sizeof ref, "frame-%03zu.png", k);
      const test::RgbaImage expected = test::ReadPng(refDir / ref);
      const TBitmap& picture = *play.Target.Picture(k);
      ASSERT_EQ(picture.Width(), expected.width);
      ASSERT_EQ(picture.Height(), expected.height);
      int differing = 0;
      for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
          const std::uint8_t* e = &expected.rgba[(static_cast<std::size_t>(y) * expected.width + x) * 4];
          const TARGB p = picture.PixelARGB(x, y);
          const TARGB want = e[3] == 0 ? 0 : MakeARGB(e[3], e[0], e[1], e[2]);
          differing += (AlphaOfARGB(p) == 0 ? 0 : p) != want ? 1 : 0;
        }
      }
      EXPECT_EQ(differing, 0) << "frame " << k;
    }
  }
}

// ---- the image and its painters ----

// The clock and the targets outlive the images whose painters use them.

TEST(GIFPainterRegistry, DrawingAgainOnTheSameTargetKeepsThePainterAnotherTargetReplacesIt) {
  FakeClock clock;
  RecordingTarget first(&clock), second(&clock);
  auto gif = LoadGif(Animation({10, 10, 10}, 0));
  gif->Draw(first, clock);
  ASSERT_TRUE(clock.WaitForSleep(1));
  gif->Draw(first, clock);
  EXPECT_EQ(gif->PainterCount(), 1u);
  EXPECT_TRUE(gif->HasPainter(&first));
  gif->Draw(second, clock);
  EXPECT_EQ(gif->PainterCount(), 1u);
  EXPECT_TRUE(gif->HasPainter(&second));
  ASSERT_TRUE(second.WaitForPictures(1));
  ASSERT_TRUE(clock.WaitForSleep(2));
  ASSERT_TRUE(clock.AdvanceToWake(120));
  ASSERT_TRUE(second.WaitForPictures(2));
  EXPECT_EQ(first.Count(), 1u) << "the first painter was stopped";
}

TEST(GIFPainterRegistry, LoadingAnotherGifStopsAndAwaitsThePainterFirst) {
  FakeClock clock;
  RecordingTarget target(&clock);
  auto gif = LoadGif(Animation({10, 10, 10}, 0));
  gif->Draw(target, clock);
  ASSERT_TRUE(clock.WaitForSleep(1));
  const Bytes other = Animation({10, 10});
  TMemoryViewStream stream(other);
  gif->LoadFromStream(stream);
  EXPECT_EQ(gif->PainterCount(), 0u);
  EXPECT_FALSE(clock.Sleeping()) << "the painter's thread has ended";
  clock.Advance(1000);
  EXPECT_EQ(target.Count(), 1u);
  gif->Draw(target, clock);
  ASSERT_TRUE(target.WaitForPictures(2)) << "the reloaded image draws again";
}

TEST(GIFPainterRegistry, OptimisingAnAnimatingImageStopsItsPainterFirst) {
  FakeClock clock;
  RecordingTarget target(&clock);
  auto gif = LoadGif(Animation({10, 10, 10}, 0));
  gif->Draw(target, clock);
  ASSERT_TRUE(clock.WaitForSleep(1));
  gif->OptimizeColorMaps();
  EXPECT_EQ(gif->PainterCount(), 0u);
  EXPECT_FALSE(clock.Sleeping());
  gif->Draw(target, clock);
  ASSERT_TRUE(clock.WaitForSleep(2));
  gif->Optimize(ooMerge | ooCleanup | ooColorMap | ooReduceColors, rmNone);
  EXPECT_EQ(gif->PainterCount(), 0u);
  EXPECT_FALSE(clock.Sleeping());
}

TEST(GIFPainterRegistry, DestroyingAnAnimatingImageEndsItsPainter) {
  FakeClock clock;
  RecordingTarget target(&clock);
  auto gif = LoadGif(Animation({10, 10, 10}, 0));
  gif->Draw(target, clock);
  ASSERT_TRUE(clock.WaitForSleep(1));
  gif.reset();
  EXPECT_FALSE(clock.Sleeping());
}

TEST(GIFPainterRegistry, AnImageClearedOrDestroyedWhileItsPainterRunsInsideDrawIsLeftAlone) {
  auto gif = LoadGif(Animation({10, 10, 10}, 0));
  FakeClock clock;
  clock.AutoAdvance = true;
  RecordingTarget target(&clock);
  gif->DrawOptions = static_cast<std::uint16_t>(gif->DrawOptions & ~doThreaded);
  target.OnProcess = [&] {
    if (target.Count() == 2) gif->Clear();
  };
  gif->Draw(target, clock);
  EXPECT_EQ(target.Count(), 2u);
  EXPECT_EQ(gif->PainterCount(), 0u);

  const Bytes again = Animation({10, 10, 10});
  TMemoryViewStream stream(again);
  gif->LoadFromStream(stream);
  target.OnProcess = [&] {
    if (target.Count() == 3) gif.reset();
  };
  gif->Draw(target, clock);
  EXPECT_EQ(gif, nullptr);
  EXPECT_EQ(target.Count(), 3u);
}

TEST(GIFPainterRegistry, NothingHappensWhileAPainterRunsInsideDraw) {
  auto gif = LoadGif(Animation({10, 10, 10}));
  FakeClock clock;
  clock.AutoAdvance = true;
  RecordingTarget target(&clock), other(&clock);
  gif->DrawOptions = static_cast<std::uint16_t>(gif->DrawOptions & ~doThreaded);
  target.OnProcess = [&] { gif->Draw(other, clock); };
  gif->Draw(target, clock);
  EXPECT_EQ(target.Count(), 3u);
  EXPECT_EQ(other.Count(), 0u);
}

TEST(GIFPainterRegistry, AnInvalidTargetEndsThePlayWhenAsked) {
  auto gif = LoadGif(Animation({10, 10, 10}, 0));
  gif->DrawOptions |= doValidateTarget;
  ThreadedPlay play(*gif);
  ASSERT_TRUE(play.Clock.WaitForSleep(1));
  play.Target.IsValid = false;
  ASSERT_TRUE(play.Clock.AdvanceToWake(120));
  ASSERT_TRUE(Eventually([&] { return play.Painter.Finished(); }));
  EXPECT_EQ(play.Target.Count(), 1u);
}

TEST(GIFPainterRegistry, QuittingTheApplicationEndsAPainterInsideDraw) {
  auto gif = LoadGif(Animation({10, 10, 10}, 0));
  FakeClock clock;
  clock.AutoAdvance = true;
  RecordingTarget target(&clock);
  target.OnProcess = [&] { target.Quitting = target.Count() == 1; };
  gif->DrawOptions = static_cast<std::uint16_t>(gif->DrawOptions & ~doThreaded);
  gif->Draw(target, clock);
  EXPECT_EQ(target.Count(), 1u);
}

TEST(GIFPainterRegistry, AFailureInsideThePlayEndsItAndNothingElse) {
  class ThrowingTarget final : public IGIFDrawTarget {
   public:
    std::atomic<int> Calls{0};
    void Present(std::shared_ptr<const TBitmap>) override {
      ++Calls;
      throw std::runtime_error("cannot show");
    }
  } target;
  auto gif = LoadGif(Animation({10, 10, 10}, 0));
  FakeClock clock;
  TGIFPainter painter(*gif, target, clock);
  painter.Start();
  ASSERT_TRUE(Eventually([&] { return painter.Finished(); }));
  EXPECT_EQ(target.Calls, 1);
  EXPECT_TRUE(clock.Sleeps().empty());
}

// On the real clock, as fast as the frames go: the image is reloaded and then
// destroyed while its painter animates. Run under ThreadSanitizer too.
TEST(GIFPainterThreads, ReloadingAndDestroyingAnAnimatingImage) {
  RecordingTarget target;
  for (int round = 0; round < 3; ++round) {
    auto gif = LoadGif(Animation({1, 1, 1, 1}, 0));
    gif->AnimationSpeed = 1000;
    const std::size_t before = target.Count();
    gif->Draw(target);
    ASSERT_TRUE(target.WaitForPictures(before + 6));
    const Bytes wider = GifBuilder().Header(8, 2, kColors).Loop(0).Gce(2, 1).Frame(MakeFrame(0, 0, 8, 2,
                            std::vector<std::uint8_t>(16, 1))).Gce(3, 1).Frame(MakeFrame(1, 1, 2, 1, {2, 3}))
                            .Trailer().Build();
    TMemoryViewStream stream(wider);
    gif->LoadFromStream(stream);
    const std::size_t afterLoad = target.Count();
    EXPECT_EQ(target.Picture(afterLoad - 1)->Width(), 4) << "no picture of the new GIF before it is drawn";
    gif->Draw(target);
    ASSERT_TRUE(target.WaitForPictures(afterLoad + 6));
    gif.reset();
    const std::size_t afterDestroy = target.Count();
    EXPECT_EQ(target.Picture(afterDestroy - 1)->Width(), 8);
  }
}

}  // namespace
}  // namespace movara::imaging
