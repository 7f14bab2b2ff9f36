#pragma once

// Builds GIF files in test code, block by block, so that every hostile or
// unusual case is visible in the test that uses it.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/MemoryStream.h"
#include "imaging/GIFImage.h"

namespace movara::test {

using Bytes = std::vector<std::uint8_t>;

struct LzwOptions {
  bool initialClear = true;
  bool endCode = true;
  // When the table is full, keep sending 12-bit codes instead of a clear.
  bool deferredClear = false;
};

// LZW-encodes indices with the given minimum code size; returns the bare
// code stream (no sub-block framing).
inline Bytes LzwEncode(const std::vector<std::uint8_t>& indices, int minCodeSize, LzwOptions options = {}) {
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  Bytes out;
  std::uint32_t bitBuf = 0;
  int bits = 0;
  int size = minCodeSize + 1;
  const auto emit = [&](int code) {
    bitBuf |= static_cast<std::uint32_t>(code) << bits;
    bits += size;
    while (bits >= 8) {
      out.push_back(static_cast<std::uint8_t>(bitBuf));
      bitBuf >>= 8;
      bits -= 8;
    }
  };
  // (prefix code, byte) -> code, 0 for none: a flat table of 4096 x 256.
  std::vector<std::uint16_t> table(4096 * 256, 0);
  int next = end + 1;
  const auto reset = [&] {
    std::fill(table.begin(), table.end(), 0);
    next = end + 1;
    size = minCodeSize + 1;
  };
  if (options.initialClear) emit(clear);
  int w = -1;
  for (const std::uint8_t k : indices) {
    if (w < 0) {
      w = k;
      continue;
    }
    const std::uint16_t found = table[static_cast<std::size_t>(w) * 256 + k];
    if (found != 0) {
      w = found;
      continue;
    }
    emit(w);
    if (next < 4096) {
      table[static_cast<std::size_t>(w) * 256 + k] = static_cast<std::uint16_t>(next++);
      if (next > (1 << size) && size < 12) ++size;
    } else if (!options.deferredClear) {
      emit(clear);
      reset();
    }
    w = k;
  }
  if (w >= 0) emit(w);
  if (options.endCode) emit(end);
  if (bits > 0) out.push_back(static_cast<std::uint8_t>(bitBuf));
  return out;
}

// Splits data into sub-blocks of at most blockSize bytes, with a terminator.
inline Bytes SubBlocks(const Bytes& data, std::size_t blockSize = 255, bool terminator = true) {
  Bytes out;
  for (std::size_t i = 0; i < data.size(); i += blockSize) {
    const std::size_t n = std::min(blockSize, data.size() - i);
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i), data.begin() + static_cast<std::ptrdiff_t>(i + n));
  }
  if (terminator) out.push_back(0);
  return out;
}

using Rgb = std::uint32_t;  // 0xRRGGBB, as one writes colours in tests

struct FrameSpec {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<std::uint8_t> pixels;  // width x height indices, display order
  std::vector<Rgb> localColors;      // empty: no local table
  bool interlaced = false;
  int minCodeSize = 0;               // 0: chosen from the table size
  LzwOptions lzw;
};

class GifBuilder {
 public:
  GifBuilder& Header(int width, int height, const std::vector<Rgb>& globalColors, int background = 0,
                     const char* version = "89a") {
    bytes_.insert(bytes_.end(), {'G', 'I', 'F'});
    bytes_.insert(bytes_.end(), version, version + 3);
    Word(width);
    Word(height);
    const int tableBits = TableBits(globalColors.size());
    bytes_.push_back(static_cast<std::uint8_t>(globalColors.empty() ? 0 : 0x80 | 0x70 | tableBits));
    bytes_.push_back(static_cast<std::uint8_t>(background));
    bytes_.push_back(0);
    Table(globalColors);
    return *this;
  }

  GifBuilder& Gce(int disposal, int delay, int transparentIndex = -1) {
    bytes_.insert(bytes_.end(), {0x21, 0xF9, 0x04});
    bytes_.push_back(static_cast<std::uint8_t>((disposal & 7) << 2 | (transparentIndex >= 0 ? 1 : 0)));
    Word(delay);
    bytes_.push_back(static_cast<std::uint8_t>(transparentIndex >= 0 ? transparentIndex : 0));
    bytes_.push_back(0);
    return *this;
  }

  GifBuilder& Comment(const std::string& text) {
    bytes_.insert(bytes_.end(), {0x21, 0xFE});
    Raw(SubBlocks(Bytes(text.begin(), text.end())));
    return *this;
  }

  GifBuilder& Loop(int count, const char* ident = "NETSCAPE2.0") {
    bytes_.insert(bytes_.end(), {0x21, 0xFF, 0x0B});
    bytes_.insert(bytes_.end(), ident, ident + 11);
    bytes_.insert(bytes_.end(), {0x03, 0x01});
    Word(count);
    bytes_.push_back(0);
    return *this;
  }

  GifBuilder& Frame(const FrameSpec& f) {
    Descriptor(f);
    const int mcs = f.minCodeSize > 0 ? f.minCodeSize : MinCodeSize(f);
    bytes_.push_back(static_cast<std::uint8_t>(mcs));
    Raw(SubBlocks(LzwEncode(InterlaceOrder(f), mcs, f.lzw)));
    return *this;
  }

  // A descriptor (and local table) followed by the given raw data bytes.
  GifBuilder& FrameWithData(const FrameSpec& f, const Bytes& data) {
    Descriptor(f);
    Raw(data);
    return *this;
  }

  GifBuilder& Raw(const Bytes& b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
  }
  GifBuilder& Trailer() {
    bytes_.push_back(0x3B);
    return *this;
  }
  const Bytes& Build() const { return bytes_; }

  static int TableBits(std::size_t colors) {
    int n = 0;
    while ((2u << n) < colors) ++n;
    return n;
  }

 private:
  void Word(int v) {
    bytes_.push_back(static_cast<std::uint8_t>(v));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void Table(const std::vector<Rgb>& colors) {
    if (colors.empty()) return;
    const std::size_t entries = 2u << TableBits(colors.size());
    for (std::size_t i = 0; i < entries; ++i) {
      const Rgb c = i < colors.size() ? colors[i] : 0;
      bytes_.insert(bytes_.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                   static_cast<std::uint8_t>(c)});
    }
  }
  void Descriptor(const FrameSpec& f) {
    bytes_.push_back(0x2C);
    Word(f.left);
    Word(f.top);
    Word(f.width);
    Word(f.height);
    const int bits = TableBits(f.localColors.size());
    bytes_.push_back(static_cast<std::uint8_t>((f.localColors.empty() ? 0 : 0x80 | bits) | (f.interlaced ? 0x40 : 0)));
    Table(f.localColors);
  }
  static int MinCodeSize(const FrameSpec& f) {
    int maxIndex = 1;
    for (auto p : f.pixels) maxIndex = std::max<int>(maxIndex, p);
    int bits = 2;
    while ((1 << bits) <= maxIndex) ++bits;
    return bits;
  }
  static std::vector<std::uint8_t> InterlaceOrder(const FrameSpec& f) {
    if (!f.interlaced) return f.pixels;
    std::vector<std::uint8_t> out;
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
      for (int y = kStart[pass]; y < f.height; y += kStep[pass]) {
        out.insert(out.end(), f.pixels.begin() + y * f.width, f.pixels.begin() + (y + 1) * f.width);
      }
    }
    return out;
  }

  Bytes bytes_;
};

// A GIF loaded from bytes built in a test.
inline std::unique_ptr<imaging::TGIFImage> LoadGif(const Bytes& bytes) {
  auto gif = std::make_unique<imaging::TGIFImage>();
  TMemoryViewStream stream(bytes);
  gif->LoadFromStream(stream);
  return gif;
}

// The frames of a GIF that show a picture (the extensions after the last
// image load as a frame without one).
inline std::size_t PictureCount(const Bytes& bytes) {
  const auto gif = LoadGif(bytes);
  return static_cast<std::size_t>(
      std::count_if(gif->Frames().begin(), gif->Frames().end(), [](const auto& f) { return !f->IsEmpty(); }));
}

inline FrameSpec MakeFrame(int left, int top, int w, int h, std::vector<std::uint8_t> pixels,
                           std::vector<Rgb> local = {}) {
  FrameSpec f;
  f.left = left, f.top = top, f.width = w, f.height = h, f.pixels = std::move(pixels), f.localColors = std::move(local);
  return f;
}

// A long animation of full frames, one colour each, cycling through
// `colors`: each colour's frame (disposal 0, a delay of 4) is encoded once
// and its bytes repeated, so that thousands of large frames are quick to make.
inline Bytes SolidFramesGif(int width, int height, const std::vector<Rgb>& colors, int frames, bool halfTransparent = false) {
  const Bytes header = GifBuilder().Header(width, height, colors).Build();
  std::vector<Bytes> chunks;
  for (std::size_t c = halfTransparent ? 1 : 0; c < colors.size(); ++c) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height, static_cast<std::uint8_t>(c));
    // Index 0 is transparent in the left half, and each frame stays as a
    // layer under the next.
    for (std::size_t y = 0; halfTransparent && y < static_cast<std::size_t>(height); ++y) {
      std::fill_n(pixels.begin() + static_cast<std::ptrdiff_t>(y * width), width / 2, std::uint8_t{0});
    }
    const FrameSpec f = MakeFrame(0, 0, width, height, std::move(pixels));
    const Bytes gif = GifBuilder().Header(width, height, colors).Gce(halfTransparent ? 1 : 0, 4, halfTransparent ? 0 : -1).Frame(f).Build();
    chunks.emplace_back(gif.begin() + static_cast<std::ptrdiff_t>(header.size()), gif.end());
  }
  Bytes gif = header;
  for (int k = 0; k < frames; ++k) {
    const Bytes& chunk = chunks[static_cast<std::size_t>(k) % chunks.size()];
    gif.insert(gif.end(), chunk.begin(), chunk.end());
  }
  gif.push_back(0x3B);
  return gif;
}

}  // namespace movara::test
