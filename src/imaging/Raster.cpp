#include "imaging/Raster.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "imaging/BMPFormat.h"

namespace movara::imaging {

namespace {

std::size_t StrideFor(std::int32_t width, TPixelFormat format) {
  return (static_cast<std::size_t>(width) * static_cast<std::size_t>(format) + 31) / 32 * 4;
}

// A BMP colour-table entry (B, G, R, 0 as a little-endian word) and back.
std::uint32_t TableEntry(TColor c) { return BlueOf(c) | (std::uint32_t{GreenOf(c)} << 8) | (std::uint32_t{RedOf(c)} << 16); }
TColor FromTableEntry(std::uint32_t e) {
  return MakeColor(static_cast<std::uint8_t>(e >> 16), static_cast<std::uint8_t>(e >> 8), static_cast<std::uint8_t>(e));
}

}  // namespace

TBitmap::TBitmap(std::int32_t width, std::int32_t height, TPixelFormat format)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), format_(format), stride_(StrideFor(width_, format)),
      pixels_(stride_ * static_cast<std::size_t>(height_)) {}

TColor TBitmap::Pixel(std::int32_t x, std::int32_t y) const {
  const std::uint8_t* row = ScanLine(y);
  std::size_t index = 0;
  switch (format_) {
    case TPixelFormat::pf1bit: index = (row[x >> 3] >> (7 - (x & 7))) & 1; break;
    case TPixelFormat::pf8bit: index = row[x]; break;
    case TPixelFormat::pf24bit: return MakeColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    case TPixelFormat::pf32bit: return MakeColor(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
  }
  return index < Palette.Entries.size() ? Palette.Entries[index] : 0;
}

TARGB TBitmap::PixelARGB(std::int32_t x, std::int32_t y) const {
  if (format_ != TPixelFormat::pf32bit) return ColorToARGB(Pixel(x, y), 255);
  TARGB p;
  std::memcpy(&p, ScanLine(y) + 4 * static_cast<std::size_t>(x), 4);
  return p;
}

void TBitmap::SetPixelARGB(std::int32_t x, std::int32_t y, TARGB value) {
  std::uint8_t* px = ScanLine(y) + static_cast<std::size_t>(x) * (format_ == TPixelFormat::pf32bit ? 4 : 3);
  px[0] = static_cast<std::uint8_t>(value);
  px[1] = static_cast<std::uint8_t>(value >> 8);
  px[2] = static_cast<std::uint8_t>(value >> 16);
  if (format_ == TPixelFormat::pf32bit) px[3] = static_cast<std::uint8_t>(value >> 24);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  TBitmap out(width_, height_, format);
  if (format == TPixelFormat::pf24bit || format == TPixelFormat::pf32bit) {
    for (std::int32_t y = 0; y < height_; ++y) {
      for (std::int32_t x = 0; x < width_; ++x) out.SetPixelARGB(x, y, PixelARGB(x, y));
    }
  } else if (format == TPixelFormat::pf8bit) {
    std::unordered_map<TColor, std::uint8_t> exact;
    bool fits = true;
    for (std::int32_t y = 0; y < height_ && fits; ++y) {
      for (std::int32_t x = 0; x < width_ && fits; ++x) {
        const TColor c = Pixel(x, y);
        if (exact.count(c) == 0) {
          if (exact.size() == TPalette::kMaxEntries) fits = false;
          else exact.emplace(c, static_cast<std::uint8_t>(exact.size()));
        }
      }
    }
    if (fits) {
      out.Palette.Entries.resize(exact.size());
      for (auto [c, i] : exact) out.Palette.Entries[i] = c;
    } else {
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b) out.Palette.Entries.push_back(MakeColor(r * 51, g * 51, b * 51));
    }
    for (std::int32_t y = 0; y < height_; ++y) {
      std::uint8_t* row = out.ScanLine(y);
      for (std::int32_t x = 0; x < width_; ++x) {
        const TColor c = Pixel(x, y);
        row[x] = fits ? exact[c]
                      : static_cast<std::uint8_t>(36 * ((RedOf(c) + 25) / 51) + 6 * ((GreenOf(c) + 25) / 51) +
                                                  (BlueOf(c) + 25) / 51);
      }
    }
  } else {
    out.Palette.Entries = {MakeColor(0, 0, 0), MakeColor(255, 255, 255)};
    for (std::int32_t y = 0; y < height_; ++y) {
      std::uint8_t* row = out.ScanLine(y);
      for (std::int32_t x = 0; x < width_; ++x) {
        const TColor c = Pixel(x, y);
        if (RedOf(c) * 299 + GreenOf(c) * 587 + BlueOf(c) * 114 >= 128000) row[x >> 3] |= 0x80 >> (x & 7);
      }
    }
  }
  *this = std::move(out);
}

void TBitmap::SaveToStream(TStream& stream) const {
  std::vector<std::uint32_t> table;
  std::uint32_t important = 0;
  if (format_ == TPixelFormat::pf8bit || format_ == TPixelFormat::pf1bit) {
    const std::size_t size = format_ == TPixelFormat::pf8bit ? 256 : 2;
    table.assign(size, 0);
    const std::size_t n = std::min(size, Palette.Entries.size());
    for (std::size_t i = 0; i < n; ++i) table[i] = TableEntry(Palette.Entries[i]);
    important = static_cast<std::uint32_t>(n);
  }
  TBMPWriteInfo info;
  info.Width = width_;
  info.Height = height_;
  info.BitCount = static_cast<std::uint16_t>(format_);
  info.ColorsUsed = static_cast<std::uint32_t>(table.size());
  info.ColorsImportant = important;
  info.ColorTable = table;
  const std::string header = BMPHeaderBytes(info);
  stream.Write(header.data(), header.size());
  for (std::int32_t y = height_ - 1; y >= 0; --y) stream.Write(ScanLine(y), stride_);
}

void TBitmap::SaveToFile(const std::filesystem::path& path) const {
  TFileStream file(path, TFileStream::Mode::Create);
  SaveToStream(file);
  file.Close();
}

void TBitmap::LoadFromStream(TStream& stream) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Remaining()));
  stream.ReadBuffer(bytes.data(), bytes.size());
  const TBMPFileInfo info = ParseBMPHeaders(bytes);
  if (info.Compression != biRGB || (info.BitCount != 1 && info.BitCount != 8 && info.BitCount != 24 && info.BitCount != 32)) {
    throw BMPError("a bitmap loads only uncompressed 1-, 8-, 24- and 32-bit BMP files");
  }
  TBitmap out(info.Width, static_cast<std::int32_t>(info.RowCount()), static_cast<TPixelFormat>(info.BitCount));
  for (std::uint32_t i = 0; i < info.PaletteCount; ++i) out.Palette.Entries.push_back(FromTableEntry(info.Palette[i]));
  // Rows missing at the end of a short file stay zero.
  const std::size_t stride = out.stride_;
  for (std::uint32_t i = 0; i < info.RowCount(); ++i) {
    const std::size_t at = info.DataOffset + i * stride;
    if (at >= bytes.size()) break;
    const std::int32_t y = info.Height > 0 ? out.height_ - 1 - static_cast<std::int32_t>(i) : static_cast<std::int32_t>(i);
    std::memcpy(out.ScanLine(y), bytes.data() + at, std::min(stride, bytes.size() - at));
  }
  *this = std::move(out);
}

void TBitmap::LoadFromFile(const std::filesystem::path& path) {
  const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  TMemoryViewStream stream(bytes);
  LoadFromStream(stream);
}

TMask::TMask(std::int32_t width, std::int32_t height)
    : width_(width), height_(height), rowBytes_((static_cast<std::size_t>(width) + 7) / 8),
      bits_(rowBytes_ * static_cast<std::size_t>(height)) {}

}  // namespace movara::imaging
