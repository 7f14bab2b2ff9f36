#pragma once

// Animated PNG files written chunk by chunk, so that a hostile case reads in
// the test source: the header, the animation and frame controls with any
// values, and frame data compressed from RGBA pixels.

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace movara::test {

class ApngBytes {
 public:
  ApngBytes() { bytes_ = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}; }

  // An 8-bit RGBA header.
  ApngBytes& Header(std::uint32_t width, std::uint32_t height) {
    std::vector<std::uint8_t> d;
    Be32(d, width), Be32(d, height);
    d.insert(d.end(), {8, 6, 0, 0, 0});
    return Chunk("IHDR", d);
  }
  ApngBytes& AnimationControl(std::uint32_t frames, std::uint32_t plays) {
    std::vector<std::uint8_t> d;
    Be32(d, frames), Be32(d, plays);
    return Chunk("acTL", d);
  }
  ApngBytes& FrameControl(std::uint32_t sequence, std::uint32_t w, std::uint32_t h, std::uint32_t x, std::uint32_t y,
                          std::uint16_t num, std::uint16_t den, std::uint8_t dispose, std::uint8_t blend) {
    std::vector<std::uint8_t> d;
    Be32(d, sequence), Be32(d, w), Be32(d, h), Be32(d, x), Be32(d, y);
    d.insert(d.end(), {static_cast<std::uint8_t>(num >> 8), static_cast<std::uint8_t>(num),
                       static_cast<std::uint8_t>(den >> 8), static_cast<std::uint8_t>(den), dispose, blend});
    return Chunk("fcTL", d);
  }
  // Image data of a w x h frame of one RGBA colour.
  ApngBytes& ImageData(std::uint32_t w, std::uint32_t h, std::uint32_t rgba) { return Chunk("IDAT", Pixels(w, h, rgba)); }
  ApngBytes& FrameData(std::uint32_t sequence, std::uint32_t w, std::uint32_t h, std::uint32_t rgba) {
    std::vector<std::uint8_t> d;
    Be32(d, sequence);
    const auto pixels = Pixels(w, h, rgba);
    d.insert(d.end(), pixels.begin(), pixels.end());
    return Chunk("fdAT", d);
  }
  ApngBytes& End() { return Chunk("IEND", {}); }

  ApngBytes& Chunk(const std::string& type, const std::vector<std::uint8_t>& data) {
    Be32(bytes_, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type.begin(), type.end());
    body.insert(body.end(), data.begin(), data.end());
    bytes_.insert(bytes_.end(), body.begin(), body.end());
    Be32(bytes_, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
    return *this;
  }
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  static std::vector<std::uint8_t> Pixels(std::uint32_t w, std::uint32_t h, std::uint32_t rgba) {
    std::vector<std::uint8_t> raw;
    for (std::uint32_t y = 0; y < h; ++y) {
      raw.push_back(0);
      for (std::uint32_t x = 0; x < w; ++x) Be32(raw, rgba);
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(size);
    compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9);
    packed.resize(size);
    return packed;
  }

 private:
  static void Be32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
  }
  std::vector<std::uint8_t> bytes_;
};

}  // namespace movara::test
