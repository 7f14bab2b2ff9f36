#include "app/DrawnOver.h"

namespace movara::app {

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
