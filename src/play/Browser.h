#pragma once

#include <filesystem>
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

// A local file's "file://" URL (an absolute path), every segment of its
// path percent-encoded.
std::string FileUrl(const std::filesystem::path& file);

}  // namespace movara::play
