#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "convert/FrameComposer.h"
#include "convert/FrameSchedule.h"
#include "imaging/GIFImage.h"
#include "swf/builder/FlashMovie.h"

namespace movara::convert {

// How long each frame lasts, in ticks. A frame without an image (the
// extensions after the last image load as one) takes no time.
std::vector<std::uint64_t> FrameDurations(const std::vector<TFrameFacts>& frames);
std::vector<std::uint64_t> GifDurations(const imaging::TGIFImage& gif);

// The count of the GIF's last loop extension (the one browsers follow);
// none when it has none.
std::optional<std::uint16_t> GifLoopCount(const imaging::TGIFImage& gif);

// A movie's clock: when each GIF frame shows, and how many passes the movie
// plays before it stops on its last frame (0: it loops for ever).
class TMovieTime {
 public:
  TMovieTime(TFrameSchedule schedule, std::uint32_t passes);

  // The movie's length in frames.
  std::uint64_t Frames() const { return schedule_.End; }
  // Closes GIF frame k, after its picture (if any) is placed: ShowFrame tags
  // up to the next frame's start, none when that starts in the same movie
  // frame. The movie's last frame counts the passes and stops when they are
  // done.
  void ShowFrame(swf::TFlashMovie& movie, std::size_t k) const;

 private:
  TFrameSchedule schedule_;
  std::uint32_t passes_;
};

}  // namespace movara::convert
