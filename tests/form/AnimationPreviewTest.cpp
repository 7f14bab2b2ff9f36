// The preview of animated PNG and WebP files: every frame shown for its
// delay, the plays the file asks for, and a stop that ends a play for ever.
#include <gtest/gtest.h>

#include <cstring>

#include "FakeView.h"
#include "PainterDoubles.h"
#include "animation/AnimationReader.h"
#include "form/AnimationPreview.h"
#include "form/Preview.h"

namespace movara::form {
namespace {

const std::filesystem::path kAnim = std::filesystem::path(MOVARA_TEST_DATA_DIR) / "anim";

bool SamePixels(const imaging::TBitmap& a, const imaging::TBitmap& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::memcmp(a.ScanLine(0), b.ScanLine(0), a.Stride() * static_cast<std::size_t>(a.Height())) == 0;
}

TEST(AnimationPreview, PlaysEveryFrameForItsDelayAsOftenAsTheFileSays) {
  test::FakeClock clock;
  clock.AutoAdvance = true;
  test::RecordingTarget target;
  {
    // ops.png: six frames of 0, 10, 20, 30, 250 and 15 ms, two plays.
    TAnimationPainter painter(kAnim / "ops.png", animation::OpenAnimation(kAnim / "ops.png"), target, clock);
    painter.Start();
    ASSERT_TRUE(target.WaitForPictures(12));
    while (!painter.Finished()) std::this_thread::yield();
  }
  EXPECT_EQ(target.Count(), 12u);
  const std::vector<std::int64_t> pass = {100, 100, 20, 30, 250, 15};
  std::vector<std::int64_t> both = pass;
  both.insert(both.end(), pass.begin(), pass.end());
  EXPECT_EQ(clock.Sleeps(), both);
  const auto reader = animation::OpenAnimation(kAnim / "ops.png");
  for (std::size_t k = 0; k < 6; ++k) {
    const imaging::TBitmap* frame = reader->NextFrame();
    EXPECT_TRUE(SamePixels(*target.Picture(k), *frame)) << k;
    EXPECT_TRUE(SamePixels(*target.Picture(k + 6), *frame)) << k;
  }
}

// The preview and the movie agree on which delays are too short: 10 ms or
// less lasts 100 ms, 10.9 ms does not.
TEST(AnimationPreview, ShortDelaysLastATenthAsInTheMovie) {
  using animation::TFrameDelay;
  for (const auto& [delay, ms] : {std::pair{TFrameDelay{10, 1000}, 100}, std::pair{TFrameDelay{0, 1}, 100},
                                  std::pair{TFrameDelay{109, 10000}, 10}, std::pair{TFrameDelay{1, 7}, 142}}) {
    EXPECT_EQ(PreviewDelay(delay), ms) << delay.Numerator << "/" << delay.Denominator;
  }
}

TEST(AnimationPreview, AStopEndsAPlayThatWouldLastForEver) {
  test::FakeClock clock;
  test::RecordingTarget target;
  auto painter = std::make_unique<TAnimationPainter>(kAnim / "gray.png", animation::OpenAnimation(kAnim / "gray.png"),
                                                     target, clock);
  painter->Start();
  ASSERT_TRUE(clock.WaitForSleep(1));
  painter.reset();  // wakes the sleeping painter and waits for it
  EXPECT_EQ(target.Count(), 1u);
}

TEST(AnimationPreview, ThePaneShowsAPngOrWebPAndNothingForABadOne) {
  test::FakePreview view;
  test::FakeClock clock;
  clock.AutoAdvance = true;
  TPreviewPane pane(view);
  pane.Clock = &clock;
  pane.ShowPreView(kAnim / "still.webp");
  ASSERT_NE(pane.Animation(), nullptr);
  EXPECT_EQ(pane.Image(), nullptr);
  EXPECT_EQ(view.Size, (IPreviewView::TPoint{40, 30}));
  EXPECT_EQ(view.Position, (IPreviewView::TPoint{(197 - 40) / 2, (149 - 30) / 2}));
  ASSERT_TRUE(view.Target.WaitForPictures(1));
  pane.Limits.ScreenPixels = 40 * 30 - 1;
  pane.ShowPreView(kAnim / "still.webp");
  EXPECT_EQ(pane.Animation(), nullptr);
  EXPECT_EQ(view.Size, (IPreviewView::TPoint{10, 10}));
}

}  // namespace
}  // namespace movara::form
