// Decoding speed of the GIF reader next to Debian's giflib on the same
// files in the same run, in decoded pixels per second (best of several
// runs, whole files read from memory). giflib is linked here only.
//
//   bench/gif_decode_bench [FILE.gif ...]   (default: the largest corpus files)

#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "imaging/GIFImage.h"

namespace {

using Clock = std::chrono::steady_clock;

struct MemoryReader {
  const std::vector<std::uint8_t>* bytes;
  std::size_t pos = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buf, int count) {
  auto* r = static_cast<MemoryReader*>(gif->UserData);
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(count), r->bytes->size() - r->pos);
  std::memcpy(buf, r->bytes->data() + r->pos, n);
  r->pos += n;
  return static_cast<int>(n);
}

std::uint64_t DecodeWithGiflib(const std::vector<std::uint8_t>& bytes) {
  MemoryReader reader{&bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadFromMemory, &error);
  if (gif == nullptr) return 0;
  std::uint64_t pixels = 0;
  if (DGifSlurp(gif) == GIF_OK) {
    for (int i = 0; i < gif->ImageCount; ++i) {
      pixels += std::uint64_t{static_cast<std::uint32_t>(gif->SavedImages[i].ImageDesc.Width)} *
                static_cast<std::uint32_t>(gif->SavedImages[i].ImageDesc.Height);
    }
  }
  DGifCloseFile(gif, &error);
  return pixels;
}

std::uint64_t DecodeWithMovara(const std::vector<std::uint8_t>& bytes) {
  movara::imaging::TGIFImage gif;
  movara::TMemoryViewStream stream(bytes);
  gif.LoadFromStream(stream);
  std::uint64_t pixels = 0;
  for (const auto& frame : gif.Frames()) pixels += frame->PixelData().size();
  return pixels;
}

template <class F>
double BestSeconds(F&& decode, int runs) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    decode();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) files.emplace_back(argv[i]);
  if (files.empty()) {
    const std::filesystem::path corpus = std::filesystem::path(MOVARA_CORPUS_DIR) / "gif";
    for (const char* name : {"wuffs-harvesters.gif", "igif-note.gif", "igif-test.gif", "igif-sample_big.gif",
                             "wuffs-gifplayer-muybridge.gif", "gd-bug000498.gif"}) {
      if (std::filesystem::exists(corpus / name)) files.push_back(corpus / name);
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "no GIF files given and no corpus found\n");
    return 1;
  }
  std::printf("%-34s %12s %14s %14s %7s\n", "file", "pixels", "movara Mpx/s", "giflib Mpx/s", "ratio");
  double totalMovara = 0, totalGiflib = 0;
  std::uint64_t totalPixels = 0;
  for (const auto& path : files) {
    const std::vector<std::uint8_t> bytes = movara::ReadFileBytes(path);
    const std::uint64_t pixels = DecodeWithMovara(bytes);
    const double ours = BestSeconds([&] { DecodeWithMovara(bytes); }, 7);
    const double theirs = BestSeconds([&] { DecodeWithGiflib(bytes); }, 7);
    totalMovara += ours;
    totalGiflib += theirs;
    totalPixels += pixels;
    std::printf("%-34s %12llu %14.1f %14.1f %7.2f\n", path.filename().string().c_str(),
                static_cast<unsigned long long>(pixels), pixels / ours / 1e6, pixels / theirs / 1e6, theirs / ours);
  }
  std::printf("%-34s %12llu %14.1f %14.1f %7.2f\n", "total", static_cast<unsigned long long>(totalPixels),
              totalPixels / totalMovara / 1e6, totalPixels / totalGiflib / 1e6, totalGiflib / totalMovara);
  return 0;
}
