#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "base/Stream.h"
#include "imaging/BMPFormat.h"
#include "imaging/Raster.h"

namespace movara::imaging {

// The 40-byte bitmap info header as the reader keeps it.
struct TBitmapInfoHeader {
  std::uint32_t Size = 40;
  std::int32_t Width = 0;
  std::int32_t Height = 0;  // positive: rows stored bottom-up
  std::uint16_t Planes = 1;
  std::uint16_t BitCount = 0;
  std::uint32_t Compression = biRGB;
  std::uint32_t SizeImage = 0;
};

// A BMP file held in memory in its stored bit depth, with a table of row
// pointers in storage order and a 256-entry colour table (B, G, R, x).
// Run-length data is kept decoded. Nothing is converted.
class TBMPReader {
 public:
  TBMPReader() = default;
  TBMPReader(const TBMPReader&) = delete;
  TBMPReader& operator=(const TBMPReader&) = delete;

  void LoadFile(const std::filesystem::path& path);
  void LoadFromStream(TStream& stream);
  // Allocates zeroed pixel memory for the format; an unchanged format keeps
  // the pixels. Mask widths give 16- and 32-bit images colour masks.
  void SetFormat(std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::uint8_t redBits,
                 std::uint8_t greenBits, std::uint8_t blueBits);
  void SetSize(std::int32_t width, std::int32_t height, std::uint16_t bitCount) {
    SetFormat(width, height, bitCount, 0, 0, 0);
  }
  // A deep copy of another reader.
  void CopyFrom(const TBMPReader& other);
  // Copies a raster bitmap (stored bottom-up, in its own bit depth).
  void AssignHandle(const TBitmap& bitmap);
  // Distinct colours; palette images get their used entries moved to the
  // front of the table and their pixels renumbered.
  std::uint32_t UsedColors();

  std::int32_t Width() const { return header_.Width; }
  std::int32_t Height() const { return header_.Height; }
  std::uint16_t BitCount() const { return header_.BitCount; }
  const TBitmapInfoHeader& Header() const { return header_; }
  std::array<std::uint32_t, 256>& ColorTable() { return colorTable_; }
  const std::array<std::uint32_t, 256>& ColorTable() const { return colorTable_; }
  std::uint8_t* Bits() { return bits_.data(); }
  const std::uint8_t* Bits() const { return bits_.data(); }
  std::uint32_t RowStride() const { return rowStride_; }
  std::uint32_t RowPadding() const { return rowPadding_; }
  std::uint32_t RowCount() const { return rowCount_; }
  std::uint8_t* ScanLines(std::uint32_t row) { return scanLines_[row]; }
  const std::uint8_t* ScanLines(std::uint32_t row) const { return scanLines_[row]; }
  std::array<std::uint8_t, 3> MaskWidths() const { return maskWidths_; }

 private:
  void PointScanLines();
  void DecodeRLE(std::span<const std::uint8_t> data, bool fourBit);

  TBitmapInfoHeader header_;
  std::array<std::uint32_t, 256> colorTable_{};
  std::vector<std::uint8_t> bits_;
  std::uint32_t rowStride_ = 0;
  std::uint32_t rowPadding_ = 0;
  std::uint32_t rowCount_ = 0;
  std::vector<std::uint8_t*> scanLines_;
  std::array<std::uint8_t, 3> maskWidths_{};
};

}  // namespace movara::imaging
