#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "base/Stream.h"
#include "imaging/Colors.h"

namespace movara::imaging {

// A palette of up to 256 colours (0x00BBGGRR each).
struct TPalette {
  static constexpr std::size_t kMaxEntries = 256;
  std::vector<TColor> Entries;
  friend bool operator==(const TPalette&, const TPalette&) = default;
};

enum class TPixelFormat : std::uint8_t { pf1bit = 1, pf8bit = 8, pf24bit = 24, pf32bit = 32 };

// A bitmap in memory: rows top-down, each padded to 4 bytes as in a BMP
// file, pixels in the BMP byte order (palette indices, B G R, or B G R A,
// the last being exactly an ARGB canvas pixel). 1- and 8-bit bitmaps keep a
// palette of up to 256 colours.
class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(std::int32_t width, std::int32_t height, TPixelFormat format);

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  TPixelFormat PixelFormat() const { return format_; }
  std::size_t Stride() const { return stride_; }
  std::uint8_t* ScanLine(std::int32_t y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
  const std::uint8_t* ScanLine(std::int32_t y) const { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }

  TPalette Palette;

  // The colour at (x, y) as 0x00BBGGRR; a palette bitmap answers with its
  // palette entry (black for an index beyond the palette).
  TColor Pixel(std::int32_t x, std::int32_t y) const;
  // A 32-bit bitmap's pixel as ARGB; other formats answer with alpha 255.
  TARGB PixelARGB(std::int32_t x, std::int32_t y) const;
  void SetPixelARGB(std::int32_t x, std::int32_t y, TARGB value);

  // Converts the pixels to another format. To 24 bits drops alpha; to 32
  // bits gives alpha 255; to 8 bits keeps the colours exactly when there are
  // at most 256 of them and maps to a 6x6x6 cube otherwise; to 1 bit maps
  // by brightness to black and white.
  void SetPixelFormat(TPixelFormat format);

  // BMP files: uncompressed, bottom-up; 8-bit ones carry a 256-entry table
  // whose first entries are the palette, 32-bit ones keep alpha in the fourth
  // byte. Loading accepts every uncompressed 1-, 8-, 24- and 32-bit file.
  void SaveToStream(TStream& stream) const;
  void SaveToFile(const std::filesystem::path& path) const;
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const std::filesystem::path& path);

 private:
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  TPixelFormat format_ = TPixelFormat::pf24bit;
  std::size_t stride_ = 0;
  std::vector<std::uint8_t> pixels_;
};

// A 1-bit transparency mask: 1 marks a transparent pixel.
class TMask {
 public:
  TMask(std::int32_t width, std::int32_t height);
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  bool Get(std::int32_t x, std::int32_t y) const {
    return (bits_[static_cast<std::size_t>(y) * rowBytes_ + (x >> 3)] & (0x80 >> (x & 7))) != 0;
  }
  void Set(std::int32_t x, std::int32_t y) { bits_[static_cast<std::size_t>(y) * rowBytes_ + (x >> 3)] |= 0x80 >> (x & 7); }

 private:
  std::int32_t width_;
  std::int32_t height_;
  std::size_t rowBytes_;
  std::vector<std::uint8_t> bits_;
};

}  // namespace movara::imaging
