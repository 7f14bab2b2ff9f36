#include "convert/AnimationPictures.h"

#include <algorithm>
#include <cstring>

#include "convert/MoviePlan.h"
#include "convert/Pictures.h"

namespace movara::convert {

namespace {

using imaging::TBitmap;
using imaging::TPixelFormat;


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

// The pixels of `rect` that differ from `before` as a layer (unchanged ones
// transparent), or false when some of them would not show exactly laid over
// `before`.
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

namespace {

void CopyCanvas(TBitmap& to, const TBitmap& from) {
  if (to.Width() != from.Width() || to.Height() != from.Height()) {
    to = from;
  } else {
    std::memcpy(to.ScanLine(0), from.ScanLine(0), from.Stride() * static_cast<std::size_t>(from.Height()));
  }
}

}  // namespace

void TAnimationPictures::PlaceBase(const TBitmap& canvas, std::size_t k) {
  swf::TFlashShape& shape = AddPicture(movie_, Stored(canvas));
  if (baseDepth_) movie_.RemoveObject(*baseDepth_, &shape);
  for (const std::uint16_t depth : layers_) movie_.RemoveObject(depth, &shape);
  baseDepth_ = static_cast<std::uint16_t>(2 * k);
  movie_.PlaceObject(shape, *baseDepth_).SetTranslate(0, 0);
  layers_.clear();
  CopyCanvas(base_, canvas);
}

void TAnimationPictures::PlaceLayer(const TBitmap& picture, const TChangedRect& at, std::size_t k) {
  swf::TFlashShape& shape = AddPicture(movie_, Stored(picture));
  const auto depth = static_cast<std::uint16_t>(2 * k);
  movie_.PlaceObject(shape, depth).SetTranslate(at.Left, at.Top);
  layers_.push_back(depth);
}

bool TAnimationPictures::Merge(const TBitmap& canvas, std::size_t k) {
  // What differs from the base is never more than what the layers over it
  // changed: a sprite that moves on leaves the base as it was behind it.
  const TChangedRect r = ChangedRect(base_, canvas);
  TBitmap merged;
  if (2 * r.Area() > std::int64_t{canvas.Width()} * canvas.Height()) return false;
  if (r.Empty()) {
    for (const std::uint16_t depth : layers_) movie_.RemoveObject(depth, nullptr);
    layers_.clear();
    return true;
  }
  if (!MakeLayer(base_, canvas, r, merged)) return false;
  swf::TFlashShape& shape = AddPicture(movie_, Stored(std::move(merged)));
  for (const std::uint16_t depth : layers_) movie_.RemoveObject(depth, &shape);
  const auto depth = static_cast<std::uint16_t>(2 * k);
  movie_.PlaceObject(shape, depth).SetTranslate(r.Left, r.Top);
  layers_.assign(1, depth);
  return true;
}

void TAnimationPictures::Add(const TBitmap& canvas, std::size_t k) {
  if (previous_.Width() == 0) {
    firstTransparent_ = !Opaque(canvas, 0, 0, canvas.Width(), canvas.Height());
    PlaceBase(canvas, k);
  } else if (const TChangedRect r = ChangedRect(previous_, canvas); !r.Empty()) {
    TBitmap layer;
    const bool whole = r.Area() == std::int64_t{canvas.Width()} * canvas.Height();
    if (whole || !MakeLayer(previous_, canvas, r, layer)) {
      PlaceBase(canvas, k);
    } else if (layers_.size() < static_cast<std::size_t>(kMaxLayers)) {
      PlaceLayer(layer, r, k);
    } else if (!Merge(canvas, k)) {
      PlaceBase(canvas, k);
    }
  }
  CopyCanvas(previous_, canvas);
  time_.ShowFrame(movie_, k);
}

}  // namespace movara::convert
