// The movie's clock: frame starts from the GIF's delays, and the passes of
// its loop count.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "convert/FrameSchedule.h"

namespace movara::convert {
namespace {

constexpr TGifDelay kNone = std::nullopt;

struct ScheduleCase {
  std::string Name;
  std::vector<TGifDelay> Delays;
  unsigned Fps;
  std::vector<std::uint64_t> Starts;
  std::uint64_t End;
  // The last frame is shorter than half a movie frame: it still gets one,
  // and the movie ends that frame past the GIF's length.
  bool LastFrameLengthens = false;
};

const ScheduleCase kCases[] = {
    {"all 10s: 2.4 movie frames each", {10, 10, 10, 10, 10}, 24, {0, 2, 5, 7, 10}, 12},
    {"all 6s: 1.44 each", {6, 6, 6, 6, 6}, 24, {0, 1, 3, 4, 6}, 7},
    {"0 and 1 last 10, 2 joins the next", {0, 1, 2, 2, 10}, 24, {0, 2, 5, 5, 6}, 8},
    {"all 2s: every other frame joins the next", {2, 2, 2, 2}, 24, {0, 0, 1, 1}, 2},
    {"long delays", {65535, 500, 65535}, 24, {0, 15728, 15848}, 31577},
    {"no control extension: 10/24 s", {kNone, kNone, kNone}, 24, {0, 10, 20}, 30},
    {"no control extension at 25", {kNone, 50, kNone}, 25, {0, 10, 23}, 33},
    {"ties go to the even frame", {2, 2, 2, 2, 4}, 25, {0, 0, 1, 2, 2}, 3},
    {"30 fps", {7, 7, 7, 7}, 30, {0, 2, 4, 6}, 8},
    {"60 fps", {3, 3, 3, 3}, 60, {0, 2, 4, 5}, 7},
    {"a last frame shorter than half a movie frame", {11, 2}, 24, {0, 3}, 4, true},
    {"one frame per second", {150, 150}, 1, {0, 2}, 3},
    {"no frames", {}, 24, {}, 0},
};

// Twice the distance between a movie frame and a time in ticks, in ticks
// times frames per second: at most kTicksPerSecond is within half a frame.
std::uint64_t TwiceOff(std::uint64_t frame, std::uint64_t ticks, unsigned fps) {
  const auto a = static_cast<std::int64_t>(2 * frame * kTicksPerSecond);
  const auto b = static_cast<std::int64_t>(2 * ticks * fps);
  return static_cast<std::uint64_t>(std::llabs(a - b));
}

TEST(FrameSchedule, StartsFollowTheGifClock) {
  for (const ScheduleCase& c : kCases) {
    SCOPED_TRACE(c.Name);
    std::vector<std::uint64_t> durations;
    for (const TGifDelay& d : c.Delays) durations.push_back(DelayTicks(d));
    const TFrameSchedule s = ScheduleFrames(durations, c.Fps);
    EXPECT_EQ(s.Starts, c.Starts);
    EXPECT_EQ(s.End, c.End);
    std::uint64_t ticks = 0;
    for (std::size_t k = 0; k < s.Starts.size(); ++k) {
      EXPECT_LE(TwiceOff(s.Starts[k], ticks, c.Fps), kTicksPerSecond) << "frame " << k;
      ticks += durations[k];
    }
    if (c.LastFrameLengthens) {
      EXPECT_EQ(s.End, s.Starts.back() + 1);
    } else {
      EXPECT_LE(TwiceOff(s.End, ticks, c.Fps), kTicksPerSecond) << "the whole length";
    }
    std::uint64_t sum = 0;
    for (std::size_t k = 0; k < s.Starts.size(); ++k) sum += s.Length(k);
    EXPECT_EQ(sum, s.End);
  }
}

TEST(FrameSchedule, AFrameOfNoTimeAtTheEndAddsNothing) {
  const std::uint64_t durations[] = {DelayTicks(10), DelayTicks(10), 0};
  const TFrameSchedule s = ScheduleFrames(durations, 24);
  EXPECT_EQ(s.Starts, (std::vector<std::uint64_t>{0, 2, 5}));
  EXPECT_EQ(s.End, 5u);
  EXPECT_EQ(s.Length(2), 0u);
}

TEST(FrameSchedule, PassesAsBrowsersPlayTheLoopCount) {
  EXPECT_EQ(GifPasses(std::nullopt), 1u);
  EXPECT_EQ(GifPasses(0), 0u) << "for ever";
  EXPECT_EQ(GifPasses(1), 2u);
  EXPECT_EQ(GifPasses(65535), 65536u);
}

}  // namespace
}  // namespace movara::convert
