#include "imaging/BMPReader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/FileStream.h"
#include "base/MemoryStream.h"

namespace movara::imaging {

namespace {

std::uint8_t MaskWidth(std::uint32_t mask) {
  if (mask == 0) return 0;
  return static_cast<std::uint8_t>((31 - std::countl_zero(mask)) - std::countr_zero(mask) + 1);
}

}  // namespace

void TBMPReader::LoadFile(const std::filesystem::path& path) {
  const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  TMemoryViewStream stream(bytes);
  LoadFromStream(stream);
}

void TBMPReader::LoadFromStream(TStream& stream) {
  std::vector<std::uint8_t> file(static_cast<std::size_t>(stream.Remaining()));
  stream.ReadBuffer(file.data(), file.size());
  const TBMPFileInfo info = ParseBMPHeaders(file);

  std::uint8_t widths[3] = {0, 0, 0};
  if (info.Compression == biBitfields) {
    for (int i = 0; i < 3; ++i) widths[i] = MaskWidth(info.Masks[i]);
  }
  SetFormat(info.Width, info.Height, info.BitCount, widths[0], widths[1], widths[2]);
  std::fill(bits_.begin(), bits_.end(), 0);
  if (info.BitCount <= 8) {
    colorTable_.fill(0);
    std::copy_n(info.Palette, info.PaletteCount, colorTable_.begin());
    for (std::uint32_t i = 0; i < (1u << info.BitCount); ++i) colorTable_[i] |= 0xFF000000u;
  }
  const std::span<const std::uint8_t> data = std::span(file).subspan(info.DataOffset);
  if (info.Compression == biRLE8 || info.Compression == biRLE4) {
    // The run-length data runs to the declared file size, but never past the
    // bytes that are really there.
    const std::size_t declared = info.FileSize > info.DataOffset ? info.FileSize - info.DataOffset : data.size();
    DecodeRLE(data.first(std::min(declared, data.size())), info.Compression == biRLE4);
  } else {
    std::memcpy(bits_.data(), data.data(), std::min(bits_.size(), data.size()));
  }
}

void TBMPReader::SetFormat(std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::uint8_t redBits,
                           std::uint8_t greenBits, std::uint8_t blueBits) {
  // No screen to ask: a bit count of 0 takes true colour.
  if (bitCount == 0) bitCount = 32, redBits = greenBits = blueBits = 8;
  const std::uint32_t rows = static_cast<std::uint32_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
  if (width < 0 || width > kMaxBMPSide || rows > kMaxBMPSide || std::int64_t{width} * rows > kMaxBMPPixels) {
    throw BMPError("unsupported bitmap size " + std::to_string(width) + " x " + std::to_string(height));
  }
  const std::array<std::uint8_t, 3> widths = {redBits, greenBits, blueBits};
  const bool masked = redBits != 0 || greenBits != 0 || blueBits != 0;
  const bool unchanged = !bits_.empty() && header_.Width == width && header_.Height == height &&
                         header_.BitCount == bitCount && maskWidths_ == widths;

  header_ = TBitmapInfoHeader{};
  header_.Width = width;
  header_.Height = height;
  header_.BitCount = bitCount;
  header_.Compression = masked ? biBitfields : biRGB;
  maskWidths_ = widths;
  if (bitCount == 16 || bitCount == 32) {
    std::uint8_t r = redBits, g = greenBits, b = blueBits;
    if (!masked) r = g = b = bitCount == 16 ? 5 : 8;
    // Fields of up to 32 bits at shifts of up to 64 (hostile widths), cut
    // to the 32 bits of a pixel.
    const auto field = [](std::uint32_t bits, std::uint32_t shift) -> std::uint32_t {
      if (shift >= 32) return 0;
      const std::uint64_t ones = (std::uint64_t{1} << std::min<std::uint32_t>(bits, 32)) - 1;
      return static_cast<std::uint32_t>(ones << shift);
    };
    colorTable_[2] = field(b, 0);
    colorTable_[1] = field(g, b);
    // A 32-bit total gives red every bit up to bit 31.
    colorTable_[0] = r + g + b >= 32 ? field(32, g + b) : field(r, g + b);
  }
  rowStride_ = bitCount == 32 ? static_cast<std::uint32_t>(width) * 4
                              : static_cast<std::uint32_t>((std::uint64_t{static_cast<std::uint32_t>(width)} * bitCount + 31) / 32 * 4);
  rowPadding_ = rowStride_ - static_cast<std::uint32_t>((std::uint64_t{static_cast<std::uint32_t>(width)} * bitCount + 7) / 8);
  rowCount_ = rows;
  header_.SizeImage = rowStride_ * rowCount_;
  if (!unchanged) bits_.assign(header_.SizeImage, 0);
  PointScanLines();
}

// Row pointers follow the pixel buffer, which moves whenever it is rebuilt.
void TBMPReader::PointScanLines() {
  scanLines_.resize(rowCount_);
  for (std::uint32_t i = 0; i < rowCount_; ++i) scanLines_[i] = bits_.data() + std::size_t{i} * rowStride_;
}

void TBMPReader::DecodeRLE(std::span<const std::uint8_t> data, bool fourBit) {
  const std::uint32_t width = static_cast<std::uint32_t>(header_.Width);
  std::uint32_t x = 0;
  std::uint32_t row = 0;
  std::size_t at = 0;
  const auto put = [&](std::uint8_t value) {
    if (row >= rowCount_ || x >= width) return;
    std::uint8_t* line = scanLines_[row];
    if (fourBit) {
      std::uint8_t& byte = line[x / 2];
      byte = (x % 2 == 0) ? static_cast<std::uint8_t>((byte & 0x0F) | (value << 4))
                          : static_cast<std::uint8_t>((byte & 0xF0) | (value & 0x0F));
    } else {
      line[x] = value;
    }
  };
  while (row < rowCount_ && data.size() - at >= 2) {
    const std::uint8_t count = data[at];
    const std::uint8_t value = data[at + 1];
    at += 2;
    if (count > 0) {
      for (std::uint32_t i = 0; i < count && x < width; ++i, ++x) {
        put(fourBit ? static_cast<std::uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
      }
      continue;
    }
    if (value == 0) {
      x = 0;
      ++row;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (data.size() - at < 2) return;
      x += data[at];
      row += data[at + 1];
      at += 2;
    } else {
      const std::size_t bytes = fourBit ? (value + 1u) / 2 : value;
      const std::size_t padded = bytes + (bytes % 2);
      if (data.size() - at < bytes) return;
      for (std::uint32_t i = 0; i < value; ++i, ++x) {
        const std::uint8_t b = data[at + (fourBit ? i / 2 : i)];
        put(fourBit ? static_cast<std::uint8_t>(i % 2 == 0 ? b >> 4 : b & 0x0F) : b);
      }
      at += std::min(padded, data.size() - at);
    }
  }
}

void TBMPReader::CopyFrom(const TBMPReader& other) {
  header_ = other.header_;
  colorTable_ = other.colorTable_;
  bits_ = other.bits_;
  rowStride_ = other.rowStride_;
  rowPadding_ = other.rowPadding_;
  rowCount_ = other.rowCount_;
  maskWidths_ = other.maskWidths_;
  PointScanLines();
}

void TBMPReader::AssignHandle(const TBitmap& bitmap) {
  const auto bitCount = static_cast<std::uint16_t>(bitmap.PixelFormat());
  SetSize(bitmap.Width(), bitmap.Height(), bitCount);
  const std::size_t bytes = std::min<std::size_t>(rowStride_, bitmap.Stride());
  for (std::uint32_t i = 0; i < rowCount_; ++i) {
    std::memcpy(scanLines_[i], bitmap.ScanLine(static_cast<std::int32_t>(rowCount_ - 1 - i)), bytes);
  }
  if (bitCount <= 8) {
    colorTable_.fill(0);
    const auto& entries = bitmap.Palette.Entries;
    for (std::size_t i = 0; i < entries.size() && i < colorTable_.size(); ++i) {
      colorTable_[i] = BlueOf(entries[i]) | (std::uint32_t{GreenOf(entries[i])} << 8) |
                       (std::uint32_t{RedOf(entries[i])} << 16) | 0xFF000000u;
    }
  }
}

std::uint32_t TBMPReader::UsedColors() {
  const std::uint32_t width = static_cast<std::uint32_t>(std::max(header_.Width, 0));
  switch (header_.BitCount) {
    case 1:
    case 4:
    case 8: {
      const std::uint32_t bpp = header_.BitCount;
      const std::uint32_t perByte = 8 / bpp;
      const std::uint8_t mask = static_cast<std::uint8_t>((1u << bpp) - 1);
      const auto indexAt = [&](const std::uint8_t* line, std::uint32_t x) {
        return static_cast<std::uint8_t>((line[x / perByte] >> (8 - bpp * (x % perByte + 1))) & mask);
      };
      std::array<bool, 256> used{};
      for (std::uint32_t r = 0; r < rowCount_; ++r) {
        for (std::uint32_t x = 0; x < width; ++x) used[indexAt(scanLines_[r], x)] = true;
      }
      std::array<std::uint8_t, 256> renumber{};
      std::array<std::uint32_t, 256> table{};
      std::uint32_t count = 0;
      for (std::uint32_t i = 0; i < 256; ++i) {
        if (!used[i]) continue;
        renumber[i] = static_cast<std::uint8_t>(count);
        table[count++] = colorTable_[i];
      }
      std::copy_n(table.begin(), count, colorTable_.begin());
      for (std::uint32_t r = 0; r < rowCount_; ++r) {
        std::uint8_t* line = scanLines_[r];
        for (std::uint32_t x = 0; x < width; ++x) {
          const std::uint32_t shift = 8 - bpp * (x % perByte + 1);
          std::uint8_t& byte = line[x / perByte];
          byte = static_cast<std::uint8_t>((byte & ~(mask << shift)) | (renumber[indexAt(line, x)] << shift));
        }
      }
      return count;
    }
    case 16: {
      std::vector<bool> seen(65536);
      std::uint32_t count = 0;
      for (std::uint32_t r = 0; r < rowCount_; ++r) {
        for (std::uint32_t x = 0; x < width; ++x) {
          const std::uint16_t v = static_cast<std::uint16_t>(scanLines_[r][2 * x] | (scanLines_[r][2 * x + 1] << 8));
          if (!seen[v]) seen[v] = true, ++count;
        }
      }
      return count;
    }
    case 24:
    case 32: {
      std::vector<bool> seen(1u << 24);
      std::uint32_t count = 0;
      const std::uint32_t step = header_.BitCount / 8;
      for (std::uint32_t r = 0; r < rowCount_; ++r) {
        const std::uint8_t* line = scanLines_[r];
        for (std::uint32_t x = 0; x < width; ++x) {
          const std::uint32_t v = line[step * x] | (line[step * x + 1] << 8) | (line[step * x + 2] << 16);
          if (!seen[v]) seen[v] = true, ++count;
        }
      }
      return count;
    }
    default: return 0;
  }
}

}  // namespace movara::imaging
