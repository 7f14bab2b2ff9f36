#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "base/MemoryStream.h"
#include "swf/core/BitsEngine.h"

namespace movara::swf {

// The SWF file container: header fields plus the tag sequence in Body,
// saved as "FWS" or zlib-compressed as "CWS".
class TBasedSWFStream {
 public:
  // Progress kinds reported through OnProgress.
  static constexpr std::uint8_t kProgressBuild = 1;
  static constexpr std::uint8_t kProgressCompress = 2;

  TBasedSWFStream();
  TBasedSWFStream(std::int32_t xMin, std::int32_t yMin, std::int32_t xMax, std::int32_t yMax, double frameRate,
                  bool pixelUnits);
  virtual ~TBasedSWFStream() = default;
  TBasedSWFStream(const TBasedSWFStream&) = delete;
  TBasedSWFStream& operator=(const TBasedSWFStream&) = delete;

  // Fills Body with the whole tag sequence; the movie builder provides it.
  virtual void BuildBody();

  TMemoryStream Body;
  std::function<void(TBasedSWFStream& sender, int percent, std::uint8_t kind)> OnProgress;
  char Signature[3] = {'F', 'W', 'S'};
  std::uint32_t FileLength = 0;
  TRectangle FrameRect;
  std::uint16_t FrameCount = 0;

  bool Compressed() const { return compressed_; }
  void SetCompressed(bool value);
  std::uint8_t Version() const { return version_; }
  void SetVersion(std::uint8_t value);
  bool PixelUnits() const { return pixelUnits_; }
  void SetPixelUnits(bool value);
  std::uint8_t UnitScale() const { return unitScale_; }
  double FrameRate() const { return Fixed8ToSingle(frameRate_); }
  void SetFrameRate(double fps) { frameRate_ = SingleToFixed8(fps); }
  std::uint16_t FrameRateFixed() const { return frameRate_; }

  std::uint32_t GetHeaderSize() const;
  // Writes the file, replacing an existing one. A failed save removes the
  // partial file rather than leaving a broken movie behind.
  void SaveFile(const std::filesystem::path& fileName);
  void SaveToStream(TStream& stream);

  enum class HeaderMode { Whole = 0, FirstEight = 1, RectRateCount = 2 };
  void WriteHeader(TStream& stream, HeaderMode mode);

 private:
  bool compressed_ = false;
  std::uint8_t unitScale_ = 1;
  bool pixelUnits_ = false;
  std::uint8_t version_ = 5;
  std::uint16_t frameRate_ = 0;
};

}  // namespace movara::swf
