#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "convert/MovieTime.h"
#include "imaging/Raster.h"
#include "swf/builder/FlashMovie.h"

namespace movara::convert {

// The rectangle of pixels that differ between two canvases of one size
// (pixels that are both fully transparent do not differ); empty when none.
struct TChangedRect {
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  std::int64_t Area() const { return Empty() ? 0 : std::int64_t{Right - Left} * (Bottom - Top); }
};
TChangedRect ChangedRect(const imaging::TBitmap& before, const imaging::TBitmap& after);

// The pictures of an animation whose frames come composed (32-bit B G R A,
// straight alpha). The first frame is a whole picture, the base; each later
// one adds only the rectangle of what changed, as a layer over the pictures
// on the stage, when a layer shows it exactly: every changed pixel is opaque
// or lands where the stage is transparent, so that laying it over the stage
// gives the new pixel. Unchanged pixels of a layer are transparent. When the
// layers over the base get too deep to show quickly, they are merged: one
// picture of the rectangle where the canvas differs from the base replaces
// them when it is at most half the canvas and shows the canvas exactly over
// the base; otherwise, and when no layer shows a frame exactly, a whole
// picture becomes the new base. A
// frame that changes nothing adds no picture. Wholly opaque pictures are
// 24-bit. Holds the canvas before and the base's canvas.
class TAnimationPictures {
 public:
  TAnimationPictures(swf::TFlashMovie& movie, const TMovieTime& time);

  // Frame k's canvas, placed for its time.
  void Add(const imaging::TBitmap& canvas, std::size_t k);
  // Whether the first frame shows any transparency.
  bool FirstFrameTransparent() const { return firstTransparent_; }

 private:
  void PlaceBase(const imaging::TBitmap& canvas, std::size_t k);
  void PlaceLayer(const imaging::TBitmap& picture, const TChangedRect& at, std::size_t k);
  bool Merge(const imaging::TBitmap& canvas, std::size_t k);

  swf::TFlashMovie& movie_;
  const TMovieTime& time_;
  imaging::TBitmap previous_;
  imaging::TBitmap base_;
  // The depths of the pictures on the stage: the base and the layers over it.
  std::optional<std::uint16_t> baseDepth_;
  std::vector<std::uint16_t> layers_;
  bool firstTransparent_ = false;
};

}  // namespace movara::convert
