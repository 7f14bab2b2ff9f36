#pragma once

#include <string>

#include "convert/Convert.h"
#include "convert/MoviePlan.h"
#include "convert/MovieTime.h"
#include "convert/StreamedOptimiser.h"
#include "imaging/GIFImage.h"
#include "swf/builder/FlashMovie.h"

namespace movara::convert {

// Streams the movie into its file as the frames are made: crOk, or
// crWriteError with the error's message when the file cannot be written
// (crLoadError when a second reading of the GIF fails).
int WriteMovie(swf::TFlashMovie& movie, imaging::TGIFImage& gif, const TStreamedOptimiser* optimiser,
               const TMoviePlan& plan, const TMovieTime& time, const TConvertOptions& options,
               IConvertProgress* progress, bool& written, std::string& reason);

}  // namespace movara::convert
