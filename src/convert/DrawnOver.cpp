#include "convert/DrawnOver.h"

namespace movara::convert {

TPixelsSeen SeeFrame(imaging::TGIFSubImage& frame, int transparent) {
  TPixelsSeen seen;
  seen.Rect = frame.ScreenRect();
  seen.Colors = frame.EffectiveColorMap().Colors();
  seen.Transparent = transparent;
  seen.Pixels.swap(frame.PixelData());
  return seen;
}

const TPixelsSeen* TDrawnOver::Over(std::uint8_t previousDisposal) {
  if (count_ == 0) return nullptr;
  // The first frame is drawn over whatever its disposal; later ones only
  // when they do not restore.
  if (count_ == 1 || previousDisposal != 3) {
    Recycle(anchor_);
    anchor_ = std::move(latest_);
    latest_.reset();
  }
  return &*anchor_;
}

void TDrawnOver::Add(TPixelsSeen frame) {
  Recycle(latest_);
  latest_ = std::move(frame);
  ++count_;
}

void TDrawnOver::Recycle(std::optional<TPixelsSeen>& frame) {
  if (frame && frame->Pixels.capacity() > spare_.capacity()) spare_ = std::move(frame->Pixels);
  frame.reset();
}

}  // namespace movara::convert
