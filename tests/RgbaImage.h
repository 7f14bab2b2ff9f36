#pragma once

#include <cstdint>
#include <vector>

namespace movara::test {

// A picture as tests compare them: RGBA, 4 bytes a pixel, rows top-down.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;
};

}  // namespace movara::test
