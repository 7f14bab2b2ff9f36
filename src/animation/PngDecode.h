#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/Raster.h"

namespace movara::animation {

// What a frame's data needs of the file around it to be decoded as a PNG of
// its own: the header (whose size each frame replaces), the palette and the
// transparency chunk.
struct TPngHeader {
  std::array<std::uint8_t, 13> Ihdr{};
  std::vector<std::uint8_t> Palette;
  std::vector<std::uint8_t> Transparency;
};

// Decodes one frame's compressed image data (the payload of its IDAT or
// fdAT chunks, in order) of the given size into a 32-bit B G R A raster,
// straight alpha: palettes, grey levels and transparency chunks are
// expanded, 16-bit samples rounded to 8 bits. Throws AnimationError with
// libpng's reason when the data is bad.
imaging::TBitmap DecodePngFrame(const TPngHeader& header, std::uint32_t width, std::uint32_t height,
                                const std::vector<std::uint8_t>& data);

// Bits a pixel takes in a PNG of this colour type and bit depth; 0 for a
// combination PNG does not allow.
unsigned PngBitsPerPixel(std::uint8_t colorType, std::uint8_t bitDepth);

}  // namespace movara::animation
