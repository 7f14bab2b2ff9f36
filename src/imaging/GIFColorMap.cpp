#include "imaging/GIFColorMap.h"

#include "imaging/GIFException.h"
#include "imaging/GIFImage.h"
#include "imaging/GIFStreamReader.h"

namespace movara::imaging {

TColor TGIFColorMap::ColorAt(int index) const {
  if (colors_.empty()) throw GIFException(gifmsg::kEmptyColorMap);
  if (index < 0 || index >= Count()) {
    if (image_ != nullptr) image_->Warning(gifmsg::kBadColorIndex);
    return colors_[0];
  }
  return colors_[static_cast<std::size_t>(index)];
}

void TGIFColorMap::SetColorAt(int index, TColor color) {
  if (index < 0 || index >= Count()) throw GIFException(gifmsg::kBadColorIndex);
  colors_[static_cast<std::size_t>(index)] = color;
  Changed();
}

int TGIFColorMap::Add(TColor color) {
  if (Count() >= kMaxColors) throw GIFException(gifmsg::kColorMapOverflow);
  colors_.push_back(color);
  Optimized = false;
  Changed();
  return Count() - 1;
}

void TGIFColorMap::Clear() {
  colors_.clear();
  Optimized = false;
  Changed();
}

void TGIFColorMap::Assign(std::vector<TColor> colors) {
  if (colors.size() > kMaxColors) throw GIFException(gifmsg::kColorMapOverflow);
  colors_ = std::move(colors);
  Changed();
}

void TGIFColorMap::LoadFromStream(TGIFStreamReader& reader, int count) {
  std::uint8_t rgb[3 * kMaxColors];
  reader.ReadExact(rgb, 3 * static_cast<std::size_t>(count));
  colors_.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) colors_[i] = MakeColor(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
  Changed();
}

void TGIFColorMap::Changed() const {
  if (OnChange) OnChange();
}

}  // namespace movara::imaging
