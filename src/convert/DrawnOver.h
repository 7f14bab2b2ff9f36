#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/Colors.h"
#include "imaging/GIFImage.h"

namespace movara::convert {

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
// The frame's pixels, moved out of it.
TPixelsSeen SeeFrame(imaging::TGIFSubImage& frame, int transparent);

// Calls `repeated` with the offset into `fn`'s pixels of every pixel that
// shows the colour `fp` shows at the same place of the screen, neither of
// them being transparent there: the pixels the optimiser makes transparent
// when fn is drawn over fp.
template <class TRepeated>
void ForEachRepeatedPixel(const TPixelsSeen& fn, const TPixelsSeen& fp, TRepeated&& repeated) {
  if (fn.Empty() || fp.Empty()) return;
  // Each index's colour, or a value no colour has where it is transparent
  // or beyond its table (one for each frame, so that two never match).
  const auto keys = [](const TPixelsSeen& f, std::uint32_t none) {
    std::array<std::uint32_t, 256> key;
    for (std::size_t i = 0; i < key.size(); ++i) {
      const bool shows = i < f.Colors.size() && static_cast<int>(i) != f.Transparent;
      key[i] = shows ? imaging::RGBOnly(f.Colors[i]) : none;
    }
    return key;
  };
  const auto keyN = keys(fn, 0xFFFFFFFF), keyP = keys(fp, 0xFFFFFFFE);
  const imaging::TGIFRect common = imaging::Intersection(fn.Rect, fp.Rect);
  const int widthN = fn.Rect.Right - fn.Rect.Left, widthP = fp.Rect.Right - fp.Rect.Left;
  for (int y = common.Top; y < common.Bottom; ++y) {
    const std::size_t rowN = static_cast<std::size_t>(y - fn.Rect.Top) * widthN + (common.Left - fn.Rect.Left);
    const std::uint8_t* a = fn.Pixels.data() + rowN;
    const std::uint8_t* b = fp.Pixels.data() + static_cast<std::size_t>(y - fp.Rect.Top) * widthP + (common.Left - fp.Rect.Left);
    for (int x = 0; x < common.Right - common.Left; ++x) {
      if (keyN[a[x]] == keyP[b[x]]) repeated(rowN + static_cast<std::size_t>(x));
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
  // The pixel buffer of a frame no longer needed, for another frame's
  // pixels: large frames then cost no new memory each.
  std::vector<std::uint8_t> TakeSpare() { return std::move(spare_); }

 private:
  void Recycle(std::optional<TPixelsSeen>& frame);

  std::optional<TPixelsSeen> anchor_;
  std::optional<TPixelsSeen> latest_;
  std::vector<std::uint8_t> spare_;
  std::size_t count_ = 0;
};

}  // namespace movara::convert
