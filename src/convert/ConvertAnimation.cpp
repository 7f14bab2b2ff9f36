// The conversion of an animated (or still) PNG or WebP into a movie: the
// reader's composed frames, scheduled like a GIF's, stored as whole pictures
// or as layers of what changed.
#include <memory>

#include "animation/AnimationReader.h"
#include "convert/AnimationPictures.h"
#include "convert/AnimationTime.h"
#include "convert/ComposeFrames.h"
#include "convert/Convert.h"
#include "convert/Guarded.h"
#include "convert/LinkButton.h"
#include "convert/MoviePlan.h"
#include "convert/MovieTime.h"
#include "convert/WriteMovie.h"
#include "swf/builder/FlashMovie.h"

namespace movara::convert {

namespace {

using animation::AnimationError;
using animation::TAnimationReader;

// Why the animation does not fit a movie: a side beyond a bitmap's 16 bits,
// or the frames or their time beyond the movie's fields (as for a GIF, each
// frame counted as a picture).
std::string AnimationLimitProblem(const TAnimationReader& reader, bool link, std::uint64_t movieFrames) {
  if (reader.Width() > 0xFFFF || reader.Height() > 0xFFFF) {
    return "the picture is " + std::to_string(reader.Width()) + " x " + std::to_string(reader.Height()) +
           " pixels (a movie holds at most 65535 x 65535)";
  }
  TMoviePlan plan;
  plan.LoadedFrames = reader.FrameCount();
  plan.Frames.resize(reader.FrameCount());
  return LimitProblem(plan, link, movieFrames);
}

void BuildAnimation(swf::TFlashMovie& movie, TAnimationReader& reader, const TConvertOptions& options,
                    IConvertProgress* progress, TAnimationPictures& pictures) {
  if (!options.Url.empty()) {
    AddLinkButton(movie, options.Url, reader.Width(), reader.Height(),
                  static_cast<std::uint16_t>(2 * reader.FrameCount()));
  }
  const TFrameProgress frames(progress, reader.FrameCount());
  std::size_t k = 0;
  while (const imaging::TBitmap* canvas = reader.NextFrame()) {
    frames.Done(k);
    pictures.Add(*canvas, k++);
  }
  frames.Done(k);
}

int WriteAnimation(TAnimationReader& reader, const TMovieTime& time, const TConvertOptions& options,
                   IConvertProgress* progress, TConvertOutcome& outcome) {
  swf::TFlashMovie movie(0, 0, reader.Width() * 20, reader.Height() * 20, options.Timing.FramesPerSecond, false);
  SetUpMovie(movie, options);
  TAnimationPictures pictures(movie, time);
  try {
    outcome.Written = CommitMovie(options.Movie, options.Overwrite, [&](TStream& out) {
      movie.BeginStream(out, static_cast<std::uint16_t>(time.Frames()));
      BuildAnimation(movie, reader, options, progress, pictures);
      movie.EndStream();
    });
    outcome.FirstFrameTransparent = pictures.FirstFrameTransparent();
    return crOk;
  } catch (const AnimationError& e) {
    outcome.Reason = e.what();
    return crLoadError;
  } catch (const StreamError& e) {
    outcome.Reason = e.what();
  }
  return crWriteError;
}

TConvertOutcome ConvertOneAnimation(const TConvertOptions& options, IConvertProgress* progress) {
  const unsigned fps = options.Timing.FramesPerSecond;
  TConvertOutcome outcome;
  outcome.Movie = options.Movie;
  std::unique_ptr<TAnimationReader> reader;
  try {
    reader = animation::OpenAnimation(options.Gif);
  } catch (const AnimationError& e) {
    outcome.Code = crLoadError;
    outcome.Reason = e.what();
    return outcome;
  }
  if (progress != nullptr) progress->FramesDone(0, reader->FrameCount());
  outcome.Width = reader->Width();
  outcome.Height = reader->Height();
  // Plays as the file says (0: for ever) under --loop, else for ever.
  const std::uint32_t passes = options.Timing.GifLoop ? reader->Plays() : 0;
  const TMovieTime time(ScheduleFrames(AnimationDurations(reader->Delays()), fps), passes);
  outcome.Reason = AnimationLimitProblem(*reader, !options.Url.empty(), time.Frames());
  if (!outcome.Reason.empty()) {
    outcome.Code = crLoadError;
    return outcome;
  }
  outcome.Code = WriteAnimation(*reader, time, options, progress, outcome);
  return outcome;
}

}  // namespace

TConvertOutcome ConvertAnimation(const TConvertOptions& options, IConvertProgress* progress) {
  return ConvertGuarded(options, progress, ConvertOneAnimation);
}

TConvertOutcome ConvertFile(const TConvertOptions& options, IConvertProgress* progress) {
  switch (animation::KindOfFile(options.Gif)) {
    case animation::TAnimationKind::Png:
    case animation::TAnimationKind::WebP: return ConvertAnimation(options, progress);
    default: return ConvertGif(options, progress);
  }
}

}  // namespace movara::convert
