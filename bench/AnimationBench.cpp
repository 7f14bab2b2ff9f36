// Peak memory and CPU of converting long animated PNG and WebP files of
// 1000 x 1000 pixels, next to the floor of the same file in the same run.
//
// The files are generated on disk (kept with --keep DIR):
//   full    every frame the whole canvas, opaque, all of it changed
//           (an APNG of 1000 frames by default);
//   sprite  a half-transparent 200 x 200 square moving over an opaque
//           background, disposed to the previous canvas (APNG and lossy
//           WebP, 1000 frames by default).
// For each, in processes of their own (so that the peak memory is theirs):
//   floor       the same library decodes and composes every frame (our
//               chunks around libpng, libwebp's animation decoder), and the
//               pixels the movie stores (the rectangle that changed, as
//               ARGB) are zlib-compressed once;
//   conversion  ConvertFile with one compression thread.
// It prints CPU seconds (user + system) and peak resident memory of both,
// their ratio, and the memory limit: 64 MiB + 6 canvas-sized ARGB buffers.
//
//   bench/animation_bench [--keep DIR] [--frames N]

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <webp/encode.h>
#include <webp/mux.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "animation/AnimationReader.h"
#include "BenchChild.h"
#include "base/FileStream.h"
#include "base/Memory.h"
#include "base/ZlibStream.h"
#include "convert/AnimationPictures.h"
#include "convert/Convert.h"
#include "run/MovieNames.h"

namespace {

using namespace movara;
using namespace movara::bench;

constexpr int kSide = 1000;
constexpr int kSprite = 200;

// RGBA pixels of frame k: the background (a gradient), and in the sprite
// case the square's own pixels.
std::vector<std::uint8_t> Background(int shift) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kSide) * kSide * 4);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * kSide + x) * 4];
      p[0] = static_cast<std::uint8_t>(x + shift), p[1] = static_cast<std::uint8_t>(y), p[2] = static_cast<std::uint8_t>((x ^ y) + shift);
      p[3] = 255;
    }
  }
  return rgba;
}

std::vector<std::uint8_t> Square(int k) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kSprite) * kSprite * 4);
  for (std::size_t i = 0; i < rgba.size(); i += 4) {
    rgba[i] = static_cast<std::uint8_t>(k * 7), rgba[i + 1] = 40, rgba[i + 2] = 200, rgba[i + 3] = 128;
  }
  return rgba;
}

int SpriteLeft(int k) { return (k * 13) % (kSide - kSprite); }
int SpriteTop(int k) { return (k * 7) % (kSide - kSprite); }

void Be32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

void Chunk(std::FILE* f, const char* type, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> out;
  Be32(out, static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  Be32(out, static_cast<std::uint32_t>(crc32(0, out.data() + 4, static_cast<uInt>(data.size() + 4))));
  std::fwrite(out.data(), 1, out.size(), f);
}

std::vector<std::uint8_t> Deflated(const std::vector<std::uint8_t>& rgba, int w, int h, std::size_t prefix,
                                   std::uint32_t sequence) {
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgba.begin() + static_cast<std::ptrdiff_t>(y) * w * 4, rgba.begin() + static_cast<std::ptrdiff_t>(y + 1) * w * 4);
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> out(prefix + size);
  if (prefix > 0) {
    std::vector<std::uint8_t> seq;
    Be32(seq, sequence);
    std::copy(seq.begin(), seq.end(), out.begin());
  }
  compress2(out.data() + prefix, &size, raw.data(), static_cast<uLong>(raw.size()), 1);
  out.resize(prefix + size);
  return out;
}

std::vector<std::uint8_t> FrameControl(std::uint32_t seq, int w, int h, int x, int y, std::uint8_t dispose, std::uint8_t blend) {
  std::vector<std::uint8_t> d;
  Be32(d, seq), Be32(d, static_cast<std::uint32_t>(w)), Be32(d, static_cast<std::uint32_t>(h));
  Be32(d, static_cast<std::uint32_t>(x)), Be32(d, static_cast<std::uint32_t>(y));
  d.insert(d.end(), {0, 4, 0, 100, dispose, blend});  // 40 ms
  return d;
}

void WriteApng(const std::filesystem::path& file, int frames, bool sprite) {
  std::FILE* f = std::fopen(file.c_str(), "wb");
  const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::fwrite(signature, 1, 8, f);
  std::vector<std::uint8_t> ihdr;
  Be32(ihdr, kSide), Be32(ihdr, kSide);
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
  Chunk(f, "IHDR", ihdr);
  std::vector<std::uint8_t> actl;
  Be32(actl, static_cast<std::uint32_t>(frames)), Be32(actl, 0);
  Chunk(f, "acTL", actl);
  std::uint32_t seq = 0;
  Chunk(f, "fcTL", FrameControl(seq++, kSide, kSide, 0, 0, 0, 0));
  Chunk(f, "IDAT", Deflated(Background(0), kSide, kSide, 0, 0));
  for (int k = 1; k < frames; ++k) {
    if (sprite) {
      Chunk(f, "fcTL", FrameControl(seq++, kSprite, kSprite, SpriteLeft(k), SpriteTop(k), 2, 1));
      Chunk(f, "fdAT", Deflated(Square(k), kSprite, kSprite, 4, seq++));
    } else {
      Chunk(f, "fcTL", FrameControl(seq++, kSide, kSide, 0, 0, 0, 0));
      Chunk(f, "fdAT", Deflated(Background(k), kSide, kSide, 4, seq++));
    }
  }
  Chunk(f, "IEND", {});
  std::fclose(f);
}

// The sprite animation as a lossy WebP, composed canvases given to libwebp's
// animation encoder (which finds the rectangles itself).
void WriteWebP(const std::filesystem::path& file, int frames) {
  WebPAnimEncoderOptions options;
  WebPAnimEncoderOptionsInit(&options);
  WebPAnimEncoder* encoder = WebPAnimEncoderNew(kSide, kSide, &options);
  WebPConfig config;
  WebPConfigInit(&config);
  config.quality = 60, config.method = 0;
  const std::vector<std::uint8_t> background = Background(0);
  for (int k = 0; k < frames; ++k) {
    std::vector<std::uint8_t> canvas = background;
    if (k > 0) {
      const auto square = Square(k);
      for (int y = 0; y < kSprite; ++y) {
        for (int x = 0; x < kSprite; ++x) {
          std::uint8_t* p = &canvas[(static_cast<std::size_t>(y + SpriteTop(k)) * kSide + x + SpriteLeft(k)) * 4];
          const std::uint8_t* s = &square[(static_cast<std::size_t>(y) * kSprite + x) * 4];
          for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((s[c] * 128 + p[c] * 127 + 127) / 255);
        }
      }
    }
    WebPPicture picture;
    WebPPictureInit(&picture);
    picture.width = kSide, picture.height = kSide, picture.use_argb = 1;
    WebPPictureImportRGBA(&picture, canvas.data(), kSide * 4);
    WebPAnimEncoderAdd(encoder, &picture, k * 40, &config);
    WebPPictureFree(&picture);
  }
  WebPAnimEncoderAdd(encoder, nullptr, frames * 40, nullptr);
  WebPData data;
  WebPDataInit(&data);
  WebPAnimEncoderAssemble(encoder, &data);
  std::FILE* f = std::fopen(file.c_str(), "wb");
  std::fwrite(data.bytes, 1, data.size, f);
  std::fclose(f);
  WebPDataClear(&data);
  WebPAnimEncoderDelete(encoder);
}

// The floor: every frame decoded and composed by the reader, and the
// changed rectangle's ARGB compressed once.
int FloorOne(const std::filesystem::path& file) {
  LimitHeapRetention();
  const auto reader = animation::OpenAnimation(file);
  imaging::TBitmap previous;
  while (const imaging::TBitmap* canvas = reader->NextFrame()) {
    convert::TChangedRect r{0, 0, canvas->Width(), canvas->Height()};
    if (previous.Width() != 0) r = convert::ChangedRect(previous, *canvas);
    std::vector<std::uint8_t> argb;
    argb.reserve(4 * static_cast<std::size_t>(r.Right - r.Left) * static_cast<std::size_t>(r.Bottom - r.Top));
    for (int y = r.Top; y < r.Bottom; ++y) {
      const std::uint8_t* p = canvas->ScanLine(y);
      for (int x = r.Left; x < r.Right; ++x) argb.insert(argb.end(), {p[4 * x + 3], p[4 * x + 2], p[4 * x + 1], p[4 * x]});
    }
    if (!argb.empty()) ZlibCompress(argb);
    if (previous.Width() == 0) {
      previous = *canvas;
    } else {
      std::memcpy(previous.ScanLine(0), canvas->ScanLine(0), canvas->Stride() * static_cast<std::size_t>(canvas->Height()));
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--floor-one") == 0) return FloorOne(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "--convert-one") == 0) return ConvertOne(argv[2], argv[3]);
  std::filesystem::path keep;
  int frames = 1000;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--keep") == 0 && i + 1 < argc) keep = argv[++i];
    else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) frames = std::max(2, std::atoi(argv[++i]));
  }
  const auto dir = keep.empty() ? std::filesystem::temp_directory_path() / "movara-animation-bench" : keep;
  std::filesystem::create_directories(dir);
  const std::string n = std::to_string(frames);
  const std::vector<std::string> names = {"full-1000x1000x" + n + ".png", "sprite-1000x1000x" + n + ".png",
                                          "sprite-1000x1000x" + n + ".webp"};
  const double limitMiB = 64.0 + 6.0 * kSide * kSide * 4 / (1024.0 * 1024.0);
  std::printf("%-28s %9s %9s %9s %9s %9s %9s %6s %9s\n", "file", "file MiB", "movie MiB", "floor s", "floor MiB",
              "convert s", "conv MiB", "ratio", "limit MiB");
  bool within = true;
  for (const std::string& name : names) {
    const auto file = dir / name;
    if (!std::filesystem::exists(file)) {
      if (name.ends_with(".webp")) {
        WriteWebP(file, frames);
      } else {
        WriteApng(file, frames, name.starts_with("sprite"));
      }
    }
    const TUsage floor = RunChild(argv[0], "--floor-one", file, dir);
    const TUsage conversion = RunChild(argv[0], "--convert-one", file, dir);
    const auto movie = run::MovieFileName(dir, file);
    std::error_code ec;
    const double movieMiB = static_cast<double>(std::filesystem::file_size(movie, ec)) / (1024.0 * 1024.0);
    within = within && conversion.Ok && conversion.PeakMiB <= limitMiB;
    std::printf("%-28s %9.1f %9.1f %9.2f %9.1f %9.2f %9.1f %6.2f %9.1f%s\n", name.c_str(),
                static_cast<double>(std::filesystem::file_size(file)) / (1024.0 * 1024.0), ec ? 0.0 : movieMiB,
                floor.CpuSeconds, floor.PeakMiB, conversion.CpuSeconds, conversion.PeakMiB,
                conversion.CpuSeconds / floor.CpuSeconds, limitMiB, conversion.Ok ? "" : "  (conversion failed)");
    std::filesystem::remove(movie, ec);
  }
  std::printf("peak memory %s the limit\n", within ? "within" : "BEYOND");
  return within ? 0 : 1;
}
