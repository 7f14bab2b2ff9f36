#include "animation/ApngCompose.h"

#include <cstring>

namespace movara::animation {

namespace {

// x / 255 rounded to the nearest, for x up to 255 * 255.
std::uint32_t Div255(std::uint32_t x) { return ((x + 128) * 257) >> 16; }

}  // namespace

void BlendSource(imaging::TBitmap& canvas, const imaging::TBitmap& frame, std::int32_t left, std::int32_t top) {
  const std::size_t bytes = 4 * static_cast<std::size_t>(frame.Width());
  for (std::int32_t y = 0; y < frame.Height(); ++y) {
    std::memcpy(canvas.ScanLine(top + y) + 4 * static_cast<std::size_t>(left), frame.ScanLine(y), bytes);
  }
}

void OverPixel(const std::uint8_t* fore, std::uint8_t* back) {
  const std::uint32_t fa = fore[3];
  if (fa == 255) {
    std::memcpy(back, fore, 4);
    return;
  }
  if (fa == 0) return;
  const std::uint32_t ba = back[3];
  const std::uint32_t a = fa + Div255((255 - fa) * ba);
  for (int c = 0; c < 3; ++c) {
    if (ba == 255) {
      back[c] = static_cast<std::uint8_t>(Div255(fa * fore[c] + (255 - fa) * back[c]));
    } else {
      // Both weights over 255 * a, truncated.
      const std::uint32_t sum = 255 * fa * fore[c] + (255 - fa) * ba * back[c];
      back[c] = static_cast<std::uint8_t>(sum / (255 * a));
    }
  }
  back[3] = static_cast<std::uint8_t>(a);
}

void BlendOver(imaging::TBitmap& canvas, const imaging::TBitmap& frame, std::int32_t left, std::int32_t top) {
  for (std::int32_t y = 0; y < frame.Height(); ++y) {
    const std::uint8_t* fore = frame.ScanLine(y);
    std::uint8_t* back = canvas.ScanLine(top + y) + 4 * static_cast<std::size_t>(left);
    for (std::int32_t x = 0; x < frame.Width(); ++x, fore += 4, back += 4) OverPixel(fore, back);
  }
}

void ClearRect(imaging::TBitmap& canvas, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height) {
  for (std::int32_t y = top; y < top + height; ++y) {
    std::memset(canvas.ScanLine(y) + 4 * static_cast<std::size_t>(left), 0, 4 * static_cast<std::size_t>(width));
  }
}

imaging::TBitmap CopyRect(const imaging::TBitmap& canvas, std::int32_t left, std::int32_t top, std::int32_t width,
                          std::int32_t height) {
  imaging::TBitmap part(width, height, imaging::TPixelFormat::pf32bit);
  for (std::int32_t y = 0; y < height; ++y) {
    std::memcpy(part.ScanLine(y), canvas.ScanLine(top + y) + 4 * static_cast<std::size_t>(left),
                4 * static_cast<std::size_t>(width));
  }
  return part;
}

}  // namespace movara::animation
