#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Stream.h"

namespace movara::swf {

// Raised by the SWF readers when bytes do not form the record they claim.
class SWFFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Number of bits a signed field needs for Value: 0 for 0, otherwise the
// bit length of |Value| plus Add (1 for the sign bit).
std::uint32_t GetBitsCount(std::int64_t value, std::uint32_t add);
std::int64_t MaxAbs(std::int64_t a, std::int64_t b);
std::int64_t MaxAbs(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d);

struct TRectangle {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  friend bool operator==(const TRectangle&, const TRectangle&) = default;
};

struct TNormalRect {
  std::int32_t XMin = 0;
  std::int32_t XMax = 0;
  std::int32_t YMin = 0;
  std::int32_t YMax = 0;
};
TNormalRect NormalizeRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                          bool toTwips);

std::int32_t SingleToFixed16(double x);
std::uint16_t SingleToFixed8(double x);
double Fixed8ToSingle(std::uint16_t w);

// Converts text in the system code page (UTF-8 on this platform) the way the
// SWF strings need it: each UTF-16 unit is encoded on its own, so characters
// beyond the basic plane become two three-byte sequences. Invalid bytes turn
// into U+FFFD, as the system conversion does.
std::string AnsiToUTF8(const std::string& text);

// The bit-level writer and reader of every SWF byte. It works on a stream it
// does not own; bit fields go most significant bit first, integers
// little-endian. Readers are exact mirrors of the writers.
class TBitsEngine {
 public:
  explicit TBitsEngine(TStream& stream) : Stream(stream) {}

  TStream& Stream;

  // Writers.
  void FlushBits(bool pad);
  void WriteBits(std::uint32_t value, std::uint32_t count);
  void WriteSBits(std::int32_t value, std::uint32_t count) { WriteBits(static_cast<std::uint32_t>(value), count); }
  void WriteWordBits(std::uint16_t value, std::uint32_t count) { WriteBits(value, count); }
  void WriteByteBits(std::uint8_t value, std::uint32_t count) { WriteBits(value, count); }
  void WriteBit(bool flag) { WriteBits(flag ? 1 : 0, 1); }
  void WriteByte(std::uint8_t value);
  void WriteWord(std::uint16_t value);
  void WriteDWord(std::uint32_t value);
  void WriteDWord(std::int32_t value) { WriteDWord(static_cast<std::uint32_t>(value)); }
  void WriteRGB(std::uint32_t color);
  void WriteRGBA(std::uint32_t color);
  void WriteSWFRect(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax);
  void WriteRect(const TRectangle& rect);
  void WriteText(const std::string& text, bool terminate = true, bool toUTF8 = false);
  void WriteMatrix(bool hasScale, bool hasSkew, std::int32_t scaleX, std::int32_t scaleY,
                   std::int32_t rotateSkew1, std::int32_t rotateSkew0, std::int32_t translateX,
                   std::int32_t translateY);
  void WriteColorTransform(std::int16_t addR, std::int16_t addG, std::int16_t addB, std::int16_t addA,
                           std::int16_t multR, std::int16_t multG, std::int16_t multB, std::int16_t multA,
                           bool hasAdd, bool hasMult, bool hasAlpha);
  // Raw bytes straight to the stream (aligned callers only).
  void WriteBytes(const void* data, std::size_t count);

  // Readers. Each throws StreamError when the stream ends first.
  std::uint32_t ReadBits(std::uint32_t count);
  std::int32_t ReadSBits(std::uint32_t count);
  bool ReadBit() { return ReadBits(1) != 0; }
  std::uint8_t ReadByte();
  std::uint16_t ReadWord();
  std::uint32_t ReadDWord();
  std::uint32_t ReadRGB();
  std::uint32_t ReadRGBA();
  std::string ReadText();
  std::string ReadString(std::uint8_t count);
  TRectangle ReadRect();
  void ReadBytes(void* data, std::size_t count);
  // Every byte left in the stream (a tag body's remainder).
  std::vector<std::uint8_t> ReadRest();

  std::uint8_t PendingBits() const { return BitCount; }

 private:
  std::uint8_t BitBuffer = 0;
  std::uint8_t BitCount = 0;
};

}  // namespace movara::swf
