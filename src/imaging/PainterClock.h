#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

namespace movara::imaging {

// What a sleeping painter waits on besides its clock: setting the event
// cuts the sleep short (a stop does that).
class TWakeEvent {
 public:
  void Set();
  // Whether the event is set; clears it.
  bool Take();

  std::mutex Mutex;
  std::condition_variable Changed;
  bool Signalled = false;  // guarded by Mutex
};

// The painter's sense of time: a monotonic clock in milliseconds and a sleep
// on it. The program uses the steady clock; tests move time themselves.
class IPainterClock {
 public:
  virtual ~IPainterClock() = default;
  virtual std::int64_t Now() = 0;
  // Sleeps until the clock reaches `until` (for ever when empty) or the
  // event is set. Returns at once when the event is already set.
  virtual void SleepUntil(TWakeEvent& wake, std::optional<std::int64_t> until) = 0;
};

class TSteadyClock final : public IPainterClock {
 public:
  std::int64_t Now() override;
  void SleepUntil(TWakeEvent& wake, std::optional<std::int64_t> until) override;
};

// The one steady clock the program's painters share.
IPainterClock& SteadyClock();

}  // namespace movara::imaging
