#include "Interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>

#include "base/PartialFile.h"

namespace movara::cli {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> received{0};

void OnSignal(int signal) {
  int first = 0;
  if (received.compare_exchange_strong(first, signal)) return;
  RemovePartialFiles();
  ::_exit(128 + signal);
}

}  // namespace

void CatchInterrupts() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // The conversions under way go on after the first signal: their reads and
  // writes are restarted, not failed.
  action.sa_flags = SA_RESTART;
  for (const int signal : kStopSignals) sigaction(signal, &action, nullptr);
}

int InterruptSignal() { return received.load(); }

sigset_t StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : kStopSignals) sigaddset(&set, signal);
  return set;
}

const char* SignalName(int signal) {
  if (signal == SIGTERM) return "SIGTERM";
  if (signal == SIGHUP) return "SIGHUP";
  return "SIGINT";
}

}  // namespace movara::cli
