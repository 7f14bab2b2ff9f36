// Conversion speed against the floor of the work, in one run.
//
// For each of a set of large generated GIFs it prints the time of the whole
// conversion (ConvertGif: load, optimise, compose, compress, write) next to
// the floor: decoding the same GIF's frames plus zlib-compressing each
// frame's own pixels as 32-bit ARGB once at the default level, single-
// threaded. The conversion runs once with one compression thread and once
// with one per core, each in a process of its own so that its peak memory
// can be reported against the target: output size + four screen-sized ARGB
// buffers + 64 MiB.
//
//   bench/convert_bench [--keep DIR]   (DIR keeps the generated GIFs between runs)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "BenchGifs.h"
#include "GifBuilder.h"
#include "base/FileStream.h"
#include "base/Memory.h"
#include "base/MemoryStream.h"
#include "base/ZlibStream.h"
#include "convert/Convert.h"
#include "imaging/GIFImage.h"
#include "run/MovieNames.h"

namespace {

using namespace movara;
using namespace movara::bench;

struct TRun {
  double Seconds = 0;
  long PeakKiB = 0;
  std::uintmax_t Output = 0;
};

// The conversion itself, in a fresh process started for it: prints the
// seconds it took, or -1 when it failed.
int ConvertOne(const std::filesystem::path& gif, const std::filesystem::path& outDir, unsigned threads) {
  LimitHeapRetention();
  convert::TConvertOptions options;
  options.Gif = gif;
  options.Movie = run::MovieFileName(outDir, gif);
  options.CompressionThreads = threads;
  const auto start = Clock::now();
  const int code = convert::ConvertGif(options).Code;
  std::printf("%.6f\n", code == 0 ? std::chrono::duration<double>(Clock::now() - start).count() : -1.0);
  return code;
}

// Converts in a new process (started from this program, so that its peak
// memory is its own); its time, peak memory and output size.
TRun Convert(const char* self, const std::filesystem::path& gif, const std::filesystem::path& outDir, unsigned threads) {
  int pipeFd[2];
  if (pipe(pipeFd) != 0) std::exit(1);
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipeFd[1], STDOUT_FILENO);
    close(pipeFd[0]);
    close(pipeFd[1]);
    const std::string threadCount = std::to_string(threads);
    execl(self, self, "--convert-one", gif.c_str(), outDir.c_str(), threadCount.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFd[1]);
  char text[64] = {};
  const ssize_t got = read(pipeFd[0], text, sizeof text - 1);
  close(pipeFd[0]);
  TRun run;
  run.Seconds = got > 0 ? std::atof(text) : -1;
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  run.PeakKiB = usage.ru_maxrss;
  std::filesystem::path movie = outDir / gif.filename();
  movie.replace_extension(".swf");
  std::error_code ec;
  run.Output = std::filesystem::file_size(movie, ec);
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--convert-one") == 0) {
    return ConvertOne(argv[2], argv[3], static_cast<unsigned>(std::atoi(argv[4])));
  }
  std::filesystem::path keep;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--keep") == 0) keep = argv[i + 1];
  }
  const auto dir = keep.empty() ? std::filesystem::temp_directory_path() / "movara-convert-bench" : keep;
  std::filesystem::create_directories(dir);
  struct TCase {
    const char* Name;
    int Width, Height;
    test::Bytes (*Make)();
  };
  const TCase cases[] = {
      {"photo-480x360x100.gif", 480, 360, [] { return MakeAnimation(480, 360, 100); }},
      {"video-1280x720x60.gif", 1280, 720, [] { return MakeAnimation(1280, 720, 60); }},
      {"sprite-256x256x50.gif", 256, 256, [] { return MakeSprite(); }},
      {"still-2000x2000.gif", 2000, 2000, [] { return MakeAnimation(2000, 2000, 1); }},
  };
  std::printf("%-24s %9s %11s %6s %11s %6s %9s %9s %8s\n", "GIF", "floor s", "1 thread s", "ratio", "all cores s",
              "ratio", "peak MiB", "limit MiB", "out MiB");
  double floorTotal = 0, singleTotal = 0, multiTotal = 0;
  for (const auto& c : cases) {
    const auto gif = dir / c.Name;
    if (!std::filesystem::exists(gif)) WriteFileBytes(gif, c.Make());
    const test::Bytes bytes = ReadFileBytes(gif);
    double floor = 1e30;
    for (int i = 0; i < 3; ++i) floor = std::min(floor, FloorSeconds(bytes));
    // Best of three runs for each thread count; the peak memory is that of
    // the all-core run.
    const auto best = [&](unsigned threads) {
      TRun result;
      result.Seconds = 1e30;
      for (int i = 0; i < 3; ++i) {
        const TRun run = Convert(argv[0], gif, dir, threads);
        if (run.Seconds >= 0 && run.Seconds < result.Seconds) result = run;
      }
      return result;
    };
    const TRun single = best(1);
    const TRun multi = best(0);
    const double limitMiB = multi.Output / 1048576.0 + 4.0 * c.Width * c.Height * 4 / 1048576.0 + 64;
    std::printf("%-24s %9.3f %11.3f %6.2f %11.3f %6.2f %9.1f %9.1f %8.2f\n", c.Name, floor, single.Seconds,
                single.Seconds / floor, multi.Seconds, multi.Seconds / floor, multi.PeakKiB / 1024.0, limitMiB,
                multi.Output / 1048576.0);
    floorTotal += floor;
    singleTotal += single.Seconds;
    multiTotal += multi.Seconds;
  }
  std::printf("%-24s %9.3f %11.3f %6.2f %11.3f %6.2f\n", "total", floorTotal, singleTotal, singleTotal / floorTotal,
              multiTotal, multiTotal / floorTotal);
  if (keep.empty()) std::filesystem::remove_all(dir);
  return 0;
}
