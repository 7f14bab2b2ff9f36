#pragma once

// Test doubles of the painter's surroundings: a clock the test moves by
// hand, and a target that records the pictures it is given.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "imaging/GIFPainter.h"

namespace movara::test {

// How long a test waits (in real time) for a painter thread to get
// somewhere before it fails instead of hanging.
inline constexpr std::chrono::seconds kPainterPatience{20};

// Time moves only when the test says so. A threaded painter sleeps until
// Advance reaches its deadline; a painter inside Draw runs on the test's own
// thread, so with AutoAdvance each of its sleeps jumps to its end.
class FakeClock final : public imaging::IPainterClock {
 public:
  static constexpr std::int64_t kUntilWoken = -1;
  bool AutoAdvance = false;

  std::int64_t Now() override { return now_.load(); }

  void SleepUntil(imaging::TWakeEvent& wake, std::optional<std::int64_t> until) override {
    {
      std::lock_guard lock(mutex_);
      sleeps_.push_back(until ? *until - now_.load() : kUntilWoken);
      if (AutoAdvance) {
        if (until && *until > now_.load()) now_ = *until;
        return;
      }
      sleepers_.push_back(&wake);
    }
    changed_.notify_all();
    {
      std::unique_lock lock(wake.Mutex);
      wake.Changed.wait(lock, [&] { return wake.Signalled || (until && now_.load() >= *until); });
    }
    {
      std::lock_guard lock(mutex_);
      sleepers_.erase(std::find(sleepers_.begin(), sleepers_.end(), &wake));
    }
    changed_.notify_all();
  }

  void Advance(std::int64_t milliseconds) {
    now_ += milliseconds;
    std::lock_guard lock(mutex_);
    for (imaging::TWakeEvent* wake : sleepers_) {
      std::lock_guard wakeLock(wake->Mutex);
      wake->Changed.notify_all();
    }
  }

  // Moves time on by `milliseconds` when that wakes the painter from the
  // sleep it is in; false at once when it asked to sleep longer, where the
  // test would otherwise wait its patience out for a picture.
  bool AdvanceToWake(std::int64_t milliseconds) {
    {
      std::lock_guard lock(mutex_);
      if (sleepers_.empty() || sleeps_.back() == kUntilWoken || sleeps_.back() > milliseconds) return false;
    }
    Advance(milliseconds);
    return true;
  }

  // Waits until the painter has begun its n-th sleep (counting from 1).
  bool WaitForSleep(std::size_t n) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPainterPatience, [&] { return sleeps_.size() >= n && !sleepers_.empty(); });
  }

  // The length of every sleep asked for, in order (kUntilWoken for none).
  std::vector<std::int64_t> Sleeps() {
    std::lock_guard lock(mutex_);
    return sleeps_;
  }
  bool Sleeping() {
    std::lock_guard lock(mutex_);
    return !sleepers_.empty();
  }

 private:
  std::atomic<std::int64_t> now_{1000};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::int64_t> sleeps_;
  std::vector<imaging::TWakeEvent*> sleepers_;
};

class RecordingTarget final : public imaging::IGIFDrawTarget {
 public:
  explicit RecordingTarget(imaging::IPainterClock* clock = nullptr) : clock_(clock) {}

  void Present(std::shared_ptr<const imaging::TBitmap> picture) override {
    {
      std::lock_guard lock(mutex_);
      pictures_.push_back(std::move(picture));
      times_.push_back(clock_ != nullptr ? clock_->Now() : 0);
    }
    changed_.notify_all();
  }
  bool Valid() override { return IsValid; }
  bool ProcessMessages() override {
    ++Processed;
    if (OnProcess) OnProcess();
    return !Quitting;
  }

  bool WaitForPictures(std::size_t n) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPainterPatience, [&] { return pictures_.size() >= n; });
  }
  std::size_t Count() {
    std::lock_guard lock(mutex_);
    return pictures_.size();
  }
  std::shared_ptr<const imaging::TBitmap> Picture(std::size_t i) {
    std::lock_guard lock(mutex_);
    return pictures_.at(i);
  }
  // Clock readings at each picture.
  std::vector<std::int64_t> Times() {
    std::lock_guard lock(mutex_);
    return times_;
  }

  std::atomic<bool> IsValid{true};
  bool Quitting = false;
  int Processed = 0;
  std::function<void()> OnProcess;

 private:
  imaging::IPainterClock* clock_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::shared_ptr<const imaging::TBitmap>> pictures_;
  std::vector<std::int64_t> times_;
};

// Waits (in real time, bounded) for a condition another thread brings about.
inline bool Eventually(const std::function<bool()>& condition) {
  const auto giveUp = std::chrono::steady_clock::now() + kPainterPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > giveUp) return false;
    std::this_thread::yield();
  }
  return true;
}

}  // namespace movara::test
