#pragma once

#include <cstdint>
#include <ostream>

#include "swf/core/BitsEngine.h"

namespace movara::swf {

// Colour integers carry red in the lowest byte: 0x00BBGGRR, alpha on top.
constexpr std::uint32_t PackRGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return r | (std::uint32_t{g} << 8) | (std::uint32_t{b} << 16);
}
constexpr std::uint32_t PackRGBA(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
  return PackRGB(r, g, b) | (std::uint32_t{a} << 24);
}

// RECT: held normalised, XMin <= XMax and YMin <= YMax.
struct TSWFRect {
  std::int32_t XMax = 0;
  std::int32_t XMin = 0;
  std::int32_t YMax = 0;
  std::int32_t YMin = 0;

  void SetRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
  void SetRect(const TRectangle& r) { SetRect(r.Left, r.Top, r.Right, r.Bottom); }
  void SetXMin(std::int32_t v) { XMin = v, Normalize(); }
  void SetXMax(std::int32_t v) { XMax = v, Normalize(); }
  void SetYMin(std::int32_t v) { YMin = v, Normalize(); }
  void SetYMax(std::int32_t v) { YMax = v, Normalize(); }
  TRectangle Rect() const { return {XMin, YMin, XMax, YMax}; }

  void WriteToStream(TBitsEngine& be) const;
  void ReadFromStream(TBitsEngine& be);
  friend bool operator==(const TSWFRect&, const TSWFRect&) = default;

 private:
  void Normalize();
};

struct TSWFMatrix {
  bool HasScale = false;
  bool HasSkew = false;
  std::int32_t ScaleX = 0;
  std::int32_t ScaleY = 0;
  std::int32_t RotateSkew1 = 0;  // coefficient of y in x'
  std::int32_t RotateSkew0 = 0;  // coefficient of x in y'
  std::int32_t TranslateX = 0;
  std::int32_t TranslateY = 0;

  void SetScale(double x, double y);
  void SetSkew(double skew0, double skew1);
  void SetTranslate(std::int32_t x, std::int32_t y) { TranslateX = x, TranslateY = y; }

  void WriteToStream(TBitsEngine& be) const;
  void ReadFromStream(TBitsEngine& be);
  friend bool operator==(const TSWFMatrix&, const TSWFMatrix&) = default;
};

// CXFORM, or CXFORMWITHALPHA when HasAlpha. Multiply terms are in 1/256
// units; they start at 256 (unchanged) so that setting one channel's term
// does not silently blacken the others.
struct TSWFColorTransform {
  std::int32_t addA = 0;
  std::int32_t addB = 0;
  std::int32_t addG = 0;
  std::int32_t addR = 0;
  bool HasAdd = false;
  bool HasAlpha = false;
  bool HasMult = false;
  std::int32_t multA = 256;
  std::int32_t multB = 256;
  std::int32_t multG = 256;
  std::int32_t multR = 256;

  void SetAddR(std::int32_t v) { addR = v, HasAdd = true; }
  void SetAddG(std::int32_t v) { addG = v, HasAdd = true; }
  void SetAddB(std::int32_t v) { addB = v, HasAdd = true; }
  void SetAddA(std::int32_t v) { addA = v, HasAdd = true, HasAlpha = true; }
  void SetMultR(std::int32_t v) { multR = v, HasMult = true; }
  void SetMultG(std::int32_t v) { multG = v, HasMult = true; }
  void SetMultB(std::int32_t v) { multB = v, HasMult = true; }
  void SetMultA(std::int32_t v) { multA = v, HasMult = true, HasAlpha = true; }

  void WriteToStream(TBitsEngine& be) const;
  // The reader is told whether the record carries alpha terms (CXFORM or
  // CXFORMWITHALPHA), which the bytes themselves do not say.
  void ReadFromStream(TBitsEngine& be, bool withAlpha);
  friend bool operator==(const TSWFColorTransform&, const TSWFColorTransform&) = default;
};

struct TSWFRGB {
  std::uint8_t B = 0;
  std::uint8_t G = 0;
  std::uint8_t R = 0;

  void SetRGB(std::uint32_t color);
  std::uint32_t RGB() const { return PackRGB(R, G, B); }
  void WriteToStream(TBitsEngine& be) const { be.WriteRGB(RGB()); }
  void ReadFromStream(TBitsEngine& be) { SetRGB(be.ReadRGB()); }
  friend bool operator==(const TSWFRGB&, const TSWFRGB&) = default;
};

struct TSWFRGBA : TSWFRGB {
  std::uint8_t A = 255;
  bool HasAlpha = false;

  TSWFRGBA() = default;
  explicit TSWFRGBA(bool hasAlpha) : HasAlpha(hasAlpha) {}

  void SetA(std::uint8_t a);
  // From a plain 0x00BBGGRR colour: alpha becomes 255.
  void SetRGB(std::uint32_t color);
  // From 0xAABBGGRR: alpha from the top byte.
  void SetRGBA(std::uint32_t color);
  // From a plain colour alpha becomes 255; from another RGBA all four channels.
  void AssignFrom(const TSWFRGB& rgb);
  void AssignFrom(const TSWFRGBA& rgba);
  std::uint32_t RGBA() const { return PackRGBA(R, G, B, A); }
  void WriteToStream(TBitsEngine& be) const { be.WriteRGBA(RGBA()); }
  void ReadFromStream(TBitsEngine& be) { SetRGBA(be.ReadRGBA()); }
  friend bool operator==(const TSWFRGBA&, const TSWFRGBA&) = default;
};

void PrintTo(const TSWFRect& v, std::ostream* os);
void PrintTo(const TSWFMatrix& v, std::ostream* os);
void PrintTo(const TSWFColorTransform& v, std::ostream* os);
void PrintTo(const TSWFRGB& v, std::ostream* os);
void PrintTo(const TSWFRGBA& v, std::ostream* os);

}  // namespace movara::swf
