#pragma once

#include <cstddef>
#include <filesystem>

#include "convert/Convert.h"
#include "convert/MoviePlan.h"
#include "convert/MovieTime.h"
#include "convert/StreamedOptimiser.h"
#include "imaging/GIFImage.h"
#include "swf/builder/FlashMovie.h"

namespace movara::convert {

// Reports frames done to an optional listener.
class TFrameProgress {
 public:
  TFrameProgress(IConvertProgress* sink, std::size_t total) : sink_(sink), total_(total) {}
  void Done(std::size_t frames) const {
    if (sink_ != nullptr) sink_->FramesDone(frames, total_);
  }

 private:
  IConvertProgress* sink_;
  std::size_t total_;
};

// The pictures of the whole image, loaded and optimised.
void ComposeLoaded(swf::TFlashMovie& movie, imaging::TGIFImage& gif, const TMoviePlan& plan, const TMovieTime& time,
                   const TFrameProgress& progress);

// The second reading of a GIF whose frames the first gave back: each frame
// becomes its optimised self and its picture as the reader hands it over,
// then gives its pixels back. Throws GIFException when the GIF is not the
// one the first reading saw.
void ComposeWhileReading(swf::TFlashMovie& movie, const std::filesystem::path& file,
                         const imaging::TGIFImage& surveyed, const TStreamedOptimiser& optimiser,
                         const TMoviePlan& plan, const TMovieTime& time, const TFrameProgress& progress);

}  // namespace movara::convert
