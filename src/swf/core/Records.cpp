#include "swf/core/Records.h"

#include <algorithm>
#include <utility>

namespace movara::swf {

void TSWFRect::Normalize() {
  if (XMax < XMin) std::swap(XMax, XMin);
  if (YMax < YMin) std::swap(YMax, YMin);
}

void TSWFRect::SetRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  XMin = left;
  YMin = top;
  XMax = right;
  YMax = bottom;
  Normalize();
}

void TSWFRect::WriteToStream(TBitsEngine& be) const { be.WriteRect(Rect()); }

void TSWFRect::ReadFromStream(TBitsEngine& be) {
  const TRectangle r = be.ReadRect();
  XMin = r.Left;
  XMax = r.Right;
  YMin = r.Top;
  YMax = r.Bottom;
}

void TSWFMatrix::SetScale(double x, double y) {
  ScaleX = SingleToFixed16(x);
  ScaleY = SingleToFixed16(y);
  HasScale = true;
}

void TSWFMatrix::SetSkew(double skew0, double skew1) {
  RotateSkew0 = SingleToFixed16(skew0);
  RotateSkew1 = SingleToFixed16(skew1);
  HasSkew = true;
}

void TSWFMatrix::WriteToStream(TBitsEngine& be) const {
  be.WriteMatrix(HasScale, HasSkew, ScaleX, ScaleY, RotateSkew1, RotateSkew0, TranslateX, TranslateY);
}

void TSWFMatrix::ReadFromStream(TBitsEngine& be) {
  *this = TSWFMatrix{};
  HasScale = be.ReadBit();
  if (HasScale) {
    const std::uint32_t n = be.ReadBits(5);
    ScaleX = be.ReadSBits(n);
    ScaleY = be.ReadSBits(n);
  }
  HasSkew = be.ReadBit();
  if (HasSkew) {
    const std::uint32_t n = be.ReadBits(5);
    RotateSkew0 = be.ReadSBits(n);
    RotateSkew1 = be.ReadSBits(n);
  }
  const std::uint32_t n = be.ReadBits(5);
  TranslateX = be.ReadSBits(n);
  TranslateY = be.ReadSBits(n);
  be.FlushBits(false);
}

void TSWFColorTransform::WriteToStream(TBitsEngine& be) const {
  const auto s16 = [](std::int32_t v) { return static_cast<std::int16_t>(v); };
  be.WriteColorTransform(s16(addR), s16(addG), s16(addB), s16(addA), s16(multR), s16(multG), s16(multB),
                         s16(multA), HasAdd, HasMult, HasAlpha);
}

void TSWFColorTransform::ReadFromStream(TBitsEngine& be, bool withAlpha) {
  *this = TSWFColorTransform{};
  HasAdd = be.ReadBit();
  HasMult = be.ReadBit();
  // HasAlpha is only meaningful (and only survives a round trip) when some
  // terms are present, as the writer emits alpha terms only then.
  HasAlpha = withAlpha && (HasAdd || HasMult);
  if (HasAdd || HasMult) {
    const std::uint32_t n = be.ReadBits(4);
    if (HasMult) {
      multR = be.ReadSBits(n);
      multG = be.ReadSBits(n);
      multB = be.ReadSBits(n);
      if (withAlpha) multA = be.ReadSBits(n);
    }
    if (HasAdd) {
      addR = be.ReadSBits(n);
      addG = be.ReadSBits(n);
      addB = be.ReadSBits(n);
      if (withAlpha) addA = be.ReadSBits(n);
    }
  }
  be.FlushBits(false);
}

void TSWFRGB::SetRGB(std::uint32_t color) {
  R = static_cast<std::uint8_t>(color);
  G = static_cast<std::uint8_t>(color >> 8);
  B = static_cast<std::uint8_t>(color >> 16);
}

void TSWFRGBA::SetA(std::uint8_t a) {
  A = a;
  if (a != 255) HasAlpha = true;
}

void TSWFRGBA::SetRGB(std::uint32_t color) {
  TSWFRGB::SetRGB(color);
  A = 255;
}

void TSWFRGBA::SetRGBA(std::uint32_t color) {
  TSWFRGB::SetRGB(color);
  SetA(static_cast<std::uint8_t>(color >> 24));
}

void TSWFRGBA::AssignFrom(const TSWFRGB& rgb) { R = rgb.R, G = rgb.G, B = rgb.B, A = 255; }

void TSWFRGBA::AssignFrom(const TSWFRGBA& rgba) { R = rgba.R, G = rgba.G, B = rgba.B, A = rgba.A; }

void PrintTo(const TSWFRect& v, std::ostream* os) {
  *os << "RECT{x " << v.XMin << ".." << v.XMax << ", y " << v.YMin << ".." << v.YMax << "}";
}

void PrintTo(const TSWFMatrix& v, std::ostream* os) {
  *os << "MATRIX{";
  if (v.HasScale) *os << "scale " << v.ScaleX << "," << v.ScaleY << " ";
  if (v.HasSkew) *os << "skew " << v.RotateSkew0 << "," << v.RotateSkew1 << " ";
  *os << "translate " << v.TranslateX << "," << v.TranslateY << "}";
}

void PrintTo(const TSWFColorTransform& v, std::ostream* os) {
  *os << "CXFORM{";
  if (v.HasMult) *os << "mult " << v.multR << "," << v.multG << "," << v.multB << "," << v.multA << " ";
  if (v.HasAdd) *os << "add " << v.addR << "," << v.addG << "," << v.addB << "," << v.addA << " ";
  *os << (v.HasAlpha ? "alpha" : "no alpha") << "}";
}

void PrintTo(const TSWFRGB& v, std::ostream* os) {
  *os << "RGB{" << int{v.R} << "," << int{v.G} << "," << int{v.B} << "}";
}

void PrintTo(const TSWFRGBA& v, std::ostream* os) {
  *os << "RGBA{" << int{v.R} << "," << int{v.G} << "," << int{v.B} << "," << int{v.A}
      << (v.HasAlpha ? "" : " opaque") << "}";
}

}  // namespace movara::swf
