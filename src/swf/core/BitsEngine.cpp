#include "swf/core/BitsEngine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace movara::swf {

std::uint32_t GetBitsCount(std::int64_t value, std::uint32_t add) {
  if (value == 0) return 0;
  const std::uint64_t magnitude = value < 0 ? static_cast<std::uint64_t>(-value) : static_cast<std::uint64_t>(value);
  std::uint32_t n = 1;
  while (n < 32 && magnitude >= (std::uint64_t{1} << n)) ++n;
  return n + add;
}

std::int64_t MaxAbs(std::int64_t a, std::int64_t b) { return std::max(std::llabs(a), std::llabs(b)); }

std::int64_t MaxAbs(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d) {
  return std::max(MaxAbs(a, b), MaxAbs(c, d));
}

TNormalRect NormalizeRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                          bool toTwips) {
  TNormalRect r{std::min(left, right), std::max(left, right), std::min(top, bottom), std::max(top, bottom)};
  if (toTwips) {
    r.XMin *= 20;
    r.XMax *= 20;
    r.YMin *= 20;
    r.YMax *= 20;
  }
  return r;
}

std::int32_t SingleToFixed16(double x) { return static_cast<std::int32_t>(std::trunc(x * 65536.0)); }

std::uint16_t SingleToFixed8(double x) {
  const double whole = std::trunc(x);
  const long fraction = std::lround((x - whole) * 256.0);
  return static_cast<std::uint16_t>((static_cast<long>(whole) << 8) + fraction);
}

double Fixed8ToSingle(std::uint16_t w) { return (w >> 8) + (w & 0xFF) / 256.0; }

namespace {

void AppendUnit(std::string& out, std::uint32_t u) {
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i]; returns U+FFFD for a malformed one.
std::uint32_t DecodeUtf8(const std::string& text, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i++);
  if (lead < 0x80) return lead;
  int extra = 0;
  std::uint32_t cp = 0;
  std::uint32_t min = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, cp = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, cp = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, cp = lead & 0x07, min = 0x10000;
  } else {
    return 0xFFFD;
  }
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size() || (byte(i) & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (byte(i++) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
  return cp;
}

}  // namespace

std::string AnsiToUTF8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::uint32_t cp = DecodeUtf8(text, i);
    if (cp >= 0x10000) {
      const std::uint32_t v = cp - 0x10000;
      AppendUnit(out, 0xD800 | (v >> 10));
      AppendUnit(out, 0xDC00 | (v & 0x3FF));
    } else {
      AppendUnit(out, cp);
    }
  }
  return out;
}

void TBitsEngine::FlushBits(bool pad) {
  if (BitCount > 0 && pad) WriteBits(0, 8 - BitCount);
  BitBuffer = 0;
  BitCount = 0;
}

void TBitsEngine::WriteBits(std::uint32_t value, std::uint32_t count) {
  if (count == 0) return;
  const std::uint32_t v = count == 32 ? value : value & ((1u << count) - 1);
  const std::uint32_t total = BitCount + count;
  if (total <= 7) {
    BitBuffer = static_cast<std::uint8_t>((BitBuffer << count) | v);
    BitCount = static_cast<std::uint8_t>(total);
    return;
  }
  const std::uint32_t bytes = total / 8;
  const std::uint32_t rest = total % 8;
  std::uint64_t out;
  if (rest > 0) {
    out = (std::uint64_t{BitBuffer} << (count - rest)) + (v >> rest);
    BitBuffer = static_cast<std::uint8_t>(value & ((1u << rest) - 1));
    BitCount = static_cast<std::uint8_t>(rest);
  } else {
    out = (std::uint64_t{BitBuffer} << count) + v;
    BitBuffer = 0;
    BitCount = 0;
  }
  std::uint8_t emitted[5];
  for (std::uint32_t k = 0; k < bytes; ++k) {
    emitted[k] = static_cast<std::uint8_t>(out >> (8 * (bytes - 1 - k)));
  }
  Stream.Write(emitted, bytes);
}

void TBitsEngine::WriteByte(std::uint8_t value) {
  if (BitCount > 0) {
    WriteByteBits(value, 8);
  } else {
    Stream.Write(&value, 1);
  }
}

void TBitsEngine::WriteWord(std::uint16_t value) {
  FlushBits(true);
  const std::uint8_t b[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
  Stream.Write(b, 2);
}

void TBitsEngine::WriteDWord(std::uint32_t value) {
  FlushBits(true);
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  Stream.Write(b, 4);
}

void TBitsEngine::WriteRGB(std::uint32_t color) {
  const std::uint8_t b[3] = {static_cast<std::uint8_t>(color), static_cast<std::uint8_t>(color >> 8),
                             static_cast<std::uint8_t>(color >> 16)};
  Stream.Write(b, 3);
}

void TBitsEngine::WriteRGBA(std::uint32_t color) {
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(color), static_cast<std::uint8_t>(color >> 8),
                             static_cast<std::uint8_t>(color >> 16), static_cast<std::uint8_t>(color >> 24)};
  Stream.Write(b, 4);
}

void TBitsEngine::WriteBytes(const void* data, std::size_t count) {
  if (count > 0) Stream.Write(data, count);
}

void TBitsEngine::WriteSWFRect(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax) {
  const std::uint32_t nbits = GetBitsCount(MaxAbs(xMin, xMax, yMin, yMax), 1);
  WriteByteBits(static_cast<std::uint8_t>(nbits), 5);
  WriteSBits(xMin, nbits);
  WriteSBits(xMax, nbits);
  WriteSBits(yMin, nbits);
  WriteSBits(yMax, nbits);
  FlushBits(true);
}

void TBitsEngine::WriteRect(const TRectangle& rect) {
  const TNormalRect r = NormalizeRect(rect.Left, rect.Top, rect.Right, rect.Bottom, false);
  WriteSWFRect(r.XMin, r.XMax, r.YMin, r.YMax);
}

void TBitsEngine::WriteText(const std::string& text, bool terminate, bool toUTF8) {
  const std::string bytes = toUTF8 ? AnsiToUTF8(text) : text;
  for (const char c : bytes) WriteByte(static_cast<std::uint8_t>(c));
  if (terminate) WriteByte(0);
}

void TBitsEngine::WriteMatrix(bool hasScale, bool hasSkew, std::int32_t scaleX, std::int32_t scaleY,
                              std::int32_t rotateSkew1, std::int32_t rotateSkew0, std::int32_t translateX,
                              std::int32_t translateY) {
  WriteBit(hasScale);
  if (hasScale) {
    const std::uint32_t n = GetBitsCount(MaxAbs(scaleX, scaleY), 1);
    WriteByteBits(static_cast<std::uint8_t>(n), 5);
    WriteSBits(scaleX, n);
    WriteSBits(scaleY, n);
  }
  WriteBit(hasSkew);
  if (hasSkew) {
    const std::uint32_t n = GetBitsCount(MaxAbs(rotateSkew0, rotateSkew1), 1);
    WriteByteBits(static_cast<std::uint8_t>(n), 5);
    WriteSBits(rotateSkew0, n);
    WriteSBits(rotateSkew1, n);
  }
  const std::uint32_t n = GetBitsCount(MaxAbs(translateX, translateY), 1);
  WriteByteBits(static_cast<std::uint8_t>(n), 5);
  if (n > 0) {
    WriteSBits(translateX, n);
    WriteSBits(translateY, n);
  }
  FlushBits(true);
}

void TBitsEngine::WriteColorTransform(std::int16_t addR, std::int16_t addG, std::int16_t addB, std::int16_t addA,
                                      std::int16_t multR, std::int16_t multG, std::int16_t multB,
                                      std::int16_t multA, bool hasAdd, bool hasMult, bool hasAlpha) {
  const std::uint32_t addBits = hasAdd ? GetBitsCount(MaxAbs(addR, addG, addB, hasAlpha ? addA : 0), 1) : 0;
  const std::uint32_t multBits = hasMult ? GetBitsCount(MaxAbs(multR, multG, multB, hasAlpha ? multA : 0), 1) : 0;
  const std::uint32_t nbits = std::max(addBits, multBits);
  WriteBit(hasAdd);
  WriteBit(hasMult);
  if (hasAdd || hasMult) {
    WriteByteBits(static_cast<std::uint8_t>(nbits), 4);
    if (hasMult) {
      WriteSBits(multR, nbits);
      WriteSBits(multG, nbits);
      WriteSBits(multB, nbits);
      if (hasAlpha) WriteSBits(multA, nbits);
    }
    if (hasAdd) {
      WriteSBits(addR, nbits);
      WriteSBits(addG, nbits);
      WriteSBits(addB, nbits);
      if (hasAlpha) WriteSBits(addA, nbits);
    }
  }
  FlushBits(true);
}

std::uint32_t TBitsEngine::ReadBits(std::uint32_t count) {
  if (count > 32) throw SWFFormatError("bit field wider than 32 bits");
  std::uint32_t result = 0;
  while (count > 0) {
    if (BitCount == 0) {
      Stream.ReadBuffer(&BitBuffer, 1);
      BitCount = 8;
    }
    const std::uint32_t take = std::min<std::uint32_t>(count, BitCount);
    const std::uint32_t shift = BitCount - take;
    const std::uint32_t bits = (BitBuffer >> shift) & ((1u << take) - 1);
    result = (result << take) | bits;
    BitCount = static_cast<std::uint8_t>(shift);
    count -= take;
  }
  return result;
}

std::int32_t TBitsEngine::ReadSBits(std::uint32_t count) {
  std::uint32_t v = ReadBits(count);
  if (count > 0 && count < 32 && (v & (1u << (count - 1))) != 0) v |= ~((1u << count) - 1);
  return static_cast<std::int32_t>(v);
}

std::uint8_t TBitsEngine::ReadByte() {
  if (BitCount > 0) return static_cast<std::uint8_t>(ReadBits(8));
  std::uint8_t b;
  Stream.ReadBuffer(&b, 1);
  return b;
}

std::uint16_t TBitsEngine::ReadWord() {
  FlushBits(false);
  std::uint8_t b[2];
  Stream.ReadBuffer(b, 2);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t TBitsEngine::ReadDWord() {
  FlushBits(false);
  std::uint8_t b[4];
  Stream.ReadBuffer(b, 4);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint32_t TBitsEngine::ReadRGB() {
  std::uint8_t b[3];
  Stream.ReadBuffer(b, 3);
  return b[0] | (b[1] << 8) | (b[2] << 16);
}

std::uint32_t TBitsEngine::ReadRGBA() {
  std::uint8_t b[4];
  Stream.ReadBuffer(b, 4);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

std::string TBitsEngine::ReadText() {
  std::string text;
  for (std::uint8_t b = ReadByte(); b != 0; b = ReadByte()) text += static_cast<char>(b);
  return text;
}

std::string TBitsEngine::ReadString(std::uint8_t count) {
  std::string text(count, '\0');
  for (auto& c : text) c = static_cast<char>(ReadByte());
  return text;
}

TRectangle TBitsEngine::ReadRect() {
  const std::uint32_t nbits = ReadBits(5);
  TRectangle r;
  r.Left = ReadSBits(nbits);
  r.Right = ReadSBits(nbits);
  r.Top = ReadSBits(nbits);
  r.Bottom = ReadSBits(nbits);
  FlushBits(false);
  return r;
}

std::vector<std::uint8_t> TBitsEngine::ReadRest() {
  FlushBits(false);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(Stream.Remaining()));
  Stream.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

void TBitsEngine::ReadBytes(void* data, std::size_t count) {
  FlushBits(false);
  Stream.ReadBuffer(data, count);
}

}  // namespace movara::swf
