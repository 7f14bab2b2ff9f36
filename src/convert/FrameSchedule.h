#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace movara::convert {

// A GIF frame's delay in hundredths of a second; none for a frame without a
// graphic control extension, which lasts 10/24 of a second.
using TGifDelay = std::optional<std::uint16_t>;

// How long a delay lasts, in ticks of 1/2400 s (a unit that holds both
// hundredths and 24ths exactly). Delays of 0 and 1 last 10 hundredths, as
// browsers show them.
inline constexpr std::uint64_t kTicksPerSecond = 2400;
std::uint64_t DelayTicks(TGifDelay delay);

// When each GIF frame shows in a movie of a whole number of frames per
// second. Frame k starts at the movie frame nearest to its time on the
// GIF's clock (the sum of the durations before it, ties to the even frame),
// so rounding errors do not add up; frames that start together are composed
// into one movie frame.
struct TFrameSchedule {
  // Starts[k]: the movie frame in which GIF frame k is first shown.
  std::vector<std::uint64_t> Starts;
  // The movie's length in frames: the GIF's length rounded, and at least
  // one frame past the start of the last frame that takes time, so that it
  // is seen.
  std::uint64_t End = 0;

  // Movie frames from GIF frame k's start to the next one's (to the end for
  // the last); 0 when the next frame starts in the same movie frame.
  std::uint64_t Length(std::size_t k) const;
};

// The schedule of frames lasting `durations` ticks each (0 for a frame that
// takes no time).
TFrameSchedule ScheduleFrames(std::span<const std::uint64_t> durations, unsigned framesPerSecond);

// Passes through the movie that a GIF's loop extension asks for, as browsers
// play it: once without one, for ever (0) for a count of 0, else the count
// plus the first pass.
std::uint32_t GifPasses(std::optional<std::uint16_t> loopCount);

}  // namespace movara::convert
