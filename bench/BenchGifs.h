#pragma once

// The generated GIFs the conversion benchmarks run on, and the floor of the
// work they are measured against.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <vector>

#include "GifBuilder.h"
#include "base/MemoryStream.h"
#include "base/ZlibStream.h"
#include "imaging/GIFImage.h"

namespace movara::bench {

using Clock = std::chrono::steady_clock;

inline std::vector<test::Rgb> PhotoPalette() {
  std::vector<test::Rgb> colors;
  for (int i = 0; i < 256; ++i) {
    const int r = (i * 37) % 256, g = (i * 91 + 40) % 256, b = (i * 53 + 80) % 256;
    colors.push_back(static_cast<test::Rgb>(r << 16 | g << 8 | b));
  }
  return colors;
}

// Smooth, moving, slightly noisy content: what dithered photographs and
// video clips turn into.
inline std::vector<std::uint8_t> PhotoFrame(int w, int h, int t, std::mt19937& rng) {
  std::vector<std::uint8_t> p(static_cast<std::size_t>(w) * h);
  std::uniform_int_distribution<int> noise(0, 3);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const double v = 128 + 60 * std::sin((x + 3 * t) / 23.0) + 50 * std::cos((y - 2 * t) / 17.0) +
                       20 * std::sin((x + y + t) / 7.0);
      p[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(v) + noise(rng), 0, 255));
    }
  }
  return p;
}

inline test::Bytes MakeAnimation(int w, int h, int frames) {
  std::mt19937 rng(7);
  test::GifBuilder b;
  b.Header(w, h, PhotoPalette()).Loop(0);
  for (int t = 0; t < frames; ++t) {
    test::FrameSpec f;
    f.width = w, f.height = h, f.pixels = PhotoFrame(w, h, t, rng), f.minCodeSize = 8;
    b.Gce(0, 4).Frame(f);
  }
  return b.Trailer().Build();
}

inline test::Bytes MakeSprite() {
  test::GifBuilder b;
  std::vector<test::Rgb> colors = PhotoPalette();
  b.Header(256, 256, colors).Loop(0);
  for (int t = 0; t < 50; ++t) {
    test::FrameSpec f;
    const int size = 64 + (t % 5) * 8;
    f.left = (t * 17) % (256 - size), f.top = (t * 29) % (256 - size), f.width = size, f.height = size;
    f.pixels.assign(static_cast<std::size_t>(size) * size, 255);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const int dx = 2 * x - size, dy = 2 * y - size;
        if (dx * dx + dy * dy < size * size) f.pixels[static_cast<std::size_t>(y) * size + x] = static_cast<std::uint8_t>((x + y + t) % 200);
      }
    f.minCodeSize = 8;
    b.Gce(2, 6, 255).Frame(f);
  }
  return b.Trailer().Build();
}

// The floor: decode, then compress each frame's own pixels as ARGB.
inline double FloorSeconds(const test::Bytes& gifBytes) {
  const auto start = Clock::now();
  imaging::TGIFImage gif;
  TMemoryViewStream stream(gifBytes);
  gif.LoadFromStream(stream);
  for (const auto& f : gif.Frames()) {
    if (f->IsEmpty()) continue;
    const auto& colors = f->EffectiveColorMap().Colors();
    std::vector<std::uint8_t> argb(f->PixelData().size() * 4);
    for (std::size_t i = 0; i < f->PixelData().size(); ++i) {
      const std::uint8_t idx = f->PixelData()[i];
      const imaging::TColor c = idx < colors.size() ? colors[idx] : 0;
      argb[4 * i] = 255, argb[4 * i + 1] = imaging::RedOf(c), argb[4 * i + 2] = imaging::GreenOf(c), argb[4 * i + 3] = imaging::BlueOf(c);
    }
    ZlibCompress(argb);
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace movara::bench
