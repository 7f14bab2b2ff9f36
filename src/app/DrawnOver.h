#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/Colors.h"
#include "imaging/GIFImage.h"

namespace movara::app {

// A frame as read, kept for the frames after it to compare with: its
// rectangle on the screen, its indices, its table and the index that is
// transparent in it (-1: none).
struct TPixelsSeen {
  imaging::TGIFRect Rect;
  std::vector<std::uint8_t> Pixels;
  std::vector<imaging::TColor> Colors;
  int Transparent = -1;
  bool Empty() const { return Pixels.empty(); }
};
// The frame's pixels, moved out of it, or copied when `copy`.
TPixelsSeen SeeFrame(imaging::TGIFSubImage& frame, int transparent, bool copy);

// Calls `repeated` with the offset into `fn`'s pixels of every pixel that
// shows the colour `fp` shows at the same place of the screen, neither of
// them being transparent there: the pixels the optimiser makes transparent
// when fn is drawn over fp.
template <class TRepeated>
void ForEachRepeatedPixel(const TPixelsSeen& fn, const TPixelsSeen& fp, TRepeated&& repeated) {
  if (fn.Empty() || fp.Empty()) return;
  const imaging::TGIFRect common = imaging::Intersection(fn.Rect, fp.Rect);
  const int widthN = fn.Rect.Right - fn.Rect.Left, widthP = fp.Rect.Right - fp.Rect.Left;
  for (int y = common.Top; y < common.Bottom; ++y) {
    const std::size_t rowN = static_cast<std::size_t>(y - fn.Rect.Top) * widthN;
    const std::size_t rowP = static_cast<std::size_t>(y - fp.Rect.Top) * widthP;
    for (int x = common.Left; x < common.Right; ++x) {
      const std::size_t at = rowN + static_cast<std::size_t>(x - fn.Rect.Left);
      const std::uint8_t a = fn.Pixels[at];
      const std::uint8_t b = fp.Pixels[rowP + static_cast<std::size_t>(x - fp.Rect.Left)];
      if (a == fn.Transparent || b == fp.Transparent || a >= fn.Colors.size() || b >= fp.Colors.size()) continue;
      if (imaging::RGBOnly(fn.Colors[a]) == imaging::RGBOnly(fp.Colors[b])) repeated(at);
    }
  }
}

// The frames a GIF read one by one may still need to be compared with: the
// frame a frame draws over is the one before it, passing over frames that
// restore what was there before them (disposal 3), down to the first.
class TDrawnOver {
 public:
  // The frame the next one draws over, given the disposal of the frame
  // before it after the optimiser's clean-up; none for the first frame.
  const TPixelsSeen* Over(std::uint8_t previousDisposal);
  // The next frame, once compared.
  void Add(TPixelsSeen frame);

 private:
  std::optional<TPixelsSeen> anchor_;
  std::optional<TPixelsSeen> latest_;
  std::size_t count_ = 0;
};

}  // namespace movara::app
