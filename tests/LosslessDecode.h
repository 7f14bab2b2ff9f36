#pragma once

// Decodes the pixels of a lossless bitmap tag as a player reads them: 8-bit
// colour-mapped (RGB table, RGBA in the alpha tag, rows padded to 4 bytes)
// or 32-bit; colours stay premultiplied as stored.

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "RgbaImage.h"
#include "base/ZlibStream.h"
#include "swf/core/BitmapTags.h"

namespace movara::test {

inline RgbaImage DecodeLossless(const swf::TSWFDefineBitsLossless& tag) {
  const bool alpha = dynamic_cast<const swf::TSWFDefineBitsLossless2*>(&tag) != nullptr;
  const std::vector<std::uint8_t> raw = ZlibDecompress(tag.DataBytes(), 1u << 28);
  const std::size_t w = tag.Width, h = tag.Height;
  RgbaImage out{tag.Width, tag.Height, std::vector<std::uint8_t>(w * h * 4)};
  if (tag.BitmapFormat == swf::TSWFDefineBitsLossless::kColorMapped8) {
    const std::size_t entry = alpha ? 4 : 3, colors = tag.ColorTableSize + 1u, row = (w + 3) & ~std::size_t{3};
    if (raw.size() < colors * entry + row * h) throw std::runtime_error("colour-mapped data too short");
    for (std::size_t y = 0; y < h; ++y) {
      for (std::size_t x = 0; x < w; ++x) {
        const std::size_t index = raw[colors * entry + y * row + x];
        if (index >= colors) throw std::runtime_error("index beyond the colour table");
        const std::uint8_t* c = &raw[index * entry];
        std::uint8_t* p = &out.rgba[(y * w + x) * 4];
        p[0] = c[0], p[1] = c[1], p[2] = c[2], p[3] = alpha ? c[3] : 255;
      }
    }
    return out;
  }
  if (tag.BitmapFormat != swf::TSWFDefineBitsLossless::kRGB32) throw std::runtime_error("unexpected bitmap format");
  if (raw.size() < w * h * 4) throw std::runtime_error("bitmap data too short");
  for (std::size_t i = 0; i < w * h; ++i) {
    out.rgba[4 * i] = raw[4 * i + 1], out.rgba[4 * i + 1] = raw[4 * i + 2], out.rgba[4 * i + 2] = raw[4 * i + 3];
    out.rgba[4 * i + 3] = alpha ? raw[4 * i] : 255;
  }
  return out;
}

}  // namespace movara::test
