#include "convert/FrameSchedule.h"

#include <algorithm>

namespace movara::convert {

namespace {

// numerator / denominator, rounded to the nearest integer, ties to even.
std::uint64_t RoundHalfEven(std::uint64_t numerator, std::uint64_t denominator) {
  const std::uint64_t quotient = numerator / denominator;
  const std::uint64_t twice = 2 * (numerator % denominator);
  if (twice > denominator || (twice == denominator && quotient % 2 == 1)) return quotient + 1;
  return quotient;
}

}  // namespace

std::uint64_t DelayTicks(TGifDelay delay) {
  if (!delay) return kTicksPerSecond * 10 / 24;
  const std::uint64_t hundredths = *delay <= 1 ? 10 : *delay;
  return kTicksPerSecond / 100 * hundredths;
}

TFrameSchedule ScheduleFrames(std::span<const std::uint64_t> durations, unsigned framesPerSecond) {
  TFrameSchedule schedule;
  std::uint64_t ticks = 0;  // the GIF's clock
  std::optional<std::uint64_t> lastTimed;
  for (const std::uint64_t duration : durations) {
    schedule.Starts.push_back(RoundHalfEven(ticks * framesPerSecond, kTicksPerSecond));
    if (duration > 0) lastTimed = schedule.Starts.back();
    ticks += duration;
  }
  schedule.End = RoundHalfEven(ticks * framesPerSecond, kTicksPerSecond);
  if (lastTimed) schedule.End = std::max(schedule.End, *lastTimed + 1);
  return schedule;
}

std::uint64_t TFrameSchedule::Length(std::size_t k) const {
  return (k + 1 < Starts.size() ? Starts[k + 1] : End) - Starts[k];
}

std::uint32_t GifPasses(std::optional<std::uint16_t> loopCount) {
  if (!loopCount) return 1;
  return *loopCount == 0 ? 0 : *loopCount + 1u;
}

}  // namespace movara::convert
