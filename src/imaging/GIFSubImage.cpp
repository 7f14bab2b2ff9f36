#include "imaging/GIFSubImage.h"

#include <algorithm>
#include <cstring>

#include "imaging/GIFException.h"
#include "imaging/GIFImage.h"
#include "imaging/GIFLZW.h"
#include "imaging/GIFStreamReader.h"

namespace movara::imaging {

namespace {

// Reads the data sub-blocks of a frame up to their terminator (or the end
// of the stream) into one buffer followed by the decoder's zero padding.
std::vector<std::uint8_t> ReadDataBlocks(TGIFStreamReader& reader, TGIFImage* image) {
  std::vector<std::uint8_t> data;
  std::uint8_t size;
  while (reader.ReadByte(size) && size != 0) {
    const std::size_t at = data.size();
    data.resize(at + size);
    const std::size_t got = reader.ReadSome(data.data() + at, size);
    if (got < size) {
      if (image != nullptr) image->Warning(gifmsg::kPrematureEnd);
      data.resize(at + got);
      break;
    }
  }
  data.resize(data.size() + kLZWPadding, 0);
  return data;
}

// Rows in the order interlaced data delivers them: every 8th from 0, every
// 8th from 4, every 4th from 2, every 2nd from 1.
void Deinterlace(const std::uint8_t* linear, std::uint8_t* out, std::size_t width, std::size_t height) {
  static constexpr std::size_t kStart[4] = {0, 4, 2, 1};
  static constexpr std::size_t kStep[4] = {8, 8, 4, 2};
  std::size_t source = 0;
  for (int pass = 0; pass < 4; ++pass) {
    for (std::size_t y = kStart[pass]; y < height; y += kStep[pass]) {
      std::memcpy(out + y * width, linear + source * width, width);
      ++source;
    }
  }
}

}  // namespace

TGIFSubImage::TGIFSubImage(TGIFImage* image) : image_(image), colorMap_(image) {
  colorMap_.OnChange = [this] {
    palette_.reset();
    bitmap_.reset();
    mask_.reset();
    needMask_ = true;
  };
}

const TGIFColorMap& TGIFSubImage::EffectiveColorMap() const {
  if (colorMap_.Count() > 0) return colorMap_;
  if (image_ != nullptr && image_->GlobalColorMap().Count() > 0) return image_->GlobalColorMap();
  return colorMap_;
}

void TGIFSubImage::DropTransparency() {
  if (gce_ != nullptr) gce_->SetTransparent(false);
  transparent_ = false;
}

void TGIFSubImage::SetSize(std::uint16_t width, std::uint16_t height) {
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<std::size_t>(width) * height, 0);
  DropCaches();
}

TGIFExtension& TGIFSubImage::AddExtension(std::unique_ptr<TGIFExtension> extension) {
  if (gce_ == nullptr) gce_ = dynamic_cast<TGIFGraphicControlExtension*>(extension.get());
  extensions_.push_back(std::move(extension));
  return *extensions_.back();
}

void TGIFSubImage::RemoveGraphicControlExtension() {
  // Surplus control extensions of a malformed file go too, so that none of
  // them takes the removed one's place.
  std::erase_if(extensions_, [](const std::unique_ptr<TGIFExtension>& e) {
    return dynamic_cast<const TGIFGraphicControlExtension*>(e.get()) != nullptr;
  });
  gce_ = nullptr;
  transparent_ = false;
}

void TGIFSubImage::CheckCoordinates(int x, int y) const {
  if (x < 0 || x >= width_ || y < 0 || y >= height_) throw GIFException(gifmsg::kBadPixelCoord);
}

std::uint8_t TGIFSubImage::Pixel(int x, int y) const {
  CheckCoordinates(x, y);
  return pixels_.empty() ? 0 : pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void TGIFSubImage::SetPixel(int x, int y, std::uint8_t index) {
  CheckCoordinates(x, y);
  ScanLine(y)[x] = index;
}

std::uint8_t* TGIFSubImage::ScanLine(int y) {
  if (width_ == 0 || height_ == 0) throw GIFException(gifmsg::kEmptyImage);
  CheckCoordinates(0, y);
  if (pixels_.empty()) pixels_.assign(static_cast<std::size_t>(width_) * height_, 0);
  return pixels_.data() + static_cast<std::size_t>(y) * width_;
}

void TGIFSubImage::DropCaches() {
  bitmap_.reset();
  mask_.reset();
  needMask_ = true;
}

void TGIFSubImage::Clear() {
  extensions_.clear();
  gce_ = nullptr;
  transparent_ = false;
  colorMap_.Clear();
  pixels_.clear();
  pixels_.shrink_to_fit();
  width_ = 0;
  height_ = 0;
  Left = Top = 0;
  Interlaced = false;
  Packed = 0;
  DropCaches();
}

void TGIFSubImage::LoadExtensions(TGIFStreamReader& reader) {
  std::uint8_t b;
  if (!reader.ReadByte(b)) return;
  while (b != 0x2C && b != 0x3B) {
    if (b != 0x21) {
      if (image_ != nullptr) image_->Warning(gifmsg::kBadExtension);
      break;
    }
    reader.Back(1);
    if (auto extension = CreateExtension(reader, this)) {
      AddExtension(std::move(extension)).LoadFromStream(reader);
    } else {
      SkipUnknownExtension(reader, this);
    }
    if (!reader.ReadByte(b)) return;
  }
  reader.Back(1);
}

void TGIFSubImage::LoadFromStream(TGIFStreamReader& reader) {
  Clear();
  LoadExtensions(reader);

  std::uint8_t peek;
  if (!reader.ReadByte(peek)) return;
  reader.Back(1);
  if (peek == 0x3B || peek == 0x00) return;  // extensions after the last image

  std::uint8_t d[10];
  reader.ReadExact(d, sizeof d);
  Left = static_cast<std::uint16_t>(d[1] | (d[2] << 8));
  Top = static_cast<std::uint16_t>(d[3] | (d[4] << 8));
  std::uint16_t width = static_cast<std::uint16_t>(d[5] | (d[6] << 8));
  std::uint16_t height = static_cast<std::uint16_t>(d[7] | (d[8] << 8));
  Packed = d[9];
  Interlaced = (Packed & 0x40) != 0;
  if (width == 0 || height == 0) {
    width = image_ != nullptr ? image_->Width() : 0;
    height = image_ != nullptr ? image_->Height() : 0;
    if (image_ != nullptr) image_->Warning(gifmsg::kBadSize);
  }
  width_ = width;
  height_ = height;
  if ((Packed & 0x80) != 0) colorMap_.LoadFromStream(reader, 2 << (Packed & 7));
  LoadImageData(reader);
}

void TGIFSubImage::LoadImageData(TGIFStreamReader& reader) {
  const std::uint64_t area = std::uint64_t{width_} * height_;
  const std::uint8_t fill = transparent_ && gce_ != nullptr ? gce_->TransparentIndex : 0;
  std::uint8_t minCodeSize = 0;
  std::vector<std::uint8_t> data;
  const bool hasData = reader.ReadByte(minCodeSize);
  if (hasData) data = ReadDataBlocks(reader, image_);
  const std::size_t dataBytes = data.empty() ? 0 : data.size() - kLZWPadding;

  // Only what the data can reach is charged to the data; the rest takes the
  // image's allowance for unfilled pixels.
  const std::uint64_t reachable = hasData ? std::min(area, LZWPixelBound(dataBytes, minCodeSize)) : 0;
  if (image_ != nullptr) image_->ChargeUnfilledPixels(area - reachable);
  if (area > 0) {
    try {
      pixels_.assign(static_cast<std::size_t>(area), fill);
    } catch (const std::bad_alloc&) {
      throw GIFException(gifmsg::kOutOfMemory);
    }
  }
  if (!hasData || area == 0) return;

  TLZWResult result;
  if (Interlaced) {
    std::vector<std::uint8_t> linear(pixels_);
    result = DecodeLZW(std::span(data).first(dataBytes), minCodeSize, linear.data(), linear.size());
    Deinterlace(linear.data(), pixels_.data(), width_, height_);
  } else {
    result = DecodeLZW(std::span(data).first(dataBytes), minCodeSize, pixels_.data(), pixels_.size());
  }
  if (result.Underrun && image_ != nullptr) image_->Warning(gifmsg::kBitUnderrun);
}

void TGIFSubImage::AssignFrom(const TGIFSubImage& source) {
  Clear();
  if (source.IsEmpty()) return;
  Left = source.Left;
  Top = source.Top;
  width_ = source.width_;
  height_ = source.height_;
  Interlaced = source.Interlaced;
  Packed = source.Packed;
  colorMap_.Assign(source.colorMap_.Colors());
  colorMap_.Optimized = source.colorMap_.Optimized;
  for (const auto& ext : source.extensions_) AddExtension(ext->CloneFor(this));
  transparent_ = source.transparent_;
  pixels_ = source.pixels_;
}

TPalette TGIFSubImage::Palette() {
  if (bitmap_ != nullptr) return bitmap_->Palette;
  if (palette_) return *palette_;
  if (colorMap_.Count() == 0) return image_ != nullptr ? image_->Palette() : TPalette{};
  palette_ = TPalette{colorMap_.Colors()};
  return *palette_;
}

const TBitmap* TGIFSubImage::FrameBitmap() {
  if (bitmap_ != nullptr || IsEmpty()) return bitmap_.get();
  Render();
  return bitmap_.get();
}

const TMask* TGIFSubImage::Mask() {
  if (needMask_ && transparent_) {
    bitmap_.reset();
    FrameBitmap();
  }
  return mask_.get();
}

void TGIFSubImage::Render() {
  TGIFImage* image = image_;
  const auto progress = [image](int stage, int percent) {
    return image == nullptr || image->Progress(stage, percent, gifmsg::kRendering);
  };
  progress(0, 0);
  auto bitmap = std::make_unique<TBitmap>(width_, height_, TPixelFormat::pf8bit);
  bitmap->Palette = Palette();
  const bool buildMask = transparent_ && needMask_ && gce_ != nullptr;
  std::unique_ptr<TMask> mask = buildMask ? std::make_unique<TMask>(width_, height_) : nullptr;
  const std::uint8_t transparentIndex = gce_ != nullptr ? gce_->TransparentIndex : 0;
  bool anyMasked = false;
  for (int y = 0; y < height_; ++y) {
    if (y % 32 == 0 && !progress(1, static_cast<int>(std::int64_t{y} * 100 / height_))) {
      progress(2, 0);
      return;
    }
    const std::uint8_t* src = pixels_.data() + static_cast<std::size_t>(y) * width_;
    std::memcpy(bitmap->ScanLine(y), src, width_);
    if (mask != nullptr) {
      for (int x = 0; x < width_; ++x) {
        if (src[x] == transparentIndex) {
          mask->Set(x, y);
          anyMasked = true;
        }
      }
    }
  }
  bitmap_ = std::move(bitmap);
  if (anyMasked) mask_ = std::move(mask);
  needMask_ = false;
  progress(2, 100);
}

}  // namespace movara::imaging
