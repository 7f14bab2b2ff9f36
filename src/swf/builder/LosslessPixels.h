#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/Raster.h"

namespace movara::swf {

// A colour channel scaled by alpha, as players read lossless data with
// alpha: a fully transparent pixel is all zero.
inline std::uint8_t Premultiply(std::uint8_t c, std::uint8_t a) { return static_cast<std::uint8_t>((c * a + 127) / 255); }

// The uncompressed data of an 8-bit colour-mapped lossless bitmap: the
// colour table (R, G, B, and A when the picture has alpha, premultiplied as
// the 32-bit data is), then one index per pixel with rows padded to 4 bytes.
struct TColorMappedPixels {
  std::vector<std::uint8_t> Raw;
  std::uint32_t ColorCount = 0;
  std::uint16_t RowWidth = 0;
};

// A 24-bit or 32-bit raster as colour-mapped data; empty when its pixels
// take more than 256 distinct values as the 32-bit data would hold them, or
// its padded rows would be wider than 65535.
std::optional<TColorMappedPixels> MapColors(const imaging::TBitmap& raster);

}  // namespace movara::swf
