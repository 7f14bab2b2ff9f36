#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stop_token>
#include <thread>

#include "animation/AnimationReader.h"
#include "imaging/GIFPainter.h"
#include "imaging/PainterClock.h"

namespace movara::form {

// How long the preview shows a frame of an animated PNG or WebP, in
// milliseconds: its delay, 100 for a delay of 10 ms or less, as browsers.
std::int64_t PreviewDelay(const animation::TFrameDelay& delay);

// Plays an animated PNG or WebP in the preview, on a thread of its own: each
// frame the reader composes is handed to the target as a picture of the
// canvas, then the painter sleeps for its delay. After the last frame the
// file is read again for the next play, as many plays as the file says (0:
// for ever); a still picture is shown once. Holds the reader's canvases and
// the picture being shown, whatever the number of frames; a frame that
// cannot be decoded ends the play with the pictures shown so far.
class TAnimationPainter {
 public:
  TAnimationPainter(std::filesystem::path file, std::unique_ptr<animation::TAnimationReader> reader,
                    imaging::IGIFDrawTarget& target, imaging::IPainterClock& clock);
  ~TAnimationPainter();
  TAnimationPainter(const TAnimationPainter&) = delete;
  TAnimationPainter& operator=(const TAnimationPainter&) = delete;

  void Start();
  // Ends the play and wakes a sleeping painter; the destructor waits for it.
  void Stop();
  bool Finished() const { return finished_.load(); }

 private:
  void Execute(std::stop_token stop);
  // One pass over the frames; false when the play was stopped.
  bool Play(std::stop_token stop, std::int64_t& deadline);

  const std::filesystem::path file_;
  std::unique_ptr<animation::TAnimationReader> reader_;
  imaging::IGIFDrawTarget& target_;
  imaging::IPainterClock& clock_;
  imaging::TWakeEvent wake_;
  std::atomic<bool> finished_{false};
  std::jthread thread_;
};

}  // namespace movara::form
