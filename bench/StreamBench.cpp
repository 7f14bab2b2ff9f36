// Peak memory and CPU of converting long GIFs of a large screen, next to the
// streaming floor of the same GIF in the same run.
//
// The GIFs are generated on disk: frames of 2000 x 2000 of one colour each
// (100, 1000 and 5000 of them by default), 1000 such frames transparent in
// their left half placed as layers, and a photo-like one. For each,
// in processes of their own (so that the peak memory is theirs alone):
//   floor       decodes the GIF frame by frame and zlib-compresses each
//               frame's pixels as ARGB, holding one frame at a time;
//   conversion  ConvertFile (the GIF conversion) with one compression thread.
// It prints CPU seconds (user + system) and peak resident memory of both,
// and the conversion's memory limit: 64 MiB + 6 screen-sized ARGB buffers,
// whatever the frame count.
//
//   bench/stream_bench [--keep DIR] [--frames N ...] [--no-layers] [--no-photo]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "BenchGifs.h"
#include "GifBuilder.h"
#include "BenchChild.h"
#include "base/FileStream.h"
#include "base/Memory.h"
#include "base/ZlibStream.h"
#include "convert/Convert.h"
#include "imaging/GIFImage.h"
#include "run/MovieNames.h"

namespace {

using namespace movara;
using namespace movara::bench;

constexpr int kSide = 2000;
constexpr int kSolidColors = 16;

// The floor, in the process started for it: every frame decoded and its
// ARGB pixels compressed, one frame held at a time.
int FloorOne(const std::filesystem::path& gif) {
  LimitHeapRetention();
  imaging::TGIFImage image;
  image.FrameHandler = [](imaging::TGIFSubImage& f) {
    const auto& colors = f.EffectiveColorMap().Colors();
    std::vector<std::uint8_t> argb(f.PixelData().size() * 4);
    for (std::size_t i = 0; i < f.PixelData().size(); ++i) {
      const std::uint8_t idx = f.PixelData()[i];
      const imaging::TColor c = idx < colors.size() ? colors[idx] : 0;
      argb[4 * i] = 255, argb[4 * i + 1] = imaging::RedOf(c), argb[4 * i + 2] = imaging::GreenOf(c), argb[4 * i + 3] = imaging::BlueOf(c);
    }
    ZlibCompress(argb);
    std::vector<std::uint8_t>().swap(f.PixelData());
  };
  image.LoadFile(gif);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--floor-one") == 0) return FloorOne(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "--convert-one") == 0) return ConvertOne(argv[2], argv[3]);
  std::filesystem::path keep;
  std::vector<int> frameCounts;
  bool photo = true;
  bool layers = true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc) keep = argv[++i];
    else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) frameCounts.push_back(std::atoi(argv[++i]));
    else if (std::strcmp(argv[i], "--no-photo") == 0) photo = false;
    else if (std::strcmp(argv[i], "--no-layers") == 0) layers = false;
  }
  if (frameCounts.empty()) frameCounts = {100, 1000, 5000};
  const auto dir = keep.empty() ? std::filesystem::temp_directory_path() / "movara-stream-bench" : keep;
  std::filesystem::create_directories(dir);
  struct TCase {
    std::string Name;
    int Frames;
    bool Photo;
    bool Layers = false;
  };
  std::vector<TCase> cases;
  for (const int n : frameCounts) cases.push_back({"solid-2000x2000x" + std::to_string(n) + ".gif", n, false});
  if (layers) cases.push_back({"layers-2000x2000x1000.gif", 1000, false, true});
  if (photo) cases.push_back({"photo-2000x2000x20.gif", 20, true});
  const double limitMiB = 64.0 + 6.0 * kSide * kSide * 4 / (1024.0 * 1024.0);
  std::printf("%-28s %9s %9s %9s %9s %9s %6s %9s\n", "GIF", "file MiB", "floor s", "floor MiB", "convert s", "conv MiB",
              "ratio", "limit MiB");
  bool within = true;
  for (const auto& c : cases) {
    const auto gif = dir / c.Name;
    if (!std::filesystem::exists(gif)) {
      if (c.Photo) {
        WriteFileBytes(gif, MakeAnimation(kSide, kSide, c.Frames));
      } else {
        std::vector<test::Rgb> colors;
        for (int i = 0; i < kSolidColors; ++i) colors.push_back(static_cast<test::Rgb>(0x101010 * i + 0x203040));
        WriteFileBytes(gif, test::SolidFramesGif(kSide, kSide, colors, c.Frames, c.Layers));
      }
    }
    const TUsage floor = RunChild(argv[0], "--floor-one", gif, dir);
    const TUsage conversion = RunChild(argv[0], "--convert-one", gif, dir);
    within = within && conversion.Ok && conversion.PeakMiB <= limitMiB;
    std::printf("%-28s %9.1f %9.2f %9.1f %9.2f %9.1f %6.2f %9.1f%s\n", c.Name.c_str(),
                static_cast<double>(std::filesystem::file_size(gif)) / (1024.0 * 1024.0), floor.CpuSeconds,
                floor.PeakMiB, conversion.CpuSeconds, conversion.PeakMiB, conversion.CpuSeconds / floor.CpuSeconds,
                limitMiB, conversion.Ok ? "" : "  (conversion failed)");
    std::filesystem::remove(run::MovieFileName(dir, gif));
  }
  std::printf("peak memory %s the limit\n", within ? "within" : "BEYOND");
  return within ? 0 : 1;
}
