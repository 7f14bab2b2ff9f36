#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "imaging/GIFColorMap.h"
#include "imaging/GIFExtensions.h"
#include "imaging/Raster.h"

namespace movara::imaging {

class TGIFImage;

struct TGIFRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  bool IsEmpty() const { return Left >= Right || Top >= Bottom; }
  friend bool operator==(const TGIFRect&, const TGIFRect&) = default;
};

// The part two rectangles share; empty (IsEmpty) when they do not meet.
constexpr TGIFRect Intersection(const TGIFRect& a, const TGIFRect& b) {
  return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

// The smallest rectangle of a w x h block of pixels (in its own
// coordinates) holding every pixel whose offset y * w + x `shows`; none when
// no pixel does.
template <class TShows>
std::optional<TGIFRect> BoundsWhere(int w, int h, TShows&& shows) {
  int x0 = w, y0 = h, x1 = -1, y1 = -1;
  for (int y = 0; y < h; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      if (!shows(row + static_cast<std::size_t>(x))) continue;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
  }
  if (x1 < 0) return std::nullopt;
  return TGIFRect{x0, y0, x1 + 1, y1 + 1};
}

// One frame: its descriptor, local colour table, pixel indices (rows top to
// bottom, de-interlaced) and the extensions that came before it. The bitmap,
// mask and palette are caches built on first use.
class TGIFSubImage final : public TGIFItem {
 public:
  explicit TGIFSubImage(TGIFImage* image);
  TGIFSubImage(const TGIFSubImage&) = delete;
  TGIFSubImage& operator=(const TGIFSubImage&) = delete;

  TGIFImage* Image() const { return image_; }

  std::uint16_t Left = 0;
  std::uint16_t Top = 0;
  std::uint16_t Width() const { return width_; }
  std::uint16_t Height() const { return height_; }
  // Sets the size; the pixel data is reallocated, zero-filled, and the
  // cached bitmap and mask are dropped.
  void SetSize(std::uint16_t width, std::uint16_t height);
  bool Interlaced = false;
  // The descriptor's packed byte as read.
  std::uint8_t Packed = 0;

  TGIFRect ScreenRect() const { return {Left, Top, Left + width_, Top + height_}; }
  TGIFRect LocalRect() const { return {0, 0, width_, height_}; }
  bool IsEmpty() const { return pixels_.empty() || width_ == 0 || height_ == 0; }

  TGIFColorMap& ColorMap() { return colorMap_; }
  const TGIFColorMap& ColorMap() const { return colorMap_; }
  // The local table when it has entries, else the global one when that has
  // entries, else the empty local one.
  const TGIFColorMap& EffectiveColorMap() const;

  std::vector<std::unique_ptr<TGIFExtension>>& Extensions() { return extensions_; }
  const std::vector<std::unique_ptr<TGIFExtension>>& Extensions() const { return extensions_; }
  // The first graphic control extension of the frame, or none.
  TGIFGraphicControlExtension* GraphicControlExtension() const { return gce_; }
  // Appends an extension; the first graphic control one becomes the frame's.
  TGIFExtension& AddExtension(std::unique_ptr<TGIFExtension> extension);
  // Deletes the frame's graphic control extensions (and with them transparency).
  void RemoveGraphicControlExtension();
  bool Transparent() const { return transparent_; }
  // The disposal of the graphic control extension, 0 without one.
  std::uint8_t Disposal() const { return gce_ != nullptr ? gce_->Disposal() : 0; }
  void SetTransparentFlag(bool value) { transparent_ = value; }
  // The transparent index of a frame that has one, else -1.
  int TransparentIndex() const { return transparent_ && gce_ != nullptr ? gce_->TransparentIndex : -1; }
  // The frame stops being transparent (its control extension says so too).
  void DropTransparency();

  std::vector<std::uint8_t>& PixelData() { return pixels_; }
  const std::vector<std::uint8_t>& PixelData() const { return pixels_; }
  // The index at (x, y); outside the frame raises "无效映象点座标".
  std::uint8_t Pixel(int x, int y) const;
  void SetPixel(int x, int y, std::uint8_t index);
  // Row y of the pixel data; a frame without data gets zeroed data first, a
  // frame of size zero raises "图像是空的".
  std::uint8_t* ScanLine(int y);

  // The frame rendered as an 8-bit palette bitmap of its own size; none for
  // an empty frame or when the progress handler aborts. Cached.
  const TBitmap* FrameBitmap();
  // The transparency mask (1 = transparent), rendering first if needed; none
  // when no pixel is transparent.
  const TMask* Mask();
  // The palette of the frame's bitmap.
  TPalette Palette();

  // Drops everything: extensions, local table, pixels, size, caches.
  void Clear();
  // Drops the cached bitmap and mask (after pixel or colour changes).
  void DropCaches();
  void LoadFromStream(TGIFStreamReader& reader) override;
  // A deep copy of another frame into this one (which belongs to its own image).
  void AssignFrom(const TGIFSubImage& source);

 private:
  void LoadExtensions(TGIFStreamReader& reader);
  void LoadImageData(TGIFStreamReader& reader);
  void CheckCoordinates(int x, int y) const;
  void Render();

  TGIFImage* image_;
  std::uint16_t width_ = 0;
  std::uint16_t height_ = 0;
  TGIFColorMap colorMap_;
  std::vector<std::unique_ptr<TGIFExtension>> extensions_;
  TGIFGraphicControlExtension* gce_ = nullptr;
  bool transparent_ = false;
  std::vector<std::uint8_t> pixels_;
  std::unique_ptr<TBitmap> bitmap_;
  std::unique_ptr<TMask> mask_;
  bool needMask_ = true;
  std::optional<TPalette> palette_;
};

}  // namespace movara::imaging
