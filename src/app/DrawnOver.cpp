#include "app/DrawnOver.h"

namespace movara::app {

using imaging::TGIFRect;

TPixelsSeen SeeFrame(imaging::TGIFSubImage& frame, int transparent, bool copy) {
  TPixelsSeen seen;
  seen.Rect = frame.ScreenRect();
  seen.Colors = frame.EffectiveColorMap().Colors();
  seen.Transparent = transparent;
  if (copy) {
    seen.Pixels = frame.PixelData();
  } else {
    seen.Pixels.swap(frame.PixelData());
  }
  return seen;
}

void ForEachRepeatedPixel(const TPixelsSeen& fn, const TPixelsSeen& fp, const std::function<void(std::size_t)>& repeated) {
  if (fn.Empty() || fp.Empty()) return;
  const TGIFRect common = imaging::Intersection(fn.Rect, fp.Rect);
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

const TPixelsSeen* TDrawnOver::Over(std::uint8_t previousDisposal) {
  if (count_ == 0) return nullptr;
  // The first frame is drawn over whatever its disposal; later ones only
  // when they do not restore.
  if (count_ == 1 || previousDisposal != 3) anchor_ = std::move(latest_);
  return &*anchor_;
}

void TDrawnOver::Add(TPixelsSeen frame) {
  latest_ = std::move(frame);
  ++count_;
}

}  // namespace movara::app
