// Time of OptimizeColorMaps and of Optimize with the converter's option sets
// on large GIFs (best of several runs on fresh copies of the loaded image).
//
//   bench/gif_optimize_bench [FILE.gif ...]   (default: the largest corpus files)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "imaging/GIFImage.h"

namespace {

double BestSeconds(const movara::imaging::TGIFImage& source, const std::function<void(movara::imaging::TGIFImage&)>& work) {
  double best = 1e30;
  for (int i = 0; i < 5; ++i) {
    movara::imaging::TGIFImage copy;
    copy.AssignFrom(source);
    const auto start = std::chrono::steady_clock::now();
    work(copy);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) files.emplace_back(argv[i]);
  if (files.empty()) {
    const std::filesystem::path corpus = std::filesystem::path(MOVARA_CORPUS_DIR) / "gif";
    for (const char* name : {"wuffs-harvesters.gif", "igif-sample_big.gif", "igif-note.gif",
                             "wuffs-gifplayer-muybridge.gif", "pil-iss634.gif", "igif-test.gif"}) {
      if (std::filesystem::exists(corpus / name)) files.push_back(corpus / name);
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "no GIF files given and no corpus found\n");
    return 1;
  }
  std::printf("%-32s %8s %10s %16s %12s %12s\n", "file", "frames", "Mpixels", "ColorMaps ms", "frame set ms",
              "layer set ms");
  for (const auto& path : files) {
    movara::imaging::TGIFImage gif;
    gif.LoadFile(path);
    double pixels = 0;
    for (const auto& f : gif.Frames()) pixels += static_cast<double>(f->PixelData().size());
    const double maps = BestSeconds(gif, [](auto& g) { g.OptimizeColorMaps(); });
    const double frameSet = BestSeconds(gif, [](auto& g) { g.Optimize(movara::imaging::ooFrameSteps, movara::imaging::rmNone); });
    const double layerSet = BestSeconds(gif, [](auto& g) { g.Optimize(movara::imaging::ooLayerSteps, movara::imaging::rmNone); });
    std::printf("%-32s %8zu %10.2f %16.2f %12.2f %12.2f\n", path.filename().string().c_str(), gif.Frames().size(),
                pixels / 1e6, maps * 1e3, frameSet * 1e3, layerSet * 1e3);
  }
  return 0;
}
