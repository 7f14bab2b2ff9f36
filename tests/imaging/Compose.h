#pragma once

// Composes the frames of a loaded GIF the way an ordinary viewer shows them:
// the screen starts transparent; each image is drawn clipped to the screen
// with its transparent index skipped; disposal 2 clears the image's rectangle
// to transparent, 3 restores the screen from before the image, the others
// leave it.

#include <cstdint>
#include <vector>

#include "Png.h"
#include "imaging/GIFImage.h"

namespace movara::test {

inline std::vector<RgbaImage> ComposeFrames(imaging::TGIFImage& gif) {
  const int w = gif.Width();
  const int h = gif.Height();
  RgbaImage screen{w, h, {}};  // allocated with the first image
  std::vector<RgbaImage> frames;
  for (const auto& frame : gif.Frames()) {
    if (frame->IsEmpty()) continue;
    if (screen.rgba.empty()) screen.rgba.assign(static_cast<std::size_t>(w) * h * 4, 0);
    const RgbaImage before = screen;
    const auto* gce = frame->GraphicControlExtension();
    const bool transparent = gce != nullptr && gce->Transparent();
    const auto& colors = frame->EffectiveColorMap().Colors();
    for (int y = 0; y < frame->Height(); ++y) {
      const int sy = frame->Top + y;
      if (sy >= h) break;
      for (int x = 0; x < frame->Width(); ++x) {
        const int sx = frame->Left + x;
        if (sx >= w) break;
        const std::uint8_t index = frame->PixelData()[static_cast<std::size_t>(y) * frame->Width() + x];
        if (transparent && index == gce->TransparentIndex) continue;
        const imaging::TColor c = index < colors.size() ? colors[index] : 0;
        std::uint8_t* p = &screen.rgba[(static_cast<std::size_t>(sy) * w + sx) * 4];
        p[0] = imaging::RedOf(c), p[1] = imaging::GreenOf(c), p[2] = imaging::BlueOf(c), p[3] = 255;
      }
    }
    frames.push_back(screen);
    const int disposal = gce != nullptr ? gce->Disposal() : 0;
    if (disposal == 2) {
      for (int y = frame->Top; y < std::min(h, frame->Top + frame->Height()); ++y) {
        for (int x = frame->Left; x < std::min(w, frame->Left + frame->Width()); ++x) {
          std::fill_n(&screen.rgba[(static_cast<std::size_t>(y) * w + x) * 4], 4, 0);
        }
      }
    } else if (disposal == 3) {
      screen = before;
    }
  }
  return frames;
}

}  // namespace movara::test
