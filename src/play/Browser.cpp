#include "play/Browser.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "play/PlayerServer.h"

extern char** environ;

namespace movara::play {

namespace {

// The commands to try, in order.
std::vector<std::string> BrowserCommands() {
  std::vector<std::string> commands;
  const char* chosen = std::getenv("BROWSER");
  const std::string list = chosen != nullptr ? chosen : "";
  for (std::size_t start = 0; start < list.size();) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) commands.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  commands.emplace_back("xdg-open");
  return commands;
}

bool Start(std::string command, std::string url) {
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
  char* argv[] = {command.data(), url.data(), nullptr};
  pid_t pid = 0;
  const int failed = posix_spawnp(&pid, command.c_str(), nullptr, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  if (failed != 0) return false;
  // Collected when it ends, so that a long-lived window leaves no zombie
  // behind each page it opened.
  std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
  return true;
}

}  // namespace

bool OpenBrowser(const std::string& url) {
  for (const std::string& command : BrowserCommands()) {
    if (Start(command, url)) return true;
  }
  return false;
}

std::string FileUrl(const std::filesystem::path& file) {
  std::string url = "file://";
  for (const auto& part : file.relative_path()) url += "/" + EncodePathSegment(part.string());
  return url;
}

}  // namespace movara::play
