#include "convert/AnimationPictures.h"

#include <algorithm>
#include <cstring>

namespace movara::convert {

namespace {

using imaging::TBitmap;
using imaging::TPixelFormat;

// More layers over the stage than this make a picture too deep to show
// quickly; the next change is then a whole picture.
constexpr std::size_t kMaxLayers = 11;

bool Same(const std::uint8_t* a, const std::uint8_t* b) {
  return std::memcmp(a, b, 4) == 0 || (a[3] == 0 && b[3] == 0);
}

bool Opaque(const TBitmap& bitmap, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  for (std::int32_t y = top; y < bottom; ++y) {
    const std::uint8_t* p = bitmap.ScanLine(y);
    for (std::int32_t x = left; x < right; ++x) {
      if (p[4 * x + 3] != 255) return false;
    }
  }
  return true;
}

// A 24-bit copy when the picture is wholly opaque.
TBitmap Stored(TBitmap picture) {
  if (Opaque(picture, 0, 0, picture.Width(), picture.Height())) picture.SetPixelFormat(TPixelFormat::pf24bit);
  return picture;
}

// The changed pixels of `rect` as a layer (unchanged ones transparent), or
// false when some changed pixel would not show exactly over the stage.
bool MakeLayer(const TBitmap& before, const TBitmap& after, const TChangedRect& r, TBitmap& layer) {
  layer = TBitmap(r.Right - r.Left, r.Bottom - r.Top, TPixelFormat::pf32bit);
  for (std::int32_t y = r.Top; y < r.Bottom; ++y) {
    const std::uint8_t* old = before.ScanLine(y) + 4 * static_cast<std::size_t>(r.Left);
    const std::uint8_t* now = after.ScanLine(y) + 4 * static_cast<std::size_t>(r.Left);
    std::uint8_t* out = layer.ScanLine(y - r.Top);
    for (std::int32_t x = r.Left; x < r.Right; ++x, old += 4, now += 4, out += 4) {
      if (Same(old, now)) continue;  // left transparent: the stage shows through
      if (now[3] != 255 && old[3] != 0) return false;
      std::memcpy(out, now, 4);
    }
  }
  return true;
}

}  // namespace

TChangedRect ChangedRect(const TBitmap& before, const TBitmap& after) {
  TChangedRect r{after.Width(), after.Height(), 0, 0};
  for (std::int32_t y = 0; y < after.Height(); ++y) {
    const std::uint8_t* a = before.ScanLine(y);
    const std::uint8_t* b = after.ScanLine(y);
    std::int32_t x = 0;
    while (x < after.Width() && Same(a + 4 * x, b + 4 * x)) ++x;
    if (x == after.Width()) continue;
    std::int32_t last = after.Width() - 1;
    while (last > x && Same(a + 4 * last, b + 4 * last)) --last;
    r.Left = std::min(r.Left, x), r.Right = std::max(r.Right, last + 1);
    r.Top = std::min(r.Top, y), r.Bottom = y + 1;
  }
  return r.Right > r.Left ? r : TChangedRect{};
}

TAnimationPictures::TAnimationPictures(swf::TFlashMovie& movie, const TMovieTime& time) : movie_(movie), time_(time) {}

void TAnimationPictures::Place(const TBitmap& picture, std::int32_t left, std::int32_t top, std::size_t k,
                               bool replace) {
  swf::TFlashImage& image = movie_.AddImage(picture);
  swf::TFlashShape& shape = movie_.AddRectangle(0, 0, picture.Width(), picture.Height());
  shape.SetImageFill(image, 1, 1.0, 1.0);
  if (replace) {
    for (const std::uint16_t depth : shown_) movie_.RemoveObject(depth, &shape);
    shown_.clear();
  }
  const auto depth = static_cast<std::uint16_t>(2 * k);
  movie_.PlaceObject(shape, depth).SetTranslate(left, top);
  shown_.push_back(depth);
}

void TAnimationPictures::Add(const TBitmap& canvas, std::size_t k) {
  if (previous_.Width() == 0) {
    firstTransparent_ = !Opaque(canvas, 0, 0, canvas.Width(), canvas.Height());
    Place(Stored(canvas), 0, 0, k, true);
    previous_ = canvas;
    time_.ShowFrame(movie_, k);
    return;
  }
  const TChangedRect r = ChangedRect(previous_, canvas);
  if (!r.Empty()) {
    const bool whole = r.Left == 0 && r.Top == 0 && r.Right == canvas.Width() && r.Bottom == canvas.Height();
    TBitmap layer;
    if (!whole && shown_.size() < kMaxLayers && MakeLayer(previous_, canvas, r, layer)) {
      Place(Stored(std::move(layer)), r.Left, r.Top, k, false);
    } else {
      Place(Stored(canvas), 0, 0, k, true);
    }
    std::memcpy(previous_.ScanLine(0), canvas.ScanLine(0), canvas.Stride() * static_cast<std::size_t>(canvas.Height()));
  }
  time_.ShowFrame(movie_, k);
}

}  // namespace movara::convert
