#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "convert/DrawnOver.h"
#include "convert/StreamedOptimiser.h"
#include "imaging/GIFImage.h"

namespace movara::convert {

// The first reading of a GIF. It holds the frames as the reader hands them
// over while their pixels fit in `heldBytes` (and always a single picture,
// which the movie needs whole); beyond that it keeps only
// what the optimisations need to know of each frame's pixels (the counts of
// its indices, what repeats the frame it draws over, what shows) and gives
// the pixels back, so that no more than three frames are held; the movie is
// then made from a second reading.
class TGifSurvey {
 public:
  // Becomes the GIF's frame handler until it is destroyed.
  TGifSurvey(imaging::TGIFImage& gif, std::size_t heldBytes);
  ~TGifSurvey();
  TGifSurvey(const TGifSurvey&) = delete;
  TGifSurvey& operator=(const TGifSurvey&) = delete;

  // Whether frames' pixels were given back.
  bool Released() const { return released_; }
  // Whether the facts are all a second reading needs: every index lies in
  // its table and every frame says alike whether it is transparent.
  bool Complete() const { return complete_; }
  const std::vector<TFramePixels>& Frames() const { return frames_; }
  std::vector<TFramePixels> TakeFrames() { return std::move(frames_); }

 private:
  void Take(imaging::TGIFSubImage& frame);
  void Record(imaging::TGIFSubImage& frame);

  imaging::TGIFImage& gif_;
  std::size_t heldBytes_;
  std::size_t held_ = 0;
  bool released_ = false;
  bool complete_ = true;
  std::vector<TFramePixels> frames_;
  TDrawnOver over_;
};

// A checksum of a frame as read: its pixels, its colour table and its
// control data.
std::uint64_t FrameChecksum(const imaging::TGIFSubImage& frame);

}  // namespace movara::convert
