#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/BMPReader.h"
#include "swf/builder/BuildError.h"
#include "imaging/Raster.h"
#include "swf/builder/FlashObject.h"
#include "swf/core/BitmapTags.h"

namespace movara::swf {

// Raised for a picture file the movie cannot embed.
class FlashImageError : public FlashBuildError {
 public:
  using FlashBuildError::FlashBuildError;
};

// The builder's bitmap character: a BMP file (or an in-memory raster) as a
// lossless bitmap, or a JPEG file as a JPEG bitmap.
class TFlashImage : public TFlashIDObject {
 public:
  // Lossless formats of the tag; 1 is 32-bit with alpha (written as 5).
  static constexpr std::uint8_t kFormatAlpha32 = 1;

  TFlashImage(TFlashMovie* owner, const std::filesystem::path& fileName);
  // A 24-bit (opaque) or 32-bit (alpha) raster, taken as a BMP file of the
  // same pixels would be; its data is built at once. With `colorMapped`, a
  // raster of at most 256 distinct pixel values becomes an 8-bit
  // colour-mapped bitmap of the same pixels instead.
  TFlashImage(TFlashMovie* owner, const imaging::TBitmap& raster, bool colorMapped = false);

  void LoadFile(const std::filesystem::path& fileName);

  bool IsJPEG() const { return isJPEG_; }
  bool HasAlpha() const { return hasAlpha_; }
  std::uint16_t Width() const { return width_; }
  std::uint16_t Height() const { return height_; }
  std::uint16_t RowWidth() const { return rowWidth_; }
  std::uint8_t Format() const { return format_; }
  std::uint32_t ColorCount() const { return colorCount_; }
  // Re-encode progressive JPEG files as baseline JPEG.
  bool ConvertProgressive = false;
  // Alpha plane (one byte per pixel) of a JPEG image: DefineBitsJPEG3.
  std::vector<std::uint8_t> AlphaData;
  // How often the lossless data was built and compressed.
  int BuildCount() const { return buildCount_; }
  // The tag's data block: compressed lossless data, or the JPEG stream
  // without its start and end markers. Waits for a compression under way.
  const TDataBlock& Data() const;
  // Drops the data block once it is written, for a movie built once.
  void ReleaseData() {
    data_.reset();
    pending_ = {};
  }

  std::uint8_t MinVersion() const override { return hasAlpha_ ? 3 : 2; }
  void AssignFrom(const TBasedSWFObject& source) override;
  void WriteToStream(TBitsEngine& be) override;

 private:
  void TakeBMPFormat();
  void LoadJPEG(const std::filesystem::path& fileName, std::vector<std::uint8_t> file);
  // The uncompressed lossless data from rows given top row first.
  std::vector<std::uint8_t> LosslessBytes(const std::function<const std::uint8_t*(std::uint32_t)>& rowAt) const;
  void BuildLosslessData();
  // Compresses raw lossless data, on the movie's workers when it has some.
  void CompressRaw(std::vector<std::uint8_t> raw, bool colorMapped);

  std::unique_ptr<imaging::TBMPReader> reader_;
  TDataBlock data_;
  // A compression under way on the movie's workers; its block is the data.
  std::shared_future<TDataBlock> pending_;
  bool isJPEG_ = false;
  bool hasAlpha_ = false;
  std::uint16_t width_ = 0;
  std::uint16_t height_ = 0;
  std::uint16_t rowWidth_ = 0;
  std::uint8_t format_ = TSWFDefineBitsLossless::kRGB32;
  std::uint32_t colorCount_ = 0;
  int buildCount_ = 0;
};

}  // namespace movara::swf
