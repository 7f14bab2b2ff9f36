#include <gtest/gtest.h>

#include "TestBytes.h"
#include "swf/core/Records.h"

namespace movara::swf {
namespace {

using test::Bytes;
using test::RandomInt;
using test::Written;

template <class T, class... Extra>
T RoundTrip(const T& value, Extra... extra) {
  TMemoryStream stream;
  TBitsEngine writer(stream);
  value.WriteToStream(writer);
  writer.WriteByte(0xA5);  // records end aligned: the next byte must follow
  stream.Seek(0);
  TBitsEngine reader(stream);
  T back;
  back.ReadFromStream(reader, extra...);
  EXPECT_EQ(reader.ReadByte(), 0xA5);
  EXPECT_EQ(stream.Remaining(), 0u);
  return back;
}

TEST(RectRecord, SettersKeepItNormalised) {
  TSWFRect r;
  r.SetRect(100, 50, 10, 5);
  EXPECT_EQ(r.XMin, 10);
  EXPECT_EQ(r.XMax, 100);
  EXPECT_EQ(r.YMin, 5);
  EXPECT_EQ(r.YMax, 50);
  r.SetXMin(500);
  EXPECT_EQ(r.XMin, 100);
  EXPECT_EQ(r.XMax, 500);
}

TEST(RectRecord, RandomRoundTrips) {
  for (int i = 0; i < 500; ++i) {
    const std::int32_t limit = 1 << RandomInt(0, 29);
    TSWFRect r;
    r.SetRect(RandomInt(-limit, limit), RandomInt(-limit, limit), RandomInt(-limit, limit), RandomInt(-limit, limit));
    ASSERT_EQ(RoundTrip(r), r);
  }
  EXPECT_EQ(Written([](TBitsEngine& be) { TSWFRect{}.WriteToStream(be); }), (Bytes{0x00}));
}

TEST(MatrixRecord, SettersSetTheirFlags) {
  TSWFMatrix m;
  m.SetScale(2.0, 0.5);
  EXPECT_TRUE(m.HasScale);
  EXPECT_FALSE(m.HasSkew);
  EXPECT_EQ(m.ScaleX, 131072);
  EXPECT_EQ(m.ScaleY, 32768);
  m.SetSkew(0.25, -0.25);
  EXPECT_TRUE(m.HasSkew);
  EXPECT_EQ(m.RotateSkew0, 16384);
  EXPECT_EQ(m.RotateSkew1, -16384);
}

TEST(MatrixRecord, RandomRoundTrips) {
  for (int i = 0; i < 500; ++i) {
    TSWFMatrix m;
    const std::int32_t limit = 1 << RandomInt(0, 29);
    if (RandomInt(0, 1)) m.HasScale = true, m.ScaleX = RandomInt(-limit, limit), m.ScaleY = RandomInt(-limit, limit);
    if (RandomInt(0, 1)) {
      m.HasSkew = true, m.RotateSkew0 = RandomInt(-limit, limit), m.RotateSkew1 = RandomInt(-limit, limit);
    }
    m.SetTranslate(RandomInt(-limit, limit), RandomInt(-limit, limit));
    ASSERT_EQ(RoundTrip(m), m);
  }
}

TEST(ColorTransformRecord, SettersSetTheirFlags) {
  TSWFColorTransform c;
  c.SetAddR(10);
  EXPECT_TRUE(c.HasAdd);
  EXPECT_FALSE(c.HasAlpha);
  EXPECT_FALSE(c.HasMult);
  c.SetMultA(128);
  EXPECT_TRUE(c.HasMult);
  EXPECT_TRUE(c.HasAlpha);
  // The other multiply terms stay at "unchanged".
  EXPECT_EQ(c.multR, 256);
}

TEST(ColorTransformRecord, RandomRoundTripsWithAndWithoutAlpha) {
  for (int i = 0; i < 500; ++i) {
    TSWFColorTransform c;
    const bool alpha = RandomInt(0, 1) != 0;
    if (RandomInt(0, 1)) {
      c.SetAddR(RandomInt(-255, 255)), c.SetAddG(RandomInt(-255, 255)), c.SetAddB(RandomInt(-255, 255));
      if (alpha) c.SetAddA(RandomInt(-255, 255));
    }
    if (RandomInt(0, 1)) {
      c.SetMultR(RandomInt(-16384, 16383)), c.SetMultG(RandomInt(0, 256)), c.SetMultB(RandomInt(0, 512));
      if (alpha) c.SetMultA(RandomInt(0, 256));
    }
    ASSERT_EQ(RoundTrip(c, c.HasAlpha), c);
  }
}

TEST(ColourRecords, PackingAndAlphaRules) {
  TSWFRGB rgb;
  rgb.SetRGB(0x00332211);
  EXPECT_EQ(rgb.R, 0x11);
  EXPECT_EQ(rgb.G, 0x22);
  EXPECT_EQ(rgb.B, 0x33);
  EXPECT_EQ(Written([&](TBitsEngine& be) { rgb.WriteToStream(be); }), (Bytes{0x11, 0x22, 0x33}));

  TSWFRGBA opaque(false);
  EXPECT_EQ(opaque.A, 255);
  opaque.SetRGBA(0x80332211);
  EXPECT_EQ(opaque.A, 0x80);
  EXPECT_TRUE(opaque.HasAlpha);
  opaque.SetRGB(0x00FFFFFF);
  EXPECT_EQ(opaque.A, 255);

  TSWFRGBA from;
  from.AssignFrom(rgb);
  EXPECT_EQ(from.RGBA(), 0xFF332211u);
  TSWFRGBA translucent(true);
  translucent.SetRGBA(0x10203040);
  from.AssignFrom(translucent);
  EXPECT_EQ(from.RGBA(), 0x10203040u);
  EXPECT_EQ(RoundTrip(translucent), translucent);
}

}  // namespace
}  // namespace movara::swf
