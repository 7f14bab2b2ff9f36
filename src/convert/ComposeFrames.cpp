// Composing the movie's pictures: from the frames of the whole image, or
// frame by frame as a second reading hands them over.
#include "convert/ComposeFrames.h"

#include "convert/DrawnOver.h"
#include "convert/GifSurvey.h"
#include "convert/Pictures.h"
#include "imaging/GIFException.h"

namespace movara::convert {

namespace {

using imaging::TGIFImage;
using imaging::TGIFSubImage;
using swf::TFlashMovie;

// A frame's indices are not needed once its picture is made; giving them
// back keeps the decoded GIF from adding to the movie in memory. The frame
// keeps its rectangle and control data.
void ReleasePixels(TGIFSubImage& frame) { std::vector<std::uint8_t>().swap(frame.PixelData()); }

}  // namespace

void ComposeLoaded(TFlashMovie& movie, TGIFImage& gif, const TMoviePlan& plan, const TMovieTime& time,
                   const TFrameProgress& progress) {
  TPictures pictures(movie, gif.Width(), gif.Height(), plan, time);
  const auto& frames = gif.Frames();
  for (std::size_t k = 0; k < frames.size(); ++k) {
    progress.Done(k);
    pictures.Add(*frames[k], k);
    ReleasePixels(*frames[k]);
  }
}

void ComposeWhileReading(TFlashMovie& movie, const std::filesystem::path& file, const TGIFImage& surveyed,
                         const TStreamedOptimiser& optimiser, const TMoviePlan& plan, const TMovieTime& time,
                         const TFrameProgress& progress) {
  TPictures pictures(movie, surveyed.Width(), surveyed.Height(), plan, time);
  TDrawnOver over;
  TGIFImage gif;
  std::size_t read = 0, k = 0;
  const auto changed = [] { return imaging::GIFException("the GIF changed while it was converted"); };
  gif.FrameHandler = [&](TGIFSubImage& frame) {
    if (read >= optimiser.ReadFrames() || frame.IsEmpty() != optimiser.Empty(read) ||
        frame.ScreenRect() != surveyed.Frames()[read]->ScreenRect() || FrameChecksum(frame) != optimiser.Checksum(read)) {
      throw changed();
    }
    const TPixelsSeen* drawnOver = over.Over(read > 0 ? surveyed.Frames()[read - 1]->Disposal() : 0);
    over.Add(optimiser.Apply(frame, read, drawnOver, over.TakeSpare()));
    if (!optimiser.Erased(read)) {
      progress.Done(k);
      pictures.Add(frame, k++);
    }
    ReleasePixels(frame);
    frame.ColorMap().Clear();
    ++read;
  };
  gif.LoadFile(file);
  if (read != optimiser.ReadFrames()) throw changed();
}

}  // namespace movara::convert
