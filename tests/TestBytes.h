#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <span>
#include <vector>

#include "base/MemoryStream.h"
#include "swf/core/BitsEngine.h"

namespace movara::test {

using Bytes = std::vector<std::uint8_t>;

// Runs a writer on a fresh engine over memory and returns what it wrote.
inline Bytes Written(const std::function<void(swf::TBitsEngine&)>& write) {
  TMemoryStream stream;
  swf::TBitsEngine be(stream);
  write(be);
  return stream.Bytes();
}

// A deterministic generator, so that a failing random case can be replayed.
inline std::mt19937& Rng() {
  static std::mt19937 rng(20261207);
  return rng;
}

inline std::int32_t RandomInt(std::int32_t lo, std::int32_t hi) {
  return std::uniform_int_distribution<std::int32_t>(lo, hi)(Rng());
}

}  // namespace movara::test
