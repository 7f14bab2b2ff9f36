// Writes a set of GIFs with the frames a viewer composes for them, in the
// layout of the shared corpus (gif/, reference/NAME/frame-NNN.png), for the
// end-to-end checks when that corpus is not at hand.
//
//   make_test_gifs OUTPUT_DIR

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Compose.h"
#include "GifBuilder.h"
#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "imaging/GIFImage.h"

namespace {

using namespace movara;
using test::FrameSpec;
using test::GifBuilder;

FrameSpec Frame(int left, int top, int w, int h, std::vector<std::uint8_t> pixels) {
  FrameSpec f;
  f.left = left, f.top = top, f.width = w, f.height = h, f.pixels = std::move(pixels);
  return f;
}

std::vector<std::uint8_t> Pattern(int w, int h, int seed, int colors) {
  std::vector<std::uint8_t> p(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>((x / 3 + y / 2 + seed) % colors);
  return p;
}

std::vector<std::uint8_t> Sprite(int size, std::uint8_t color, std::uint8_t clear) {
  std::vector<std::uint8_t> p(static_cast<std::size_t>(size) * size, clear);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int dx = 2 * x - size + 1, dy = 2 * y - size + 1;
      if (dx * dx + dy * dy < size * size) p[static_cast<std::size_t>(y) * size + x] = color;
    }
  return p;
}

const std::vector<test::Rgb> kColors = {0x000000, 0xFFFFFF, 0xE03020, 0x2060E0, 0xF0C020, 0x30B060, 0x808080, 0x101010};

void Write(const std::filesystem::path& out, const std::string& name, const test::Bytes& gif) {
  std::filesystem::create_directories(out / "gif");
  WriteFileBytes(out / "gif" / name, gif);
  imaging::TGIFImage image;
  TMemoryViewStream stream(gif);
  image.LoadFromStream(stream);
  const auto dir = out / "reference" / name;
  std::filesystem::create_directories(dir);
  const auto frames = test::ComposeFrames(image);
  std::string delays;
  for (const auto& frame : image.Frames()) {
    if (frame->IsEmpty()) continue;
    const auto* gce = frame->GraphicControlExtension();
    delays += (gce != nullptr ? std::to_string(gce->Delay) : std::string("-")) + "\n";
  }
  WriteFileBytes(dir / "delays.txt", test::Bytes(delays.begin(), delays.end()));
  for (std::size_t i = 0; i < frames.size(); ++i) {
    char file[32];
    std::snprintf(file, sizeof file, "frame-%03zu.png", i);
    test::WritePng(dir / file, frames[i]);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_test_gifs OUTPUT_DIR\n", stderr);
    return 2;
  }
  const std::filesystem::path out = argv[1];
  {
    GifBuilder b;
    b.Header(64, 48, kColors).Loop(0);
    for (int i = 0; i < 6; ++i) b.Gce(0, 10).Frame(Frame(0, 0, 64, 48, Pattern(64, 48, i, 8)));
    Write(out, "opaque-full-frames.gif", b.Trailer().Build());
  }
  {
    GifBuilder b;
    b.Header(48, 20, kColors).Gce(1, 10).Frame(Frame(0, 0, 48, 20, Pattern(48, 20, 0, 2)));
    for (int i = 0; i < 6; ++i) b.Gce(2, 8, 7).Frame(Frame(i * 6, 4, 12, 12, Sprite(12, 2, 7)));
    Write(out, "sprite-disposal-2-on-background.gif", b.Trailer().Build());
  }
  {
    GifBuilder b;
    b.Header(48, 16, kColors);
    for (int i = 0; i < 5; ++i) b.Gce(i == 4 ? 1 : 2, 10, 0).Frame(Frame(i * 8, 0, 16, 16, Sprite(16, 3, 0)));
    Write(out, "transparent-sprites-disposal-2.gif", b.Trailer().Build());
  }
  {
    GifBuilder b;
    b.Header(32, 16, kColors).Gce(1, 10).Frame(Frame(0, 0, 32, 16, Pattern(32, 16, 1, 4)));
    b.Gce(3, 10, 7).Frame(Frame(4, 2, 12, 12, Sprite(12, 4, 7))).Gce(3, 10, 7).Frame(Frame(16, 2, 12, 12, Sprite(12, 5, 7)));
    b.Gce(1, 10, 7).Frame(Frame(10, 4, 8, 8, Sprite(8, 2, 7)));
    Write(out, "disposal-3-restores.gif", b.Trailer().Build());
  }
  {
    GifBuilder b;
    b.Header(24, 24, kColors);
    for (int i = 0; i < 14; ++i) b.Gce(i % 3 == 2 ? 2 : 0, 6, 7).Frame(Frame(i % 4, i % 5, 20, 18, Sprite(18, static_cast<std::uint8_t>(2 + i % 4), 7)));
    Write(out, "deep-overlap-full-frames.gif", b.Trailer().Build());
  }
  {
    FrameSpec f = Frame(0, 0, 30, 21, Pattern(30, 21, 3, 8));
    f.interlaced = true;
    FrameSpec local = Frame(5, 5, 10, 10, Pattern(10, 10, 0, 4));
    local.localColors = {0x00FFFF, 0xFF00FF, 0x804000, 0x004080};
    Write(out, "interlaced-and-local-table.gif",
          GifBuilder().Header(30, 21, kColors).Gce(0, 20).Frame(f).Gce(0, 20).Frame(local).Trailer().Build());
  }
  {
    // Opaque black next to a black transparent entry.
    Write(out, "black-and-transparent.gif",
          GifBuilder().Header(8, 8, kColors).Gce(0, 10, 7).Frame(Frame(0, 0, 8, 8, Pattern(8, 8, 0, 8))).Trailer().Build());
  }
  std::printf("wrote the test GIFs to %s\n", out.string().c_str());
  return 0;
}
