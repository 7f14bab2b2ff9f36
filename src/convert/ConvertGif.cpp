// The conversion of one GIF into a movie, step by step: load and plan,
// schedule, check the movie's limits, then write the movie as its pictures
// are made.
#include "convert/Convert.h"
#include "convert/Guarded.h"

#include <memory>

#include "convert/MoviePlan.h"
#include "convert/MovieTime.h"
#include "convert/StreamedOptimiser.h"
#include "convert/WriteMovie.h"
#include "imaging/GIFImage.h"
#include "swf/builder/FlashMovie.h"

namespace movara::convert {

namespace {

using imaging::TGIFImage;
using swf::TFlashMovie;

TConvertOutcome ConvertOne(const TConvertOptions& options, IConvertProgress* progress) {
  const unsigned fps = options.Timing.FramesPerSecond;
  TConvertOutcome outcome;
  outcome.Movie = options.Movie;

  auto gif = std::make_unique<TGIFImage>();
  std::unique_ptr<TStreamedOptimiser> optimiser;
  TMoviePlan plan;
  if (!LoadAndPlan(options, gif, optimiser, plan, progress, outcome.Reason)) {
    outcome.Code = crLoadError;
    return outcome;
  }
  outcome.Width = gif->Width();
  outcome.Height = gif->Height();
  outcome.FirstFrameTransparent = plan.FirstFrameTransparent;
  outcome.ReadTwice = optimiser != nullptr;
  const std::uint32_t passes = options.Timing.GifLoop ? GifPasses(plan.LoopCount) : 0;
  const TMovieTime time(ScheduleFrames(FrameDurations(plan.Frames), fps), passes);
  outcome.Reason = LimitProblem(plan, !options.Url.empty(), time.Frames());
  if (!outcome.Reason.empty()) {
    outcome.Code = crLoadError;
    return outcome;
  }

  TFlashMovie movie(0, 0, outcome.Width * 20, outcome.Height * 20, fps, false);
  SetUpMovie(movie, options);
  outcome.Code = WriteMovie(movie, *gif, optimiser.get(), plan, time, options, progress, outcome.Written, outcome.Reason);
  return outcome;
}

}  // namespace

TConvertOutcome ConvertGif(const TConvertOptions& options, IConvertProgress* progress) {
  return ConvertGuarded(options, progress, ConvertOne);
}

}  // namespace movara::convert
