#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <thread>

#include "imaging/GIFImage.h"
#include "imaging/PainterClock.h"
#include "imaging/Raster.h"

namespace movara::imaging {

// Where a GIF is drawn: it is handed each finished picture of the logical
// screen, 32 bits with alpha (0 where nothing has been drawn, so that what
// lies beneath shows through). A threaded painter calls it from its own
// thread: an implementation hands the picture over and returns at once.
class IGIFDrawTarget {
 public:
  virtual ~IGIFDrawTarget() = default;
  virtual void Present(std::shared_ptr<const TBitmap> picture) = 0;
  // Whether the target can still be drawn on (doValidateTarget).
  virtual bool Valid() { return true; }
  // Lets the application handle its events while a painter running inside
  // Draw waits; false when the application is quitting.
  virtual bool ProcessMessages() { return true; }
};

// Time a frame stays, in units of 12 ms: a frame without a control
// extension or with delay 0 counts 10, delays below 3 count 3, and inside
// Draw delays above 1000 count 1000.
inline constexpr std::int64_t kMillisecondsPerUnit = 12;
int PainterDelayUnits(const TGIFSubImage& frame, bool threaded);
// The wait before the next frame in milliseconds, from the previous frame's
// units (0 before the first frame of a threaded play: no wait), the time the
// previous wait overran and the speed in percent. Empty means until woken
// (speed 0 on a thread); never below 0 on a thread and below 1 inside Draw.
std::optional<std::int64_t> PainterWait(int units, std::int64_t overrun, int speed, bool threaded);

// Frame 0 alone, as a single-frame image or one drawn without animation
// shows it.
std::shared_ptr<const TBitmap> StillPicture(const TGIFImage& image);

// Animates an image: plays its frames with their delays, disposals and loop
// count, composing each picture of the logical screen and handing it to the
// target. The image must not change while the painter runs; the image's
// clearing, loading, optimising and destruction stop its painters first.
class TGIFPainter {
 public:
  TGIFPainter(const TGIFImage& image, IGIFDrawTarget& target, IPainterClock& clock);
  ~TGIFPainter();
  TGIFPainter(const TGIFPainter&) = delete;
  TGIFPainter& operator=(const TGIFPainter&) = delete;

  // Plays on a thread of its own.
  void Start();
  // Plays on the caller's thread, to the end of the play or a stop.
  void Run();
  // Asks the play to end and wakes a sleeping painter; the thread is waited
  // for by the destructor.
  void Stop();

  bool Threaded() const { return threaded_; }
  // Set once the play has ended, also by a failure inside it (memory for
  // the pictures, a target that throws): the target keeps what it was shown.
  bool Finished() const { return finished_.load(); }

 private:
  struct TPlay;
  void Execute(std::stop_token stop);
  // False when the play was stopped or the application quits while waiting.
  bool Wait(TPlay& play, std::stop_token stop);
  void DrawFrame(TPlay& play, std::size_t index, std::uint8_t disposal);

  const TGIFImage& image_;
  IGIFDrawTarget& target_;
  IPainterClock& clock_;
  const std::uint16_t options_;
  const int speed_;
  const bool threaded_;
  const TARGB background_;
  std::stop_source stop_;
  TWakeEvent wake_;
  std::atomic<bool> finished_{false};
  std::jthread thread_;
};

}  // namespace movara::imaging
