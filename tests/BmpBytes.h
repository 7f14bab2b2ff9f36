#pragma once

// BMP files built byte by byte in tests.

#include <cstdint>
#include <vector>

namespace movara::test {

inline void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

// A BMP file with an info header, the given colour table and pixel bytes.
inline std::vector<std::uint8_t> MakeBmp(std::int32_t width, std::int32_t height, std::uint16_t bits,
                                         std::uint32_t compression, const std::vector<std::uint32_t>& table,
                                         const std::vector<std::uint8_t>& pixels) {
  const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(table.size()) * 4;
  std::vector<std::uint8_t> b(offset, 0);
  b[0] = 'B', b[1] = 'M';
  Put32(b, 2, offset + static_cast<std::uint32_t>(pixels.size()));
  Put32(b, 10, offset);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(width));
  Put32(b, 22, static_cast<std::uint32_t>(height));
  b[26] = 1;
  b[28] = static_cast<std::uint8_t>(bits);
  Put32(b, 30, compression);
  for (std::size_t i = 0; i < table.size(); ++i) Put32(b, 54 + 4 * i, table[i]);
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

}  // namespace movara::test
