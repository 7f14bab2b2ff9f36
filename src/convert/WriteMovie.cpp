// Writing a movie into its file as its frames are made, and putting it in
// its target's place once complete.
#include "convert/WriteMovie.h"

#include <functional>
#include <system_error>

#include "base/PartialFile.h"
#include "base/Stream.h"
#include "convert/ComposeFrames.h"
#include "convert/LinkButton.h"
#include "imaging/GIFException.h"

namespace movara::convert {

namespace {

using imaging::TGIFImage;
using swf::TFlashMovie;

// Adds the link button and every frame's picture to the movie.
void BuildMovie(TFlashMovie& movie, TGIFImage& gif, const TStreamedOptimiser* optimiser, const TMoviePlan& plan,
                const TMovieTime& time, const TConvertOptions& options, IConvertProgress* progress) {
  if (!options.Url.empty()) {
    AddLinkButton(movie, options.Url, gif.Width(), gif.Height(), static_cast<std::uint16_t>(2 * plan.LoadedFrames));
  }
  const TFrameProgress frames(progress, plan.Frames.size());
  if (optimiser != nullptr) {
    ComposeWhileReading(movie, options.Gif, gif, *optimiser, plan, time, frames);
  } else {
    ComposeLoaded(movie, gif, plan, time, frames);
  }
  frames.Done(plan.Frames.size());
}

}  // namespace

void SetUpMovie(TFlashMovie& movie, const TConvertOptions& options) {
  movie.SetPixelUnits(true);
  movie.SetVersion(6);
  movie.SetCompressed(options.Compress);
  movie.Protect = false;
  movie.CompactImages = options.Compact;
  // Pictures compress on every core while the next one is composed.
  if (options.CompressionThreads != 1) movie.SetCompressionThreads(options.CompressionThreads);
}

bool CommitMovie(const std::filesystem::path& target, TOverwrite overwrite,
                 const std::function<void(TStream&)>& write) {
  try {
    TPartialFile partial(target);
    write(partial.Stream());
    return partial.Commit(overwrite == TOverwrite::Replace);
  } catch (const std::filesystem::filesystem_error& e) {
    // The temporary file is the program's own business: the movie is named.
    throw StreamError("cannot write \"" + target.string() + "\": " + e.code().message());
  }
}

int WriteMovie(TFlashMovie& movie, TGIFImage& gif, const TStreamedOptimiser* optimiser, const TMoviePlan& plan,
               const TMovieTime& time, const TConvertOptions& options, IConvertProgress* progress, bool& written,
               std::string& reason) {
  try {
    written = CommitMovie(options.Movie, options.Overwrite, [&](TStream& out) {
      movie.BeginStream(out, static_cast<std::uint16_t>(time.Frames()));
      BuildMovie(movie, gif, optimiser, plan, time, options, progress);
      movie.EndStream();
    });
    return crOk;
  } catch (const imaging::GIFException& e) {
    reason = e.what();
    return crLoadError;
  } catch (const StreamError& e) {
    reason = e.what();
  }
  return crWriteError;
}

}  // namespace movara::convert
