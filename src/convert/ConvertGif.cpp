// The conversion of one GIF into a movie, step by step: load and plan,
// schedule, check the movie's limits, then write the movie as its pictures
// are made.
#include "convert/Convert.h"
#include "convert/Guarded.h"

#include <unistd.h>

#include <memory>
#include <system_error>

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

// Why the movie's name cannot be made in its folder, checked before the
// GIF is read; empty when it can.
std::string NameProblem(const std::filesystem::path& movie) {
  const std::string name = movie.filename().string();
  const std::filesystem::path folder = movie.has_parent_path() ? movie.parent_path() : ".";
  const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  const std::size_t most = limit > 0 ? static_cast<std::size_t>(limit) : 255;
  if (name.size() <= most) return {};
  return "the name " + name + " is longer than the folder allows (" + std::to_string(name.size()) +
         " bytes, at most " + std::to_string(most) + ")";
}

TConvertOutcome ConvertOne(const TConvertOptions& options, IConvertProgress* progress) {
  const unsigned fps = options.Timing.FramesPerSecond;
  if (fps < kMinFrameRate || fps > kMaxFrameRate) throw std::invalid_argument("frame rate out of range");
  TConvertOutcome outcome;
  outcome.Movie = options.Movie;
  std::error_code ec;
  if (options.Overwrite == TOverwrite::Keep && std::filesystem::exists(options.Movie, ec)) return outcome;
  outcome.Reason = NameProblem(options.Movie);
  if (!outcome.Reason.empty()) {
    outcome.Code = crWriteError;
    return outcome;
  }

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
