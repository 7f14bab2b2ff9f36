#pragma once

// Bytes and seeded random numbers for the tests of every library; the bit
// engine's helpers are in TestBytes.h, above the SWF core.

#include <cstdint>
#include <random>
#include <vector>

namespace movara::test {

using Bytes = std::vector<std::uint8_t>;

// A deterministic generator, so that a failing random case can be replayed.
inline std::mt19937& Rng() {
  static std::mt19937 rng(20261207);
  return rng;
}

inline std::int32_t RandomInt(std::int32_t lo, std::int32_t hi) {
  return std::uniform_int_distribution<std::int32_t>(lo, hi)(Rng());
}

}  // namespace movara::test
