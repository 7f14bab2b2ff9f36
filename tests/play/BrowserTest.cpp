// Pages are opened by $BROWSER's commands in turn, then the desktop's
// opener; a browser that cannot be started is said.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "TempDir.h"
#include "play/Browser.h"

namespace movara::play {
namespace {

using test::Bytes;
using test::TempDir;

// Sets an environment variable for a test, and puts it back.
class TEnvironment {
 public:
  TEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~TEnvironment() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A browser that writes the address it was given into `record` (whole once
// it is there).
std::filesystem::path RecordingBrowser(const TempDir& dir, const std::filesystem::path& record) {
  const std::string script =
      "#!/bin/sh\necho \"$1\" > '" + record.string() + ".new' && mv '" + record.string() + ".new' '" + record.string() + "'\n";
  const auto path = dir.Write("browser", Bytes(script.begin(), script.end()));
  ::chmod(path.c_str(), 0755);
  return path;
}

std::string WaitForText(const std::filesystem::path& file) {
  for (int i = 0; i < 500 && !std::filesystem::exists(file); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const auto bytes = ReadFileBytes(file);
  return std::string(bytes.begin(), bytes.end());
}

TEST(Browser, TheCommandsOfBrowserAreTriedInTurn) {
  TempDir dir;
  const auto browser = RecordingBrowser(dir, dir.path / "opened");
  const TEnvironment chosen("BROWSER", "no-such-browser-here:" + browser.string());
  EXPECT_TRUE(OpenBrowser("http://127.0.0.1:1/a b.html"));
  EXPECT_EQ(WaitForText(dir.path / "opened"), "http://127.0.0.1:1/a b.html\n");
}

TEST(Browser, NoCommandThatStartsIsSaid) {
  TempDir dir;
  const TEnvironment chosen("BROWSER", "no-such-browser-here");
  const TEnvironment path("PATH", dir.path.string());  // no desktop opener either
  EXPECT_FALSE(OpenBrowser("http://127.0.0.1:1/"));
}

}  // namespace
}  // namespace movara::play
