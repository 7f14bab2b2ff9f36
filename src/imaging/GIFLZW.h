#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace movara::imaging {

// Decoder limits: the string table, the expansion stack, and the largest
// minimum code size whose clear code still fits the table.
inline constexpr std::uint32_t kLZWTableSize = 4096;
inline constexpr std::uint32_t kLZWStackSize = 8192;
inline constexpr std::uint8_t kLZWMaxMinCodeSize = 11;

struct TLZWResult {
  std::size_t Pixels = 0;   // pixels written
  bool Underrun = false;    // codes were wanted after the data ran out
};

// Decodes GIF LZW data (the concatenated data sub-blocks) with the given
// minimum code size into out[0 .. count). Decoding stops at the end code,
// when the data runs out, or when out is full; pixels not reached are left
// alone. data must be followed by at least 3 readable zero bytes
// (LZWPadding). Raises "译码器表项目" for a corrupt table: a minimum code
// size above 11, an entry that is its own prefix, or a chain longer than the
// expansion stack.
inline constexpr std::size_t kLZWPadding = 4;
TLZWResult DecodeLZW(std::span<const std::uint8_t> data, std::uint8_t minCodeSize, std::uint8_t* out,
                     std::size_t count);

// The most pixels the data could ever decode to, for sizing allocations.
std::uint64_t LZWPixelBound(std::size_t dataBytes, std::uint8_t minCodeSize);

}  // namespace movara::imaging
