#pragma once

#include <cstddef>
#include <vector>

#include "app/FrameComposer.h"
#include "imaging/GIFImage.h"

namespace movara::app {

// The first pass over a GIF: as the reader hands over each frame, it keeps
// the frame's facts and learns whether the frame optimisations could change
// what a picture shows or how long a frame lasts. They cannot when every
// frame is opaque, has a graphic control extension, has pixels and uses
// only entries of its colour table, none shows the colour a transparent
// black is lifted to, none is cleared to the background, and the first one
// covers the screen and stays. The pictures of such a GIF come straight
// from its frames, in a second pass that reads them again one by one; while
// that stays possible, the survey gives back each frame's pixels once the
// next one is read, so that no more than two frames are held.
class TGifSurvey {
 public:
  // Becomes the GIF's frame handler until it is destroyed.
  explicit TGifSurvey(imaging::TGIFImage& gif);
  ~TGifSurvey();
  TGifSurvey(const TGifSurvey&) = delete;
  TGifSurvey& operator=(const TGifSurvey&) = delete;

  const std::vector<TFrameFacts>& Frames() const { return frames_; }
  // Whether the pictures can be composed frame by frame: the frames allow it
  // and there are several of them (a single frame is not optimised).
  bool FrameByFrame() const { return frameByFrame_ && frames_.size() > 1; }
  // Whether frames' pixels were given back: the GIF must be read again for
  // the whole-image conversion.
  bool Released() const { return released_; }

 private:
  void Take(imaging::TGIFSubImage& frame);
  bool Streamable(const imaging::TGIFSubImage& frame) const;

  imaging::TGIFImage& gif_;
  std::vector<TFrameFacts> frames_;
  imaging::TGIFSubImage* previous_ = nullptr;
  bool frameByFrame_ = true;
  bool released_ = false;
};

}  // namespace movara::app
