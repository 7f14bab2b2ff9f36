#include "swf/core/SWFStream.h"

#include <cmath>
#include <stdexcept>
#include <system_error>

#include "base/FileStream.h"
#include "base/ZlibStream.h"

namespace movara::swf {

TBasedSWFStream::TBasedSWFStream() = default;

TBasedSWFStream::TBasedSWFStream(std::int32_t xMin, std::int32_t yMin, std::int32_t xMax, std::int32_t yMax,
                                 double frameRate, bool pixelUnits) {
  SetPixelUnits(pixelUnits);
  FrameRect = {xMin * unitScale_, yMin * unitScale_, xMax * unitScale_, yMax * unitScale_};
  SetFrameRate(frameRate);
}

void TBasedSWFStream::BuildBody() { throw std::logic_error("BuildBody is not implemented by this stream"); }

void TBasedSWFStream::SetCompressed(bool value) {
  compressed_ = value;
  if (value && version_ < 6) version_ = 6;
}

void TBasedSWFStream::SetVersion(std::uint8_t value) { version_ = compressed_ && value < 6 ? 6 : value; }

void TBasedSWFStream::SetPixelUnits(bool value) {
  pixelUnits_ = value;
  unitScale_ = value ? 20 : 1;
}

std::uint32_t TBasedSWFStream::GetHeaderSize() const {
  const std::uint32_t nbits =
      GetBitsCount(MaxAbs(FrameRect.Left, FrameRect.Top, FrameRect.Right, FrameRect.Bottom), 1);
  return 12 + (5 + 4 * nbits + 7) / 8;
}

void TBasedSWFStream::WriteHeader(TStream& stream, HeaderMode mode) {
  TBitsEngine be(stream);
  if (mode != HeaderMode::RectRateCount) {
    be.WriteBytes(Signature, 3);
    be.WriteByte(version_);
    be.WriteDWord(FileLength);
  }
  if (mode != HeaderMode::FirstEight) {
    be.WriteRect(FrameRect);
    be.WriteWord(frameRate_);
    be.WriteWord(FrameCount);
  }
}

void TBasedSWFStream::SaveToStream(TStream& stream) {
  FileLength = GetHeaderSize() + static_cast<std::uint32_t>(Body.Size());
  Body.Seek(0);
  if (!compressed_) {
    Signature[0] = 'F';
    WriteHeader(stream, HeaderMode::Whole);
    stream.CopyFrom(Body, Body.Size());
    return;
  }
  Signature[0] = 'C';
  if (version_ < 6) version_ = 6;
  WriteHeader(stream, HeaderMode::FirstEight);
  TCompressionStream zipped(stream);
  zipped.OnProgress = [this](TCompressionStream& sender) {
    if (!OnProgress) return;
    // Relative to the body less a typical header's size, as the tools that
    // read these movies have always reported it.
    const double denominator = std::max<double>(static_cast<double>(Body.Size()) - 22.0, 1.0);
    const int percent = static_cast<int>(std::nearbyint(sender.Position() / denominator * 100.0));
    OnProgress(*this, percent, kProgressCompress);
  };
  WriteHeader(zipped, HeaderMode::RectRateCount);
  zipped.CopyFrom(Body, Body.Size());
  zipped.Finish();
}

void TBasedSWFStream::SaveFile(const std::filesystem::path& fileName) {
  std::error_code ec;
  if (!std::filesystem::is_directory(fileName, ec)) std::filesystem::remove(fileName, ec);
  TFileStream file(fileName, TFileStream::Mode::Create);
  try {
    SaveToStream(file);
    file.Close();
  } catch (...) {
    std::filesystem::remove(fileName, ec);
    throw;
  }
}

}  // namespace movara::swf
