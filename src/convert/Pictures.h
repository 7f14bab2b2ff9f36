#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "convert/MoviePlan.h"
#include "convert/MovieTime.h"
#include "imaging/GIFImage.h"
#include "imaging/Raster.h"
#include "swf/builder/FlashMovie.h"

namespace movara::convert {

// Adds a picture: its image, and a rectangle of the given size (the
// picture's own by default) filled with it.
swf::TFlashShape& AddPicture(swf::TFlashMovie& movie, const imaging::TBitmap& picture, std::int32_t width,
                             std::int32_t height);
inline swf::TFlashShape& AddPicture(swf::TFlashMovie& movie, const imaging::TBitmap& picture) {
  return AddPicture(movie, picture, picture.Width(), picture.Height());
}

// Full-frame mode: every movie frame a complete picture of the screen,
// composed as a GIF viewer composes it, one GIF frame after the other.
class TFullFrames {
 public:
  TFullFrames(swf::TFlashMovie& movie, int width, int height, imaging::TColor background, const TMovieTime& time);

  // Frame k's picture, for its time; a frame without a picture keeps the
  // last one on the stage for its time.
  void Add(const imaging::TGIFSubImage& frame, std::size_t k);

 private:
  swf::TFlashMovie& movie_;
  const TMovieTime& time_;
  imaging::TBitmap canvas_;
  imaging::TARGB clear_;
  int lastDepth_ = -1;
};

// Makes each optimised frame's picture in the plan's mode: full frames on a
// canvas of the screen, or layers, which need no canvas (a huge screen could
// not have one).
class TPictures {
 public:
  TPictures(swf::TFlashMovie& movie, int width, int height, const TMoviePlan& plan, const TMovieTime& time);

  void Add(const imaging::TGIFSubImage& frame, std::size_t k);

 private:
  swf::TFlashMovie& movie_;
  const TMoviePlan& plan_;
  const TMovieTime& time_;
  std::optional<TFullFrames> full_;
};

}  // namespace movara::convert
