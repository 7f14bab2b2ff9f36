#pragma once

#include <cstdint>
#include <vector>

#include "animation/AnimationReader.h"

namespace movara::convert {

// How long each frame of an animated PNG or WebP lasts, in ticks of the
// movie's schedule. Delays of 10 ms or less last 100 ms, as browsers show
// them. A delay that is no whole number of ticks (1/7 s) is rounded so that
// each frame's start is its exact time rounded: the rounding does not add
// up over the frames.
std::vector<std::uint64_t> AnimationDurations(const std::vector<animation::TFrameDelay>& delays);

}  // namespace movara::convert
