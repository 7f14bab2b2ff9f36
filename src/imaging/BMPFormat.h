#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include "imaging/ImagingError.h"

namespace movara::imaging {

// Raised for BMP data that does not describe a bitmap this library can hold.
class BMPError : public ImagingError {
 public:
  using ImagingError::ImagingError;
};

// Largest bitmap side and area accepted from a BMP file; the pixel memory a
// file may ask for is checked against these and against the file itself
// before anything is allocated.
inline constexpr std::int64_t kMaxBMPSide = 1 << 16;
inline constexpr std::int64_t kMaxBMPPixels = std::int64_t{1} << 26;

// BMP compression codes.
enum : std::uint32_t { biRGB = 0, biRLE8 = 1, biRLE4 = 2, biBitfields = 3 };

// The facts of a BMP file's headers, validated: the header sizes, bit count,
// compression and data offset are consistent with the bytes present.
struct TBMPFileInfo {
  std::uint32_t FileSize = 0;     // the size field of the file header
  std::uint32_t DataOffset = 0;   // where the pixel data starts
  std::uint32_t HeaderSize = 0;   // 40 (info) or 12 (core); larger headers read by their first 40 bytes
  std::int32_t Width = 0;
  std::int32_t Height = 0;        // positive: bottom-up
  std::uint16_t BitCount = 0;
  std::uint32_t Compression = biRGB;
  std::uint32_t Masks[3] = {};    // red, green, blue for biBitfields
  std::uint32_t Palette[256] = {};  // entries as stored: blue, green, red, fourth byte
  std::uint32_t PaletteCount = 0;   // entries present in the file (at most 256)

  std::uint32_t RowCount() const { return static_cast<std::uint32_t>(Height < 0 ? -std::int64_t{Height} : Height); }
  std::uint32_t RowStride() const {
    return static_cast<std::uint32_t>((std::uint64_t{static_cast<std::uint32_t>(Width)} * BitCount + 31) / 32 * 4);
  }
};

// Parses the headers at the start of a BMP file. Throws BMPError for what
// cannot be a bitmap: short data, unknown header sizes or compressions, bit
// counts other than 1, 4, 8, 16, 24 and 32, offsets outside the file and
// dimensions beyond the limits above.
TBMPFileInfo ParseBMPHeaders(std::span<const std::uint8_t> file);

// Writes the 14-byte file header and 40-byte info header of an uncompressed
// bottom-up bitmap, followed by the colour table.
struct TBMPWriteInfo {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::uint16_t BitCount = 0;
  std::uint32_t ColorsUsed = 0;
  std::uint32_t ColorsImportant = 0;
  std::span<const std::uint32_t> ColorTable;  // B, G, R, 0 packed little-endian
};
std::string BMPHeaderBytes(const TBMPWriteInfo& info);

}  // namespace movara::imaging
