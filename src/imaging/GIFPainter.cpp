#include "imaging/GIFPainter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace movara::imaging {

namespace {

// Inside Draw a speed below 1 waits this long, and events are handled at
// least this often while waiting.
constexpr std::int64_t kSlowestWait = 12000;
constexpr std::int64_t kLongestStep = 100;
// What disposal 2 restores to without transparency when the GIF has no
// global colour table (the colour of a window's background).
constexpr TColor kWindowColor = MakeColor(255, 255, 255);

// A frame's rectangle on the logical screen, clipped to it.
struct TScreenRect {
  std::int32_t Left, Top, Right, Bottom;
};

TScreenRect OnScreen(const TGIFSubImage& frame, const TBitmap& canvas) {
  return {std::min<std::int32_t>(frame.Left, canvas.Width()), std::min<std::int32_t>(frame.Top, canvas.Height()),
          std::min<std::int32_t>(frame.Left + frame.Width(), canvas.Width()),
          std::min<std::int32_t>(frame.Top + frame.Height(), canvas.Height())};
}

// The colours a frame's indices show: its own table, else the global one,
// else frame 0's (the image's palette); black beyond the table.
std::array<TARGB, 256> FrameColors(const TGIFImage& image, const TGIFSubImage& frame) {
  const TGIFColorMap* map = &frame.EffectiveColorMap();
  if (map->Count() == 0 && !image.Frames().empty()) map = &image.Frames().front()->ColorMap();
  std::array<TARGB, 256> colors;
  colors.fill(MakeARGB(255, 0, 0, 0));
  const auto& entries = map->Colors();
  for (std::size_t i = 0; i < entries.size() && i < colors.size(); ++i) colors[i] = ColorToARGB(entries[i], 255);
  return colors;
}

// Draws a frame at its place, clipped to the canvas. With transparency the
// frame's transparent pixels (those its mask would mark) are skipped.
void DrawFrameOn(TBitmap& canvas, const TGIFImage& image, const TGIFSubImage& frame, bool transparent) {
  if (frame.IsEmpty()) return;
  const auto colors = FrameColors(image, frame);
  const auto* gce = frame.GraphicControlExtension();
  const int skipped = transparent && frame.Transparent() && gce != nullptr ? gce->TransparentIndex : -1;
  const TScreenRect r = OnScreen(frame, canvas);
  for (std::int32_t y = r.Top; y < r.Bottom; ++y) {
    const std::uint8_t* src = frame.PixelData().data() + static_cast<std::size_t>(y - frame.Top) * frame.Width();
    std::uint8_t* dst = canvas.ScanLine(y);
    for (std::int32_t x = r.Left; x < r.Right; ++x) {
      const std::uint8_t index = src[x - frame.Left];
      if (index != skipped) std::memcpy(dst + 4 * static_cast<std::size_t>(x), &colors[index], 4);
    }
  }
}

void FillRect(TBitmap& canvas, const TScreenRect& r, TARGB value) {
  for (std::int32_t y = r.Top; y < r.Bottom; ++y) {
    std::uint8_t* row = canvas.ScanLine(y);
    for (std::int32_t x = r.Left; x < r.Right; ++x) std::memcpy(row + 4 * static_cast<std::size_t>(x), &value, 4);
  }
}

const TGIFAppExtNSLoop* LoopExtension(const TGIFSubImage& frame) {
  for (const auto& e : frame.Extensions()) {
    const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(e.get());
    if (loop != nullptr && loop->HasCount) return loop;
  }
  return nullptr;
}

TARGB DrawingBackground(const TGIFImage& image) {
  if (image.DrawBackgroundColor) return ColorToARGB(*image.DrawBackgroundColor, 255);
  if (image.GlobalColorMap().Count() == 0) return ColorToARGB(kWindowColor, 255);
  return ColorToARGB(image.BackgroundColor(), 255);
}

}  // namespace

int PainterDelayUnits(const TGIFSubImage& frame, bool threaded) {
  const auto* gce = frame.GraphicControlExtension();
  int units = gce == nullptr || gce->Delay == 0 ? 10 : gce->Delay;
  units = std::max(units, 3);
  return threaded ? units : std::min(units, 1000);
}

std::optional<std::int64_t> PainterWait(int units, std::int64_t overrun, int speed, bool threaded) {
  if (units == 0) return 0;  // the first frame of a threaded play, at any speed
  if (speed < 1) {
    if (!threaded) return kSlowestWait;
    if (speed == 0) return std::nullopt;
    return 0;
  }
  const double planned = (static_cast<double>(units) * kMillisecondsPerUnit - static_cast<double>(overrun) / 2.0) *
                         100.0 / static_cast<double>(speed);
  const auto wait = static_cast<std::int64_t>(std::nearbyint(planned));
  return std::max<std::int64_t>(wait, threaded ? 0 : 1);
}

std::shared_ptr<const TBitmap> StillPicture(const TGIFImage& image) {
  auto picture = std::make_shared<TBitmap>(image.Width(), image.Height(), TPixelFormat::pf32bit);
  if (!image.Frames().empty()) {
    DrawFrameOn(*picture, image, *image.Frames().front(), (image.DrawOptions & doTransparent) != 0);
  }
  return picture;
}

// The pictures of one play: what the target shows and, when some frame is
// disposed of or frame 0 is cleared first, the composed picture to which the
// next frame is added.
struct TGIFPainter::TPlay {
  TBitmap Picture;
  std::optional<TBitmap> Backup;
  std::uint8_t PreviousDisposal = 0;
  int DelayUnits = 0;
  std::int64_t Overrun = 0;
};

TGIFPainter::TGIFPainter(const TGIFImage& image, IGIFDrawTarget& target, IPainterClock& clock)
    : image_(image),
      target_(target),
      clock_(clock),
      options_(image.DrawOptions),
      speed_(image.AnimationSpeed),
      threaded_((image.DrawOptions & doThreaded) != 0),
      background_(DrawingBackground(image)) {}

TGIFPainter::~TGIFPainter() {
  Stop();
  if (thread_.joinable()) thread_.join();
}

void TGIFPainter::Start() {
  thread_ = std::jthread([this] { Execute(stop_.get_token()); });
}

void TGIFPainter::Run() { Execute(stop_.get_token()); }

void TGIFPainter::Stop() { stop_.request_stop(); }

void TGIFPainter::Execute(std::stop_token stop) {
  const std::stop_callback wakeOnStop(stop, [this] { wake_.Set(); });
  try {
    const auto& frames = image_.Frames();
    TPlay play;
    play.Picture = TBitmap(image_.Width(), image_.Height(), TPixelFormat::pf32bit);
    const bool disposing = std::any_of(frames.begin(), frames.end(), [](const auto& f) {
      const auto* gce = f->GraphicControlExtension();
      return gce != nullptr && (gce->Disposal() == 2 || gce->Disposal() == 3);
    });
    if (disposing || (options_ & doClearFirst) != 0) play.Backup = play.Picture;
    play.DelayUnits = threaded_ ? 0 : 1;
    const bool looping = (options_ & doAnimate) != 0 && (options_ & doLoop) != 0;
    std::size_t loopStart = 0;
    bool loopSeen = false;
    int passes = 1;  // below 0: endless
    bool drewAny = true;
    while (drewAny && !stop.stop_requested()) {
      drewAny = false;
      for (std::size_t i = loopStart; i < frames.size() && !frames[i]->IsEmpty(); ++i) {
        if (!Wait(play, stop)) break;
        if ((options_ & doValidateTarget) != 0 && !target_.Valid()) {
          stop_.request_stop();
          break;
        }
        const TGIFSubImage& frame = *frames[i];
        const auto* gce = frame.GraphicControlExtension();
        const std::uint8_t disposal = gce != nullptr ? gce->Disposal() : 1;
        const TGIFAppExtNSLoop* loop = loopSeen ? nullptr : LoopExtension(frame);
        if (loop != nullptr) {
          loopSeen = true;
          loopStart = i;
          passes = loop->LoopCount == 0 && threaded_ ? -1 : loop->LoopCount;
        }
        DrawFrame(play, i, disposal);
        play.PreviousDisposal = disposal;
        play.DelayUnits = PainterDelayUnits(frame, threaded_);
        drewAny = true;
      }
      if (passes > 0) --passes;
      // A pass that drew nothing would repeat at once for ever.
      if (!looping || (passes == 0 && (options_ & doLoopForever) == 0)) break;
    }
  } catch (...) {
    // Nothing above a painter's thread could take the failure: the play
    // ends, as a stop ends it.
  }
  finished_ = true;
}

bool TGIFPainter::Wait(TPlay& play, std::stop_token stop) {
  const std::optional<std::int64_t> wait = PainterWait(play.DelayUnits, play.Overrun, speed_, threaded_);
  play.Overrun = 0;
  if (stop.stop_requested()) return false;
  if (wait && *wait <= 0) return true;
  const std::int64_t start = clock_.Now();
  const std::optional<std::int64_t> deadline = wait ? std::optional(start + *wait) : std::nullopt;
  if (threaded_) {
    clock_.SleepUntil(wake_, deadline);
    if (stop.stop_requested()) return false;
    // Woken early, the timing starts afresh; else an overrun shortens the next wait.
    if (!wake_.Take() && deadline) play.Overrun = std::max<std::int64_t>(clock_.Now() - *deadline, 0);
    return true;
  }
  for (std::int64_t now = start; now < *deadline; now = clock_.Now()) {
    clock_.SleepUntil(wake_, std::min(*deadline, now + kLongestStep));
    wake_.Take();
    if (!target_.ProcessMessages()) stop_.request_stop();
    if (stop.stop_requested()) return false;
  }
  play.Overrun = std::max<std::int64_t>(clock_.Now() - *deadline, 0);
  return true;
}

void TGIFPainter::DrawFrame(TPlay& play, std::size_t index, std::uint8_t disposal) {
  const TGIFSubImage& frame = *image_.Frames()[index];
  const bool transparent = (options_ & doTransparent) != 0;
  if (!play.Backup) {
    // Without disposals every frame adds to what is shown.
    DrawFrameOn(play.Picture, image_, frame, transparent);
    target_.Present(std::make_shared<const TBitmap>(play.Picture));
    return;
  }
  TBitmap& backup = *play.Backup;
  // With transparency the background is what lay beneath: nothing.
  const TARGB background = transparent ? MakeARGB(0, 0, 0, 0) : background_;
  if ((options_ & doClearFirst) != 0 && index == 0) FillRect(backup, OnScreen(frame, backup), background);
  switch (disposal) {
    case 0:
    case 1:
    case 2:
      DrawFrameOn(backup, image_, frame, transparent);
      play.Picture = backup;
      // Disposal 2: the next frame starts without this one.
      if (disposal == 2) FillRect(backup, OnScreen(frame, backup), background);
      break;
    case 3:
      // The next frame starts from the backup, which does not get this frame.
      if (play.PreviousDisposal >= 2) play.Picture = backup;
      DrawFrameOn(play.Picture, image_, frame, transparent);
      break;
    default:
      return;  // disposals 4 to 7 are not drawn
  }
  target_.Present(std::make_shared<const TBitmap>(play.Picture));
}

}  // namespace movara::imaging
