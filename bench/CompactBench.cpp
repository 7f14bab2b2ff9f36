// Compact movies and batch throughput, against the floor of the same run.
//
// Part 1, the bench GIFs: movara-cli converts each (in a process of its own,
// so that its CPU time and peak memory are its own) by default, with
// --compact and with --compact --compress; next to two floors: the 32-bit
// floor (decode, then zlib of each frame's own pixels as ARGB) and the 8-bit
// floor (decode, then zlib of each frame's own indices, rows padded to 4
// bytes, with its colour table). It also shows what zlib and libdeflate at
// several levels make of the 8-bit data, which chose the compact path's
// deflater.
//
// Part 2, a batch of small GIFs (the corpus files under 100 KB, eight copies
// each): a folder run with --jobs 1 and --jobs N (N cores), wall and CPU
// time, peak memory and output, and whether the movies are the same.
//
//   bench/compact_bench [--cli PATH/movara-cli] [--keep DIR]

#include <fcntl.h>
#include <libdeflate.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "BenchGifs.h"
#include "base/FileStream.h"
#include "base/Memory.h"

namespace {

using namespace movara;
using namespace movara::bench;

struct TRun {
  double Wall = 0;
  double Cpu = 0;
  double PeakMiB = 0;
  std::uintmax_t Output = 0;
  int Code = -1;
};

std::uintmax_t FolderBytes(const std::filesystem::path& dir) {
  std::uintmax_t total = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    if (e.is_regular_file() && e.path().extension() == ".swf") total += e.file_size();
  }
  return total;
}

// Starts the converter's processes from a small process forked before the
// benchmark allocates anything: a process's peak memory counts what it had
// before it exec'd, so children of the benchmark itself would all report
// its own size.
class TSpawner {
 public:
  TSpawner() {
    if (pipe2(requests_, O_CLOEXEC) != 0 || pipe2(replies_, O_CLOEXEC) != 0) std::exit(1);
    if (fork() == 0) {
      // Only the benchmark may hold the request pipe's writing end: the
      // spawner ends when the benchmark does and the pipe reads end of file.
      close(requests_[1]);
      close(replies_[0]);
      Serve();
      _exit(0);
    }
    close(requests_[0]);
    close(replies_[1]);
  }

  // Runs argv; its status and resource usage.
  std::pair<int, rusage> Run(const std::vector<std::string>& args) {
    std::string joined;
    for (const auto& a : args) joined += a + '\0';
    const std::uint32_t size = static_cast<std::uint32_t>(joined.size());
    Write(requests_[1], &size, sizeof size);
    Write(requests_[1], joined.data(), size);
    std::pair<int, rusage> reply{};
    Read(replies_[0], &reply.first, sizeof reply.first);
    Read(replies_[0], &reply.second, sizeof reply.second);
    return reply;
  }

 private:
  void Serve() {
    std::uint32_t size = 0;
    while (Read(requests_[0], &size, sizeof size)) {
      std::string joined(size, '\0');
      Read(requests_[0], joined.data(), size);
      std::vector<char*> argv;
      for (std::size_t at = 0; at < joined.size(); at = joined.find('\0', at) + 1) argv.push_back(&joined[at]);
      argv.push_back(nullptr);
      const pid_t child = fork();
      if (child == 0) {
        // The batch's unreadable GIFs are reported on standard error.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
      }
      int status = 0;
      rusage usage{};
      wait4(child, &status, 0, &usage);
      Write(replies_[1], &status, sizeof status);
      Write(replies_[1], &usage, sizeof usage);
    }
  }
  static bool Read(int fd, void* data, std::size_t size) {
    auto* p = static_cast<char*>(data);
    while (size > 0) {
      const ssize_t got = read(fd, p, size);
      if (got <= 0) return false;
      p += got, size -= static_cast<std::size_t>(got);
    }
    return true;
  }
  static void Write(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
      const ssize_t put = write(fd, p, size);
      if (put <= 0) std::exit(1);
      p += put, size -= static_cast<std::size_t>(put);
    }
  }
  int requests_[2] = {-1, -1};
  int replies_[2] = {-1, -1};
};

TSpawner* spawner = nullptr;

// Runs the converter in a process of its own: its wall and CPU time, peak
// memory, exit code and the movies it left in `out`.
TRun RunCli(const std::filesystem::path& cli, std::vector<std::string> args, const std::filesystem::path& out) {
  std::filesystem::remove_all(out);
  std::filesystem::create_directories(out);
  args.insert(args.begin(), {cli.string(), "--quiet", "--output", out.string()});
  const auto start = Clock::now();
  const auto [status, usage] = spawner->Run(args);
  TRun run;
  run.Wall = std::chrono::duration<double>(Clock::now() - start).count();
  run.Cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
  run.PeakMiB = usage.ru_maxrss / 1024.0;
  run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Output = FolderBytes(out);
  return run;
}

TRun Best(const std::function<TRun()>& run) {
  TRun best;
  best.Cpu = 1e30;
  for (int i = 0; i < 3; ++i) {
    const TRun r = run();
    if (r.Code == 0 && r.Cpu < best.Cpu) best = r;
  }
  return best;
}

double CpuNow() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

// Each non-empty frame's indices, rows padded to 4 bytes, after its colour
// table as RGBA: the 8-bit data of the frame's own rectangle.
std::vector<std::vector<std::uint8_t>> EightBitFrames(const imaging::TGIFImage& gif) {
  std::vector<std::vector<std::uint8_t>> frames;
  for (const auto& f : gif.Frames()) {
    if (f->IsEmpty()) continue;
    const auto& colors = f->EffectiveColorMap().Colors();
    std::vector<std::uint8_t> data;
    for (const imaging::TColor c : colors) {
      data.insert(data.end(), {imaging::RedOf(c), imaging::GreenOf(c), imaging::BlueOf(c), 255});
    }
    const std::size_t w = static_cast<std::size_t>(f->Width()), row = (w + 3) & ~std::size_t{3};
    for (std::size_t y = 0; y < static_cast<std::size_t>(f->Height()); ++y) {
      data.insert(data.end(), f->PixelData().begin() + static_cast<std::ptrdiff_t>(y * w),
                  f->PixelData().begin() + static_cast<std::ptrdiff_t>((y + 1) * w));
      data.resize(data.size() + row - w);
    }
    frames.push_back(std::move(data));
  }
  return frames;
}

struct TFloor {
  double Cpu = 0;
  std::uintmax_t Bytes = 0;
};

// Decoding plus one deflater over every frame's 8-bit data, best of three.
TFloor EightBitFloor(const test::Bytes& gifBytes,
                     const std::function<std::size_t(const std::vector<std::uint8_t>&)>& deflate) {
  TFloor best{1e30, 0};
  for (int i = 0; i < 3; ++i) {
    const double start = CpuNow();
    imaging::TGIFImage gif;
    TMemoryViewStream stream(gifBytes);
    gif.LoadFromStream(stream);
    std::uintmax_t bytes = 0;
    for (const auto& frame : EightBitFrames(gif)) bytes += deflate(frame);
    const double cpu = CpuNow() - start;
    if (cpu < best.Cpu) best = {cpu, bytes};
  }
  return best;
}

std::size_t Libdeflate(const std::vector<std::uint8_t>& data, int level) {
  libdeflate_compressor* c = libdeflate_alloc_compressor(level);
  std::vector<std::uint8_t> out(libdeflate_zlib_compress_bound(c, data.size()));
  const std::size_t size = libdeflate_zlib_compress(c, data.data(), data.size(), out.data(), out.size());
  libdeflate_free_compressor(c);
  return size;
}

void BenchGifs(const std::filesystem::path& cli, const std::filesystem::path& dir) {
  struct TCase {
    const char* Name;
    test::Bytes (*Make)();
  };
  const TCase cases[] = {
      {"photo-480x360x100.gif", [] { return MakeAnimation(480, 360, 100); }},
      {"video-1280x720x60.gif", [] { return MakeAnimation(1280, 720, 60); }},
  };
  std::printf("\nBench GIFs: CPU and wall seconds, peak MiB, output MB; ratios to the floors\n");
  std::printf("%-22s %-18s %7s %7s %7s %8s %9s %9s %9s\n", "GIF", "run", "CPU s", "wall s", "peak", "out MB",
              "CPU/8bit", "out/8bit", "CPU/32bit");
  for (const auto& c : cases) {
    const auto gif = dir / c.Name;
    if (!std::filesystem::exists(gif)) WriteFileBytes(gif, c.Make());
    const test::Bytes bytes = ReadFileBytes(gif);
    double floor32 = 1e30;
    for (int i = 0; i < 3; ++i) {
      const double start = CpuNow();
      FloorSeconds(bytes);
      floor32 = std::min(floor32, CpuNow() - start);
    }
    const TFloor floor8 = EightBitFloor(bytes, [](const auto& d) { return ZlibCompress(d).size(); });
    std::printf("%-22s %-18s %7.3f\n", c.Name, "floor 32-bit", floor32);
    std::printf("%-22s %-18s %7.3f %7s %7s %8.2f\n", c.Name, "floor 8-bit (zlib)", floor8.Cpu, "", "",
                floor8.Bytes / 1e6);
    for (const int level : {1, 4, 6, 9}) {
      const TFloor f = EightBitFloor(bytes, [level](const auto& d) { return Libdeflate(d, level); });
      const std::string name = "8-bit libdeflate " + std::to_string(level);
      std::printf("%-22s %-18s %7.3f %7s %7s %8.2f %9.2f %9.3f\n", c.Name, name.c_str(), f.Cpu, "", "", f.Bytes / 1e6,
                  f.Cpu / floor8.Cpu, static_cast<double>(f.Bytes) / floor8.Bytes);
    }
    const std::pair<const char*, std::vector<std::string>> runs[] = {
        {"default", {}}, {"--compact", {"--compact"}}, {"--compact --compress", {"--compact", "--compress"}}};
    for (const auto& [name, flags] : runs) {
      std::vector<std::string> args = flags;
      args.push_back(gif.string());
      const TRun r = Best([&] { return RunCli(cli, args, dir / "out"); });
      std::printf("%-22s %-18s %7.3f %7.3f %7.1f %8.2f %9.2f %9.3f %9.2f\n", c.Name, name, r.Cpu, r.Wall, r.PeakMiB,
                  r.Output / 1e6, r.Cpu / floor8.Cpu, static_cast<double>(r.Output) / floor8.Bytes, r.Cpu / floor32);
    }
  }
}

bool SameMovies(const std::filesystem::path& a, const std::filesystem::path& b) {
  for (const auto& e : std::filesystem::recursive_directory_iterator(a)) {
    if (!e.is_regular_file()) continue;
    const auto other = b / std::filesystem::relative(e.path(), a);
    if (!std::filesystem::exists(other) || ReadFileBytes(e.path()) != ReadFileBytes(other)) return false;
  }
  return FolderBytes(a) == FolderBytes(b);
}

void SmallBatch(const std::filesystem::path& cli, const std::filesystem::path& dir) {
  const std::filesystem::path corpus = std::filesystem::path(MOVARA_CORPUS_DIR) / "gif";
  if (!std::filesystem::is_directory(corpus)) {
    std::printf("\nsmall batch: corpus not found\n");
    return;
  }
  // Eight copies make a run of a few seconds, long enough to time steadily.
  constexpr int kCopies = 8;
  const auto batch = dir / "batch";
  std::filesystem::remove_all(batch);
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(corpus)) {
    if (e.path().extension() != ".gif" || e.file_size() >= 100 * 1024) continue;
    for (int copy = 0; copy < kCopies; ++copy) {
      const auto sub = batch / ("copy" + std::to_string(copy));
      std::filesystem::create_directories(sub);
      std::filesystem::copy_file(e.path(), sub / e.path().filename());
      ++files;
    }
  }
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  std::printf("\nSmall batch: %d GIFs under 100 KB in %d subfolders, a folder run\n", files, kCopies);
  std::printf("%-10s %7s %7s %7s %8s\n", "run", "wall s", "CPU s", "peak", "out MB");
  TRun runs[2];
  const unsigned jobs[2] = {1, cores};
  for (int i = 0; i < 2; ++i) {
    // The run exits with 1: a few corpus files are not readable GIFs.
    const auto out = dir / ("jobs" + std::to_string(jobs[i]));
    TRun best;
    best.Wall = 1e30;
    for (int k = 0; k < 5; ++k) {
      const TRun r = RunCli(cli, {"--jobs", std::to_string(jobs[i]), "--folder", batch.string()}, out);
      if (r.Wall < best.Wall) best = r;
    }
    runs[i] = best;
    std::printf("--jobs %-3u %7.3f %7.3f %7.1f %8.2f\n", jobs[i], best.Wall, best.Cpu, best.PeakMiB, best.Output / 1e6);
  }
  std::printf("speed-up in wall time: %.2fx; same movies: %s\n", runs[0].Wall / runs[1].Wall,
              SameMovies(dir / "jobs1", dir / ("jobs" + std::to_string(cores))) ? "yes" : "NO");
}

}  // namespace

int main(int argc, char** argv) {
  TSpawner processes;
  spawner = &processes;
  std::filesystem::path cli = std::filesystem::path(argv[0]).parent_path() / ".." / "apps" / "movara-cli";
  std::filesystem::path keep;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--cli") == 0) cli = argv[i + 1];
    if (std::strcmp(argv[i], "--keep") == 0) keep = argv[i + 1];
  }
  const auto dir = keep.empty() ? std::filesystem::temp_directory_path() / "movara-compact-bench" : keep;
  std::filesystem::create_directories(dir);
  BenchGifs(cli, dir);
  SmallBatch(cli, dir);
  if (keep.empty()) std::filesystem::remove_all(dir);
  return 0;
}
