#pragma once

#include "CliRuns.h"
#include "Terminal.h"

namespace movara::cli {

// movara-cli --play: the one file given is a movie ("FWS" or "CWS") played
// as it is, or a GIF converted first as any conversion is. Serves the
// movie's page with the player on 127.0.0.1, prints "page: URL", opens the
// browser (unless options.NoBrowser) and serves until SIGINT or SIGTERM.
// The exit status: 0 after serving, else as for a conversion.
int PlayFile(const TCliOptions& options, TTerminal& terminal);

}  // namespace movara::cli
