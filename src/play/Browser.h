#pragma once

#include <string>

namespace movara::play {

// Starts the user's browser on a URL without waiting for it: each command
// of $BROWSER in turn (colon-separated) until one starts, else the
// desktop's opener (xdg-open). The browser runs in a process group of its
// own with no signal held back, so that a Ctrl-C, a closed terminal or a
// closed window leaves it open. False when no command could be started;
// a browser that starts and then fails is not seen here, which is why
// callers show the address too.
bool OpenBrowser(const std::string& url);

}  // namespace movara::play
