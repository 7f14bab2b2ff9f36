// movara: the converter's main program. Without arguments it opens the
// window. Given a GIF (or a PNG or WebP) on its command line it converts it
// into the file's own folder without showing anything (and without needing
// a display), says on the error output why when it fails, and exits with the
// conversion's result code (0, 1 or 6).
#include <cstdio>
#include <string>
#include <vector>

#include "base/Memory.h"
#include "base/Printable.h"
#include "base/ProgramFolder.h"
#include "form/MainForm.h"
#include "form/SilentView.h"
#include "ui/Application.h"

int main(int argc, char** argv) {
  using namespace movara;
  LimitHeapRetention();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (form::IsCommandLineConversion(args)) {
    form::TSilentView view;
    form::TMemorySettingsStore settings;
    form::TfrmMain form(view, settings, ProgramFolder());
    form.FormCreate(args);
    // Nothing is shown on success; a failure is said, as the terminal's
    // converter says it.
    if (!form.CommandLineError.empty()) {
      std::fprintf(stderr, "movara: %s: %s\n", Printable(args[0]).c_str(), Printable(form.CommandLineError).c_str());
    }
    return form.CommandLineResult;
  }
  // A name that is not an option and not a file is a mistake, not a wish
  // for the window.
  if (!args.empty() && !args[0].empty() && args[0][0] != '-') {
    std::fprintf(stderr, "movara: %s: the file does not exist.\n", Printable(args[0]).c_str());
    return 2;
  }
  if (!ui::HaveDisplay()) {
    std::fputs("movara: there is no display to show the window on.\n"
               "usage: movara FILE converts FILE (a GIF, PNG or WebP) into a movie beside it without the window;\n"
               "movara-cli --help lists the terminal's options.\n",
               stderr);
    return 2;
  }
  return ui::RunWindow(argc, argv, args);
}
