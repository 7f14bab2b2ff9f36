#include "convert/AnimationTime.h"

#include <cmath>

#include "convert/FrameSchedule.h"

namespace movara::convert {

std::vector<std::uint64_t> AnimationDurations(const std::vector<animation::TFrameDelay>& delays) {
  std::vector<std::uint64_t> durations;
  durations.reserve(delays.size());
  // The exact clock, in ticks: the sums a movie's 65535 frames can hold stay
  // within far less than a tick of exact in a long double.
  long double clock = 0;
  std::uint64_t start = 0;
  for (const animation::TFrameDelay& d : delays) {
    clock += d.TooShort() ? kTicksPerSecond / 10.0L
                      : static_cast<long double>(d.Numerator) * kTicksPerSecond / static_cast<long double>(d.Denominator);
    const auto end = static_cast<std::uint64_t>(std::llroundl(clock));
    durations.push_back(end - start);
    start = end;
  }
  return durations;
}

}  // namespace movara::convert
