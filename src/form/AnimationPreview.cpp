#include "form/AnimationPreview.h"

namespace movara::form {

std::int64_t PreviewDelay(const animation::TFrameDelay& delay) {
  return delay.TooShort() ? 100 : std::int64_t{delay.Numerator} * 1000 / delay.Denominator;
}

TAnimationPainter::TAnimationPainter(std::filesystem::path file, std::unique_ptr<animation::TAnimationReader> reader,
                                     imaging::IGIFDrawTarget& target, imaging::IPainterClock& clock)
    : file_(std::move(file)), reader_(std::move(reader)), target_(target), clock_(clock) {}

TAnimationPainter::~TAnimationPainter() { Stop(); }

void TAnimationPainter::Start() {
  thread_ = std::jthread([this](std::stop_token stop) { Execute(stop); });
}

void TAnimationPainter::Stop() {
  thread_.request_stop();
  wake_.Set();
}

bool TAnimationPainter::Play(std::stop_token stop, std::int64_t& deadline) {
  std::size_t k = 0;
  while (const imaging::TBitmap* canvas = reader_->NextFrame()) {
    if (stop.stop_requested() || !target_.Valid()) return false;
    target_.Present(std::make_shared<const imaging::TBitmap>(*canvas));
    if (reader_->FrameCount() == 1) return true;
    deadline += PreviewDelay(reader_->Delays()[k++]);
    clock_.SleepUntil(wake_, deadline);
  }
  return !stop.stop_requested();
}

void TAnimationPainter::Execute(std::stop_token stop) {
  try {
    const std::uint32_t plays = reader_->Plays();
    std::int64_t deadline = clock_.Now();
    for (std::uint32_t played = 1; Play(stop, deadline); ++played) {
      if (reader_->FrameCount() == 1 || (plays != 0 && played >= plays)) break;
      reader_ = animation::OpenAnimation(file_);
    }
  } catch (const std::exception&) {
    // The pictures shown so far stay; a file that changed or went is not
    // the preview's to report.
  }
  finished_ = true;
}

}  // namespace movara::form
