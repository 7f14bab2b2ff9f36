// movara: the converter's main program. Given a GIF on its command line it
// converts it into the GIF's own folder without showing anything and exits
// with the conversion's result code (0, 1 or 6).
#include <cstdio>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "app/SilentView.h"
#include "base/Memory.h"
#include "base/ProgramFolder.h"

int main(int argc, char** argv) {
  using namespace movara;
  LimitHeapRetention();
  const std::vector<std::string> args(argv + 1, argv + argc);
  app::TSilentView view;
  app::TMemorySettingsStore settings;
  app::TfrmMain form(view, settings, ProgramFolder());
  form.FormCreate(args);
  if (form.CommandLineMode) return form.CommandLineResult;
  std::fputs("usage: movara FILE.gif\n"
             "Converts FILE.gif into a movie beside it. The window of the program is not\n"
             "available in this build; movara-cli --help lists the terminal's options.\n",
             stderr);
  return 2;
}
