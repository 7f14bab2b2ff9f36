#include "imaging/PainterClock.h"

#include <chrono>
#include <utility>

namespace movara::imaging {

void TWakeEvent::Set() {
  {
    std::lock_guard lock(Mutex);
    Signalled = true;
  }
  Changed.notify_all();
}

bool TWakeEvent::Take() {
  std::lock_guard lock(Mutex);
  return std::exchange(Signalled, false);
}

std::int64_t TSteadyClock::Now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void TSteadyClock::SleepUntil(TWakeEvent& wake, std::optional<std::int64_t> until) {
  std::unique_lock lock(wake.Mutex);
  if (!until) {
    wake.Changed.wait(lock, [&wake] { return wake.Signalled; });
    return;
  }
  const std::chrono::steady_clock::time_point deadline{std::chrono::milliseconds(*until)};
  wake.Changed.wait_until(lock, deadline, [&wake] { return wake.Signalled; });
}

IPainterClock& SteadyClock() {
  static TSteadyClock clock;
  return clock;
}

}  // namespace movara::imaging
