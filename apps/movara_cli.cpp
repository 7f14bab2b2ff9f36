// movara-cli: converts GIF files to SWF movies from a terminal.
//
//   movara-cli [--output DIR] [--url URL] [--html] FILE.gif...
//   movara-cli --folder DIR [--output DIR]
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ConsoleView.h"
#include "app/MainForm.h"
#include "base/Memory.h"

namespace {

constexpr const char* kUsage =
    "usage: movara-cli [--output DIR] [--url URL] [--html] [--quiet] FILE.gif...\n"
    "       movara-cli --folder DIR [--output DIR] [--quiet]\n"
    "\n"
    "Converts GIF images into SWF movies that play like them.\n"
    "  FILE.gif...    convert these files; a movie that exists is replaced\n"
    "  --folder DIR   convert every GIF of DIR and of its subfolders (one level)\n"
    "  --output DIR   folder for the movies (default: each GIF's own folder,\n"
    "                 with --folder the program's folder)\n"
    "  --url URL      make the movie open URL in a new window when clicked\n"
    "  --html         also write an HTML test page beside each movie\n"
    "  --quiet        print errors only\n"
    "Exit status: 0 when every file converted, else 1 (a GIF could not be read)\n"
    "or 6 (a movie could not be written).\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace movara;
  LimitHeapRetention();
  cli::TConsoleView view;
  std::filesystem::path output;
  std::filesystem::path folder;
  bool html = false;
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "movara-cli: %s needs a value\n%s", arg.c_str(), kUsage);
        std::exit(2);
      }
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--output") {
      output = value();
    } else if (arg == "--url") {
      view.Url = value();
    } else if (arg == "--folder") {
      folder = value();
    } else if (arg == "--html") {
      html = true;
    } else if (arg == "--quiet") {
      view.Quiet = true;
    } else if (arg.starts_with("--")) {
      std::fprintf(stderr, "movara-cli: unknown option %s\n%s", arg.c_str(), kUsage);
      return 2;
    } else {
      files.emplace_back(arg);
    }
  }
  if (files.empty() == folder.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  app::TMemorySettingsStore settings;
  app::TfrmMain form(view, settings, cli::ProgramFolder());
  form.WriteHtmlPage = html;
  std::error_code ec;
  if (!output.empty()) {
    if (!std::filesystem::is_directory(output, ec)) {
      std::fprintf(stderr, "movara-cli: the output folder %s does not exist\n", output.string().c_str());
      return 6;
    }
    output = std::filesystem::absolute(output, ec);
  }

  if (!folder.empty()) {
    if (!std::filesystem::is_directory(folder, ec)) {
      std::fprintf(stderr, "movara-cli: %s is not a folder\n", folder.string().c_str());
      return 2;
    }
    view.Single = false;
    view.Folder = std::filesystem::absolute(folder, ec);
    form.OutputFolder = output.empty() ? form.ProgramFolder() : output;
    form.btnStartClick();
    if (form.LastRunWriteError) return app::crWriteError;
    return form.LastRunFailed > 0 ? app::crLoadError : app::crOk;
  }

  int worst = app::crOk;
  for (const auto& file : files) {
    view.File = std::filesystem::absolute(file, ec);
    form.OutputFolder = output.empty() ? view.File.parent_path() : output;
    if (!std::filesystem::is_regular_file(view.File, ec)) {
      std::fprintf(stderr, "movara-cli: %s: no such file\n", file.string().c_str());
      worst = std::max<int>(worst, app::crLoadError);
      continue;
    }
    const int code = form.ConvertNow(view.File, "");
    if (code == app::crOk && !view.Quiet) {
      std::filesystem::path movie = form.OutputFolder / view.File.filename();
      movie.replace_extension(".swf");
      std::printf("movie: %s\n", movie.string().c_str());
    }
    if (code != app::crOk) std::fprintf(stderr, "movara-cli: %s: not converted\n", file.string().c_str());
    worst = std::max(worst, code);
  }
  return worst;
}
