#pragma once

namespace movara::cli {

// Ctrl-C (SIGINT) and SIGTERM end a run between files: the first asks the
// run to stop once the files being converted are written, a second ends the
// program at once. Either way no partial file is left behind.
void CatchInterrupts();
// The signal that asked the run to stop; 0 while none has.
int InterruptSignal();

}  // namespace movara::cli
