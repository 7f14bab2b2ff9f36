#include "swf/builder/FlashImage.h"

#include <algorithm>
#include <bit>
#include <cctype>

#include "base/FastDeflate.h"
#include "base/FileStream.h"
#include "base/ZlibStream.h"
#include "swf/builder/FlashMovie.h"
#include "swf/builder/JPEGData.h"
#include "swf/builder/LosslessPixels.h"

namespace movara::swf {

namespace {

std::string UpperExtension(const std::filesystem::path& fileName) {
  std::string ext = fileName.extension().string();
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return ext;
}

}  // namespace

TFlashImage::TFlashImage(TFlashMovie* owner, const std::filesystem::path& fileName) : TFlashIDObject(owner) {
  if (!fileName.empty()) LoadFile(fileName);
}

TFlashImage::TFlashImage(TFlashMovie* owner, const imaging::TBitmap& raster, bool colorMapped)
    : TFlashIDObject(owner) {
  if (raster.PixelFormat() != imaging::TPixelFormat::pf24bit && raster.PixelFormat() != imaging::TPixelFormat::pf32bit) {
    throw FlashImageError("an image raster must have 24 or 32 bits per pixel");
  }
  if (raster.Width() > 65535 || raster.Height() > 65535) throw FlashImageError("bitmap too large for a movie");
  width_ = static_cast<std::uint16_t>(raster.Width());
  height_ = static_cast<std::uint16_t>(raster.Height());
  rowWidth_ = width_;
  hasAlpha_ = raster.PixelFormat() == imaging::TPixelFormat::pf32bit;
  format_ = hasAlpha_ ? kFormatAlpha32 : TSWFDefineBitsLossless::kRGB32;
  ++buildCount_;
  // The pixels are converted at once and compressed on the movie's workers
  // when it has some, so that composing the next picture goes on meanwhile.
  if (colorMapped) {
    if (auto mapped = MapColors(raster)) {
      format_ = TSWFDefineBitsLossless::kColorMapped8;
      colorCount_ = mapped->ColorCount;
      rowWidth_ = mapped->RowWidth;
      CompressRaw(std::move(mapped->Raw), true);
      return;
    }
  }
  CompressRaw(LosslessBytes([&raster](std::uint32_t y) { return raster.ScanLine(static_cast<std::int32_t>(y)); }),
              false);
}

void TFlashImage::CompressRaw(std::vector<std::uint8_t> raw, bool colorMapped) {
  // The pixels move out of the job when it runs: a future keeps its job
  // alive, and they are not needed once compressed.
  auto compress = [raw = std::move(raw), colorMapped]() mutable {
    const std::vector<std::uint8_t> pixels = std::move(raw);
    return MakeDataBlock(colorMapped ? DeflateFast(pixels) : ZlibCompress(pixels));
  };
  if (Owner() != nullptr && Owner()->CompressionPool() != nullptr) {
    pending_ = Owner()->CompressionPool()->Submit(std::move(compress));
  } else {
    data_ = compress();
  }
}

const TDataBlock& TFlashImage::Data() const { return pending_.valid() ? pending_.get() : data_; }

void TFlashImage::LoadFile(const std::filesystem::path& fileName) {
  if (Owner() != nullptr && Owner()->OnLoadImage) {
    bool carryOn = true;
    Owner()->OnLoadImage(*this, fileName.string(), carryOn);
    if (!carryOn) return;
  }
  const std::string ext = UpperExtension(fileName);
  isJPEG_ = false;
  hasAlpha_ = false;
  if (ext == "JPG" || ext == "JPEG") {
    LoadJPEG(fileName, ReadFileBytes(fileName));
  } else if (ext == "BMP") {
    auto reader = std::make_unique<imaging::TBMPReader>();
    reader->LoadFile(fileName);
    reader_ = std::move(reader);
    TakeBMPFormat();
  } else {
    throw FlashImageError("Image format \"" + ext + "\" not supported!");
  }
}

void TFlashImage::LoadJPEG(const std::filesystem::path& fileName, std::vector<std::uint8_t> file) {
  const TJPEGInfo info = ScanJPEG(file);
  if (!info.Valid) throw FlashImageError("\"" + fileName.string() + "\" is not a JPEG file");
  width_ = info.Width;
  height_ = info.Height;
  if (ConvertProgressive && info.Progressive) file = ReencodeBaseline(file, width_, height_);
  // The tag adds its own start and end markers around the data.
  std::size_t end = file.size();
  if (end >= 4 && file[end - 2] == 0xFF && file[end - 1] == 0xD9) end -= 2;
  data_ = MakeDataBlock(std::vector<std::uint8_t>(file.begin() + 2, file.begin() + static_cast<std::ptrdiff_t>(end)));
  pending_ = {};
  isJPEG_ = true;
  reader_.reset();
}

void TFlashImage::TakeBMPFormat() {
  const imaging::TBMPReader& r = *reader_;
  if (r.Width() > 65535 || r.RowCount() > 65535) throw FlashImageError("bitmap too large for a movie");
  width_ = static_cast<std::uint16_t>(r.Width());
  height_ = static_cast<std::uint16_t>(r.RowCount());
  colorCount_ = 0;
  switch (r.BitCount()) {
    case 1:
    case 4:
    case 8:
      format_ = TSWFDefineBitsLossless::kColorMapped8;
      colorCount_ = std::max<std::uint32_t>(reader_->UsedColors(), 1);
      rowWidth_ = static_cast<std::uint16_t>((width_ + 3u) & ~3u);
      break;
    case 16:
      format_ = TSWFDefineBitsLossless::kRGB15;
      rowWidth_ = static_cast<std::uint16_t>((width_ + 1u) & ~1u);
      break;
    case 24:
      format_ = TSWFDefineBitsLossless::kRGB32;
      rowWidth_ = width_;
      break;
    case 32:
      format_ = kFormatAlpha32;
      rowWidth_ = width_;
      hasAlpha_ = true;
      break;
    default: break;
  }
  ReleaseData();
}

std::vector<std::uint8_t> TFlashImage::LosslessBytes(
    const std::function<const std::uint8_t*(std::uint32_t)>& rowAt) const {
  const std::size_t pixelBytes = format_ == TSWFDefineBitsLossless::kColorMapped8 ? 1
                                 : format_ == TSWFDefineBitsLossless::kRGB15     ? 2
                                                                                 : 4;
  std::vector<std::uint8_t> raw(colorCount_ * 3 + std::size_t{rowWidth_} * height_ * pixelBytes);
  std::uint8_t* out = raw.data();
  if (format_ == TSWFDefineBitsLossless::kColorMapped8) {
    for (std::uint32_t i = 0; i < colorCount_; ++i) {
      const std::uint32_t e = reader_->ColorTable()[i];
      *out++ = static_cast<std::uint8_t>(e >> 16), *out++ = static_cast<std::uint8_t>(e >> 8), *out++ = static_cast<std::uint8_t>(e);
    }
  }
  // Shifts and widths of the 16-bit colour masks, to repack into 5-5-5.
  int shift[3] = {0, 0, 0};
  std::uint32_t max[3] = {1, 1, 1};
  const std::uint32_t bits = reader_ ? reader_->BitCount() : (hasAlpha_ ? 32 : 24);
  for (int c = 0; c < 3 && bits == 16; ++c) {
    const std::uint32_t mask = reader_->ColorTable()[c] & 0xFFFF;
    if (mask == 0) continue;
    shift[c] = std::countr_zero(mask);
    max[c] = mask >> shift[c];
  }
  for (std::uint32_t y = 0; y < height_; ++y) {
    const std::uint8_t* line = rowAt(y);
    switch (format_) {
      case TSWFDefineBitsLossless::kColorMapped8: {
        const std::uint32_t perByte = 8 / bits;
        const std::uint8_t mask = static_cast<std::uint8_t>((1u << bits) - 1);
        for (std::uint32_t x = 0; x < width_; ++x) {
          *out++ = static_cast<std::uint8_t>((line[x / perByte] >> (8 - bits * (x % perByte + 1))) & mask);
        }
        out += rowWidth_ - width_;
        break;
      }
      case TSWFDefineBitsLossless::kRGB15:
        for (std::uint32_t x = 0; x < width_; ++x) {
          const std::uint32_t v = line[2 * x] | (line[2 * x + 1] << 8);
          std::uint32_t packed = 0;
          for (int c = 0; c < 3; ++c) packed = packed << 5 | (((v >> shift[c]) & max[c]) * 31 + max[c] / 2) / max[c];
          *out++ = static_cast<std::uint8_t>(packed >> 8);
          *out++ = static_cast<std::uint8_t>(packed);
        }
        out += (rowWidth_ - width_) * 2u;
        break;
      case TSWFDefineBitsLossless::kRGB32:
        for (std::uint32_t x = 0; x < width_; ++x, line += 3) {
          *out++ = 0xFF, *out++ = line[2], *out++ = line[1], *out++ = line[0];
        }
        break;
      default:
        // Alpha as the players read it: colours premultiplied, so a fully
        // transparent pixel is four zero bytes.
        for (std::uint32_t x = 0; x < width_; ++x, line += 4) {
          const std::uint8_t a = line[3];
          if (a == 255) {
            *out++ = 0xFF, *out++ = line[2], *out++ = line[1], *out++ = line[0];
          } else {
            *out++ = a, *out++ = Premultiply(line[2], a), *out++ = Premultiply(line[1], a), *out++ = Premultiply(line[0], a);
          }
        }
        break;
    }
  }
  return raw;
}

void TFlashImage::BuildLosslessData() {
  const imaging::TBMPReader& r = *reader_;
  data_ = MakeDataBlock(ZlibCompress(LosslessBytes([&r, this](std::uint32_t y) { return r.ScanLines(height_ - 1 - y); })));
  ++buildCount_;
}

void TFlashImage::AssignFrom(const TBasedSWFObject& source) {
  TFlashIDObject::AssignFrom(source);
  const auto* s = dynamic_cast<const TFlashImage*>(&source);
  if (s == nullptr) return;
  ConvertProgressive = s->ConvertProgressive;
  AlphaData = s->AlphaData;
  isJPEG_ = s->isJPEG_, hasAlpha_ = s->hasAlpha_, width_ = s->width_, height_ = s->height_;
  rowWidth_ = s->rowWidth_, format_ = s->format_, colorCount_ = s->colorCount_;
  data_ = s->Data();
  reader_.reset();
  if (s->reader_) {
    reader_ = std::make_unique<imaging::TBMPReader>();
    reader_->CopyFrom(*s->reader_);
  }
}

void TFlashImage::WriteToStream(TBitsEngine& be) {
  if (!isJPEG_) {
    if (!Data() && reader_) BuildLosslessData();
    std::unique_ptr<TSWFDefineBitsLossless> tag =
        hasAlpha_ ? std::make_unique<TSWFDefineBitsLossless2>() : std::make_unique<TSWFDefineBitsLossless>();
    tag->CharacterId = CharacterId();
    tag->BitmapFormat = format_ == kFormatAlpha32 ? TSWFDefineBitsLossless::kRGB32 : format_;
    tag->Width = width_;
    tag->Height = height_;
    if (format_ == TSWFDefineBitsLossless::kColorMapped8) tag->ColorTableSize = static_cast<std::uint8_t>(colorCount_ - 1);
    tag->Data = Data();
    tag->WriteToStream(be);
    return;
  }
  if (!AlphaData.empty()) {
    TSWFDefineBitsJPEG3 tag;
    tag.CharacterId = CharacterId();
    tag.Data = data_;
    tag.AlphaData = MakeDataBlock(ZlibCompress(AlphaData));
    tag.WriteToStream(be);
    return;
  }
  TSWFDefineBitsJPEG2 tag;
  tag.CharacterId = CharacterId();
  tag.Data = data_;
  tag.WriteToStream(be);
}

}  // namespace movara::swf
