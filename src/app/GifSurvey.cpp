#include "app/GifSurvey.h"

#include <algorithm>
#include <array>

namespace movara::app {

using imaging::TGIFSubImage;

TGifSurvey::TGifSurvey(imaging::TGIFImage& gif) : gif_(gif) {
  gif_.FrameHandler = [this](TGIFSubImage& frame) { Take(frame); };
}

TGifSurvey::~TGifSurvey() { gif_.FrameHandler = nullptr; }

void TGifSurvey::Take(TGIFSubImage& frame) {
  frames_.push_back(FactsOf(frame));
  frameByFrame_ = frameByFrame_ && Streamable(frame);
  if (frameByFrame_ && previous_ != nullptr) {
    std::vector<std::uint8_t>().swap(previous_->PixelData());
    released_ = true;
  }
  previous_ = &frame;
}

bool TGifSurvey::Streamable(const TGIFSubImage& frame) const {
  const auto* gce = frame.GraphicControlExtension();
  if (gce == nullptr || gce->Transparent() || frame.Transparent() || frame.IsEmpty()) return false;
  const std::uint8_t disposal = frame.Disposal();
  if (disposal == 2) return false;
  if (frames_.size() == 1) {
    // The first frame covers the whole screen and stays: nothing shows the
    // background, whose colour the colour-table merge may change.
    const imaging::TGIFRect r = frame.ScreenRect();
    if (disposal == 3 || r.Left > 0 || r.Top > 0 || r.Right < gif_.Width() || r.Bottom < gif_.Height()) return false;
  }
  std::array<bool, 256> used{};
  for (const std::uint8_t p : frame.PixelData()) used[p] = true;
  const auto& colors = frame.EffectiveColorMap().Colors();
  for (std::size_t i = 0; i < used.size(); ++i) {
    if (!used[i]) continue;
    // An index beyond the table may become the merge's transparent entry;
    // the colour a black transparent entry is lifted to would turn
    // transparent where the merge adds transparency.
    if (i >= colors.size() || imaging::RGBOnly(colors[i]) == imaging::RGBOnly(imaging::MakeColor(0, 0, 1))) return false;
  }
  return true;
}

}  // namespace movara::app
