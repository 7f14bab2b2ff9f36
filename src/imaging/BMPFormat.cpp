#include "imaging/BMPFormat.h"

#include <algorithm>
#include <cstdlib>

namespace movara::imaging {

namespace {

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void PutU16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
void PutU32(std::string& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

}  // namespace

TBMPFileInfo ParseBMPHeaders(std::span<const std::uint8_t> file) {
  TBMPFileInfo info;
  if (file.size() < 14 + 12) throw BMPError("BMP file too short for its headers");
  info.FileSize = U32(file, 2);
  info.DataOffset = U32(file, 10);
  info.HeaderSize = U32(file, 14);
  std::size_t paletteAt = 0;
  std::size_t entryBytes = 4;
  if (info.HeaderSize == 12) {
    info.Width = U16(file, 18);
    info.Height = static_cast<std::int16_t>(U16(file, 20));
    info.BitCount = U16(file, 24);
    paletteAt = 14 + 12;
    entryBytes = 3;
  } else if (info.HeaderSize >= 40 && info.HeaderSize <= 124) {
    if (file.size() < 14 + 40) throw BMPError("BMP file too short for its info header");
    info.Width = static_cast<std::int32_t>(U32(file, 18));
    info.Height = static_cast<std::int32_t>(U32(file, 22));
    info.BitCount = U16(file, 28);
    info.Compression = U32(file, 30);
    paletteAt = 14 + info.HeaderSize;
    if (info.Compression == biBitfields) {
      // The masks follow a 40-byte header and sit inside the larger ones.
      if (file.size() < 14 + 40 + 12) throw BMPError("BMP colour masks missing");
      for (int i = 0; i < 3; ++i) info.Masks[i] = U32(file, 14 + 40 + 4 * i);
      if (info.HeaderSize == 40) paletteAt += 12;
    }
  } else {
    throw BMPError("unsupported BMP header size " + std::to_string(info.HeaderSize));
  }

  switch (info.BitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: throw BMPError("unsupported BMP bit count " + std::to_string(info.BitCount));
  }
  const bool compressionFits =
      info.Compression == biRGB || (info.Compression == biRLE8 && info.BitCount == 8) ||
      (info.Compression == biRLE4 && info.BitCount == 4) ||
      (info.Compression == biBitfields && (info.BitCount == 16 || info.BitCount == 32));
  if (!compressionFits) throw BMPError("unsupported BMP compression " + std::to_string(info.Compression));
  if (info.Width <= 0 || info.Height == 0 || info.Width > kMaxBMPSide || std::abs(std::int64_t{info.Height}) > kMaxBMPSide ||
      std::int64_t{info.Width} * info.RowCount() > kMaxBMPPixels) {
    throw BMPError("unsupported BMP dimensions " + std::to_string(info.Width) + " x " + std::to_string(info.Height));
  }
  if (info.DataOffset > file.size() || info.DataOffset < paletteAt) throw BMPError("BMP pixel data offset outside the file");

  if (info.BitCount <= 8) {
    const std::size_t available = (info.DataOffset - paletteAt) / entryBytes;
    info.PaletteCount = static_cast<std::uint32_t>(std::min<std::size_t>({available, 256, std::size_t{1} << info.BitCount}));
    for (std::uint32_t i = 0; i < info.PaletteCount; ++i) {
      const std::size_t at = paletteAt + i * entryBytes;
      info.Palette[i] = entryBytes == 4 ? U32(file, at) : (file[at] | (file[at + 1] << 8) | (file[at + 2] << 16));
    }
  }
  return info;
}

std::string BMPHeaderBytes(const TBMPWriteInfo& info) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(info.Width) * info.BitCount + 31) / 32 * 4;
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(std::abs(info.Height));
  const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(info.ColorTable.size()) * 4;
  std::string out;
  out.reserve(offset);
  out += "BM";
  PutU32(out, offset + imageSize);
  PutU32(out, 0);
  PutU32(out, offset);
  PutU32(out, 40);
  PutU32(out, static_cast<std::uint32_t>(info.Width));
  PutU32(out, static_cast<std::uint32_t>(info.Height));
  PutU16(out, 1);
  PutU16(out, info.BitCount);
  PutU32(out, biRGB);
  PutU32(out, imageSize);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, info.ColorsUsed);
  PutU32(out, info.ColorsImportant);
  for (const std::uint32_t entry : info.ColorTable) PutU32(out, entry);
  return out;
}

}  // namespace movara::imaging
