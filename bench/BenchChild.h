#pragma once

// The memory benchmarks measure each conversion in a process of its own, so
// that the peak memory reported is that conversion's alone.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "base/Memory.h"
#include "convert/Convert.h"
#include "run/MovieNames.h"

namespace movara::bench {

// Converts one file into outDir with one compression thread: the child's
// work in "--convert-one" mode.
inline int ConvertOne(const std::filesystem::path& file, const std::filesystem::path& outDir) {
  LimitHeapRetention();
  convert::TConvertOptions options;
  options.Gif = file;
  options.Movie = run::MovieFileName(outDir, file);
  options.CompressionThreads = 1;
  return convert::ConvertFile(options).Code;
}

struct TUsage {
  bool Ok = false;
  double CpuSeconds = 0;
  double PeakMiB = 0;
};

// Runs this program again with the given mode and file; its CPU time and
// peak memory.
inline TUsage RunChild(const char* self, const char* mode, const std::filesystem::path& file,
                       const std::filesystem::path& outDir) {
  const pid_t child = fork();
  if (child == 0) {
    execl(self, self, mode, file.c_str(), outDir.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  TUsage u;
  u.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  u.CpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  u.PeakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return u;
}

}  // namespace movara::bench
