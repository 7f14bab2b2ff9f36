#include <gtest/gtest.h>

#include "TestBytes.h"
#include "swf/core/BitsEngine.h"

namespace movara::swf {
namespace {

using test::Bytes;
using test::Written;

TEST(BitsEngineWrite, BitFieldsPackMostSignificantBitFirst) {
  EXPECT_EQ(Written([](TBitsEngine& be) {
              be.WriteBits(5, 3);
              be.WriteBits(1, 5);
              EXPECT_EQ(be.PendingBits(), 0);
            }),
            (Bytes{0xA1}));
  EXPECT_EQ(Written([](TBitsEngine& be) {
              be.WriteBits(0x3FF, 10);
              be.FlushBits(true);
            }),
            (Bytes{0xFF, 0xC0}));
  // Only the low Count bits of the value are taken.
  EXPECT_EQ(Written([](TBitsEngine& be) {
              be.WriteBits(0xFFFFFFF0, 4);
              be.WriteBits(0xF, 4);
            }),
            (Bytes{0x0F}));
  EXPECT_TRUE(Written([](TBitsEngine& be) { be.WriteBits(7, 0); }).empty());
}

TEST(BitsEngineWrite, ThirtyTwoBitFieldsStraddlePendingBits) {
  EXPECT_EQ(Written([](TBitsEngine& be) {
              be.WriteBits(0x7F, 7);
              be.WriteBits(0x80000001, 32);
              be.FlushBits(true);
            }),
            (Bytes{0xFF, 0x00, 0x00, 0x00, 0x02}));
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteSBits(-1, 32); }), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(BitsEngineWrite, WordsAndDWordsPadFirstThenGoLittleEndian) {
  EXPECT_EQ(Written([](TBitsEngine& be) {
              be.WriteBit(true);
              be.WriteWord(0x1234);
            }),
            (Bytes{0x80, 0x34, 0x12}));
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteDWord(std::uint32_t{0x12345678}); }),
            (Bytes{0x78, 0x56, 0x34, 0x12}));
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteDWord(std::int32_t{-2}); }), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(BitsEngineWrite, UnalignedBytesGoThroughTheBitBuffer) {
  TMemoryStream stream;
  TBitsEngine be(stream);
  be.WriteBit(true);
  be.WriteByte(0xFF);
  EXPECT_EQ(stream.Bytes(), (Bytes{0xFF}));
  EXPECT_EQ(be.PendingBits(), 1);
  be.FlushBits(true);
  EXPECT_EQ(stream.Bytes(), (Bytes{0xFF, 0x80}));
}

TEST(BitsEngineWrite, FlushWithoutPadDropsPendingBits) {
  EXPECT_EQ(Written([](TBitsEngine& be) {
              be.WriteBits(3, 2);
              be.FlushBits(false);
              be.WriteByte(0x11);
            }),
            (Bytes{0x11}));
}

TEST(BitsEngineWrite, ColoursAreRedGreenBlueAlpha) {
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteRGB(0xAA332211); }), (Bytes{0x11, 0x22, 0x33}));
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteRGBA(0x44332211); }), (Bytes{0x11, 0x22, 0x33, 0x44}));
}

TEST(BitsEngineWrite, Text) {
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteText("a", true, false); }), (Bytes{0x61, 0x00}));
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteText("ab", false, false); }), (Bytes{0x61, 0x62}));
  // "é" and "中" from the UTF-8 code page keep their two- and three-byte forms.
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteText("\xC3\xA9\xE4\xB8\xAD", true, true); }),
            (Bytes{0xC3, 0xA9, 0xE4, 0xB8, 0xAD, 0x00}));
}

TEST(BitsEngineWrite, RectRecords) {
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteSWFRect(0, 11000, 0, 8000); }),
            (Bytes{0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00}));
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteSWFRect(0, 0, 0, 0); }), (Bytes{0x00}));
  // WriteRect normalises a rectangle given the wrong way round.
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteRect({11000, 8000, 0, 0}); }),
            Written([](TBitsEngine& be) { be.WriteSWFRect(0, 11000, 0, 8000); }));
}

TEST(BitsEngineWrite, MatrixRecords) {
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteMatrix(false, false, 0, 0, 0, 0, 0, 0); }), (Bytes{0x00}));
  // Translation (20, -20): Nbits 6, so 0 0 00110 010100 101100 + pad.
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteMatrix(false, false, 0, 0, 0, 0, 20, -20); }),
            (Bytes{0x0C, 0xA5, 0x80}));
  // Scale 1.0 both ways: 1 10010 then two 18-bit 0x10000 fields, no skew, 00000.
  const Bytes scaled = Written([](TBitsEngine& be) { be.WriteMatrix(true, false, 65536, 65536, 0, 0, 0, 0); });
  EXPECT_EQ(scaled, (Bytes{0xC9, 0x00, 0x00, 0x40, 0x00, 0x00}));
}

TEST(BitsEngineWrite, ColorTransformRecords) {
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteColorTransform(0, 0, 0, 0, 0, 0, 0, 0, false, false, false); }),
            (Bytes{0x00}));
  // Add terms only, with alpha: 10 + Nbits 2 + (1, 0, -1, 1) in 2 bits each.
  EXPECT_EQ(Written([](TBitsEngine& be) { be.WriteColorTransform(1, 0, -1, 1, 0, 0, 0, 0, true, false, true); }),
            (Bytes{0x89, 0x34}));
  // Without alpha the alpha terms are neither counted nor written.
  EXPECT_EQ(Written([](TBitsEngine& be) {
              be.WriteColorTransform(0, 0, 0, 1000, 256, 256, 256, 9999, false, true, false);
            }),
            Written([](TBitsEngine& be) { be.WriteColorTransform(0, 0, 0, 0, 256, 256, 256, 0, false, true, false); }));
}

TEST(BitsEngineHelpers, BitCounts) {
  EXPECT_EQ(GetBitsCount(-16, 1), 6u);
  EXPECT_EQ(GetBitsCount(15, 1), 5u);
  EXPECT_EQ(GetBitsCount(16, 1), 6u);
  EXPECT_EQ(GetBitsCount(0, 1), 0u);
  EXPECT_EQ(GetBitsCount(1, 0), 1u);
  EXPECT_EQ(GetBitsCount(-2147483647 - 1, 1), 33u);
  EXPECT_EQ(MaxAbs(3, -7), 7);
  EXPECT_EQ(MaxAbs(3, -7, 12, -12), 12);
}

TEST(BitsEngineHelpers, FixedPoint) {
  EXPECT_EQ(SingleToFixed8(12.5), 0x0C80);
  EXPECT_EQ(SingleToFixed8(12.0), 0x0C00);
  EXPECT_EQ(SingleToFixed8(24.0), 0x1800);
  EXPECT_EQ(SingleToFixed16(1.0), 0x00010000);
  EXPECT_EQ(SingleToFixed16(-0.5), -0x8000);
  EXPECT_EQ(SingleToFixed16(20.00366), 1310959);
  EXPECT_DOUBLE_EQ(Fixed8ToSingle(0x0C80), 12.5);
}

TEST(BitsEngineHelpers, NormalizeRectOrdersAndScales) {
  const TNormalRect r = NormalizeRect(10, 8, 2, 4, true);
  EXPECT_EQ(r.XMin, 40);
  EXPECT_EQ(r.XMax, 200);
  EXPECT_EQ(r.YMin, 80);
  EXPECT_EQ(r.YMax, 160);
}

TEST(BitsEngineHelpers, AnsiToUTF8EncodesEachUtf16UnitOnItsOwn) {
  EXPECT_EQ(AnsiToUTF8(""), "");
  EXPECT_EQ(AnsiToUTF8("plain"), "plain");
  EXPECT_EQ(AnsiToUTF8("\xE4\xB8\xAD"), "\xE4\xB8\xAD");
  // U+1F600 becomes the surrogates D83D and DE00, three bytes each.
  EXPECT_EQ(AnsiToUTF8("\xF0\x9F\x98\x80"), "\xED\xA0\xBD\xED\xB8\x80");
  // A stray continuation byte is replaced, not passed through.
  EXPECT_EQ(AnsiToUTF8("a\x80z"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(AnsiToUTF8("\xE4\xB8"), "\xEF\xBF\xBD");
}

TEST(BitsEngineRead, MirrorsTheWriterForRandomFields) {
  for (int round = 0; round < 200; ++round) {
    std::vector<std::pair<std::uint32_t, std::int32_t>> fields;
    for (int k = 0; k < 20; ++k) {
      const auto width = static_cast<std::uint32_t>(test::RandomInt(0, 32));
      std::int32_t value = 0;
      if (width > 0) {
        const std::int64_t lo = -(std::int64_t{1} << (width - 1));
        const std::int64_t hi = (std::int64_t{1} << (width - 1)) - 1;
        value = static_cast<std::int32_t>(std::uniform_int_distribution<std::int64_t>(lo, hi)(test::Rng()));
      }
      fields.emplace_back(width, value);
    }
    TMemoryStream stream;
    TBitsEngine writer(stream);
    for (auto [w, v] : fields) writer.WriteSBits(v, w);
    writer.WriteByte(0x5A);
    writer.FlushBits(true);
    stream.Seek(0);
    TBitsEngine reader(stream);
    for (auto [w, v] : fields) ASSERT_EQ(reader.ReadSBits(w), v) << "width " << w;
    EXPECT_EQ(reader.ReadByte(), 0x5A);
  }
}

TEST(BitsEngineRead, IntegersTextAndStrings) {
  TMemoryStream stream(Bytes{0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 'h', 'i', 0, 'a', 'b', 'c', 1, 2, 3});
  TBitsEngine be(stream);
  EXPECT_EQ(be.ReadWord(), 0x1234);
  EXPECT_EQ(be.ReadDWord(), 0x12345678u);
  EXPECT_EQ(be.ReadText(), "hi");
  EXPECT_EQ(be.ReadString(3), "abc");
  EXPECT_EQ(be.ReadRGB(), 0x030201u);
}

TEST(BitsEngineRead, RectMirrorsWrite) {
  TMemoryStream stream(Bytes{0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00, 0xEE});
  TBitsEngine be(stream);
  EXPECT_EQ(be.ReadRect(), (TRectangle{0, 0, 11000, 8000}));
  EXPECT_EQ(be.ReadByte(), 0xEE);
}

TEST(BitsEngineRead, ShortStreamsThrowInsteadOfReadingOn) {
  TMemoryStream stream(Bytes{0x78, 0x00});
  TBitsEngine be(stream);
  EXPECT_THROW(be.ReadRect(), StreamError);
  TMemoryStream text(Bytes{'a', 'b'});
  TBitsEngine te(text);
  EXPECT_THROW(te.ReadText(), StreamError);
  TMemoryStream empty;
  TBitsEngine ee(empty);
  EXPECT_THROW(ee.ReadDWord(), StreamError);
  EXPECT_THROW(ee.ReadBits(33), SWFFormatError);
}

}  // namespace
}  // namespace movara::swf
