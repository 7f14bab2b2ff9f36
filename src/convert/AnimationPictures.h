#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "convert/MovieTime.h"
#include "imaging/Raster.h"
#include "swf/builder/FlashMovie.h"

namespace movara::convert {

// The pictures of an animation whose frames come composed (32-bit B G R A,
// straight alpha). The first frame is a whole picture; each later one adds
// only the rectangle of what changed, as a layer over the pictures on the
// stage, when a layer shows it exactly: every changed pixel is opaque or
// lands where the stage is transparent, so that laying it over the stage
// gives the new pixel. Unchanged pixels of the layer are transparent.
// Otherwise, or when the layers would get too deep, the frame is a whole
// picture that replaces them all. A frame that changes nothing adds no
// picture. Wholly opaque pictures are 24-bit.
class TAnimationPictures {
 public:
  TAnimationPictures(swf::TFlashMovie& movie, const TMovieTime& time);

  // Frame k's canvas, placed for its time.
  void Add(const imaging::TBitmap& canvas, std::size_t k);
  // Whether the first frame shows any transparency.
  bool FirstFrameTransparent() const { return firstTransparent_; }

 private:
  void Place(const imaging::TBitmap& picture, std::int32_t left, std::int32_t top, std::size_t k, bool replace);

  swf::TFlashMovie& movie_;
  const TMovieTime& time_;
  imaging::TBitmap previous_;
  std::vector<std::uint16_t> shown_;
  bool firstTransparent_ = false;
};

// The rectangle of pixels that differ between two canvases of one size
// (pixels that are both fully transparent do not differ); empty when none.
struct TChangedRect {
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Empty() const { return Right <= Left || Bottom <= Top; }
};
TChangedRect ChangedRect(const imaging::TBitmap& before, const imaging::TBitmap& after);

}  // namespace movara::convert
