#include "swf/builder/LosslessPixels.h"

#include <array>

namespace movara::swf {

namespace {

constexpr std::uint32_t kMaxColors = 256;

// Pixel values (A, R, G, B packed as written to the 32-bit data) and their
// indices in order of first appearance; refuses the 257th value.
class TColorIndex {
 public:
  // The index of a value, or -1 once the table is full.
  int Find(std::uint32_t argb) {
    if (argb == lastValue_ && lastIndex_ >= 0) return lastIndex_;
    std::uint32_t slot = Hash(argb);
    while (slots_[slot].Used) {
      if (slots_[slot].Value == argb) return Remember(argb, slots_[slot].Index);
      slot = (slot + 1) & (kSlots - 1);
    }
    if (Colors.size() == kMaxColors) return -1;
    slots_[slot] = {argb, static_cast<std::uint8_t>(Colors.size()), true};
    Colors.push_back(argb);
    return Remember(argb, static_cast<int>(Colors.size()) - 1);
  }

  std::vector<std::uint32_t> Colors;

 private:
  static constexpr std::uint32_t kSlots = 1024;
  static std::uint32_t Hash(std::uint32_t v) { return (v * 2654435761u) >> 22; }
  int Remember(std::uint32_t argb, int index) {
    lastValue_ = argb;
    lastIndex_ = index;
    return index;
  }
  struct TSlot {
    std::uint32_t Value = 0;
    std::uint8_t Index = 0;
    bool Used = false;
  };
  std::array<TSlot, kSlots> slots_{};
  std::uint32_t lastValue_ = 0;
  int lastIndex_ = -1;
};

// A raster pixel (B, G, R[, A]) as the 32-bit lossless data holds it.
std::uint32_t StoredValue(const std::uint8_t* p, bool alpha) {
  const std::uint8_t a = alpha ? p[3] : 255;
  if (a == 255) return 0xFF000000u | p[2] << 16 | p[1] << 8 | p[0];
  return std::uint32_t{a} << 24 | Premultiply(p[2], a) << 16 | Premultiply(p[1], a) << 8 | Premultiply(p[0], a);
}

}  // namespace

std::optional<TColorMappedPixels> MapColors(const imaging::TBitmap& raster) {
  const bool alpha = raster.PixelFormat() == imaging::TPixelFormat::pf32bit;
  const std::size_t pixelBytes = alpha ? 4 : 3;
  const auto width = static_cast<std::uint32_t>(raster.Width());
  const auto height = static_cast<std::uint32_t>(raster.Height());
  // Rows are padded to 4 bytes; a row of more than 65532 pixels would pad
  // beyond what the image records, and such pictures stay 32-bit.
  const std::uint32_t rowWidth = (width + 3) & ~3u;
  if (rowWidth > 0xFFFF) return std::nullopt;
  TColorMappedPixels mapped;
  mapped.RowWidth = static_cast<std::uint16_t>(rowWidth);
  std::vector<std::uint8_t> indices(std::size_t{mapped.RowWidth} * height);
  TColorIndex index;
  for (std::uint32_t y = 0; y < height; ++y) {
    const std::uint8_t* line = raster.ScanLine(static_cast<std::int32_t>(y));
    std::uint8_t* out = &indices[std::size_t{mapped.RowWidth} * y];
    for (std::uint32_t x = 0; x < width; ++x, line += pixelBytes) {
      const int i = index.Find(StoredValue(line, alpha));
      if (i < 0) return std::nullopt;
      out[x] = static_cast<std::uint8_t>(i);
    }
  }
  if (index.Colors.empty()) return std::nullopt;
  mapped.ColorCount = static_cast<std::uint32_t>(index.Colors.size());
  mapped.Raw.reserve(mapped.ColorCount * 4 + indices.size());
  for (const std::uint32_t c : index.Colors) {
    mapped.Raw.insert(mapped.Raw.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                         static_cast<std::uint8_t>(c)});
    if (alpha) mapped.Raw.push_back(static_cast<std::uint8_t>(c >> 24));
  }
  mapped.Raw.insert(mapped.Raw.end(), indices.begin(), indices.end());
  return mapped;
}

}  // namespace movara::swf
