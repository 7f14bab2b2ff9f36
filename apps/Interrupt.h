#pragma once

#include <signal.h>

namespace movara::cli {

// Ctrl-C (SIGINT), SIGTERM and a closed terminal (SIGHUP) end a run between
// files: the first asks the run to stop once the files being converted are
// written, a second ends the program at once. Either way no partial file is
// left behind.
void CatchInterrupts();
// The signal that asked the run to stop; 0 while none has.
int InterruptSignal();
// The signals above, as a set.
sigset_t StopSignals();
// "SIGINT", "SIGTERM" or "SIGHUP".
const char* SignalName(int signal);

}  // namespace movara::cli
