#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "convert/Convert.h"
#include "convert/MoviePlan.h"
#include "convert/MovieTime.h"
#include "convert/StreamedOptimiser.h"
#include "imaging/GIFImage.h"
#include "swf/builder/FlashMovie.h"

namespace movara::convert {

// The movie's settings that every conversion shares: pixel units, version
// 6, compression of the file and of its pictures.
void SetUpMovie(swf::TFlashMovie& movie, const TConvertOptions& options);

// Writes a movie through `write` into a temporary file beside the target,
// which takes the target's place only once it is complete, so that a failed
// or interrupted write loses no earlier movie; a movie to keep is kept even
// when it appeared during the conversion. Whether the movie was written; a
// file system error throws a StreamError that names the target.
bool CommitMovie(const std::filesystem::path& target, TOverwrite overwrite,
                 const std::function<void(TStream&)>& write);

// Streams the movie into its file as the frames are made: crOk, or
// crWriteError with the error's message when the file cannot be written
// (crLoadError when a second reading of the GIF fails).
int WriteMovie(swf::TFlashMovie& movie, imaging::TGIFImage& gif, const TStreamedOptimiser* optimiser,
               const TMoviePlan& plan, const TMovieTime& time, const TConvertOptions& options,
               IConvertProgress* progress, bool& written, std::string& reason);

}  // namespace movara::convert
