#pragma once

#include <cstdint>

#include "imaging/Raster.h"

namespace movara::animation {

// The operations of animated PNG frames on a 32-bit canvas (B G R A,
// straight alpha). Rectangles lie inside the canvas (the reader checks).

// Copies `frame` into the canvas at (left, top), alpha and all.
void BlendSource(imaging::TBitmap& canvas, const imaging::TBitmap& frame, std::int32_t left, std::int32_t top);
// Lays `frame` over the canvas at (left, top) with straight alpha:
// a = fa + (255 - fa) * ba / 255 rounded; over an opaque pixel
// c = (fa * fc + (255 - fa) * bc) / 255 rounded, else
// c = (255 * fa * fc + (255 - fa) * ba * bc) / (255 * a) truncated.
void BlendOver(imaging::TBitmap& canvas, const imaging::TBitmap& frame, std::int32_t left, std::int32_t top);
// One pixel of BlendOver: foreground over background, B G R A each.
void OverPixel(const std::uint8_t* fore, std::uint8_t* back);
// Makes a rectangle of the canvas transparent black.
void ClearRect(imaging::TBitmap& canvas, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
// A copy of a rectangle of the canvas.
imaging::TBitmap CopyRect(const imaging::TBitmap& canvas, std::int32_t left, std::int32_t top, std::int32_t width,
                          std::int32_t height);

}  // namespace movara::animation
