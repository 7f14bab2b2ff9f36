#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "BmpBytes.h"
#include "base/FileStream.h"
#include "base/MemoryStream.h"
#include "imaging/BMPReader.h"

namespace movara::imaging {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::MakeBmp;
using test::Put32;
const std::filesystem::path kData = std::filesystem::path(MOVARA_TEST_DATA_DIR) / "bmp";

void Load(TBMPReader& reader, const Bytes& bytes) {
  TMemoryViewStream stream(bytes);
  reader.LoadFromStream(stream);
}

// A PPM (P6) picture as 0xRRGGBB values, rows top-down.
std::vector<std::uint32_t> ReadPpm(const std::filesystem::path& path, int& width, int& height) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int max = 0;
  in >> magic >> width >> height >> max;
  in.get();
  std::vector<std::uint32_t> px(static_cast<std::size_t>(width) * height);
  for (auto& p : px) {
    const int r = in.get(), g = in.get(), b = in.get();
    p = static_cast<std::uint32_t>(r << 16 | g << 8 | b);
  }
  return px;
}

// The colour at (x, y) of a loaded reader as 0xRRGGBB, whatever its depth.
std::uint32_t ColorAt(const TBMPReader& r, int x, int y) {
  const std::uint32_t row = r.Height() > 0 ? r.RowCount() - 1 - static_cast<std::uint32_t>(y) : static_cast<std::uint32_t>(y);
  const std::uint8_t* line = r.ScanLines(row);
  const auto fromTable = [&](std::uint32_t index) { return r.ColorTable()[index] & 0xFFFFFF; };
  switch (r.BitCount()) {
    case 1: return fromTable((line[x / 8] >> (7 - x % 8)) & 1);
    case 4: return fromTable((line[x / 2] >> (x % 2 ? 0 : 4)) & 0xF);
    case 8: return fromTable(line[x]);
    case 16:
    case 32: {
      const std::uint32_t v = r.BitCount() == 16 ? line[2 * x] | line[2 * x + 1] << 8
                                                 : line[4 * x] | line[4 * x + 1] << 8 | line[4 * x + 2] << 16;
      std::uint32_t out = 0;
      for (int c = 0; c < 3; ++c) {
        const std::uint32_t mask = r.ColorTable()[c] & (r.BitCount() == 16 ? 0xFFFF : 0xFFFFFF);
        const int shift = std::countr_zero(mask);
        const std::uint32_t max = mask >> shift;
        out = out << 8 | ((v & mask) >> shift) * 255 / max;
      }
      return out;
    }
    default: return line[3 * x] | line[3 * x + 1] << 8 | line[3 * x + 2] << 16;
  }
}

TEST(BMPReader, ReadsFilesWrittenByAnIndependentTool) {
  const std::pair<const char*, const char*> files[] = {
      {"im-1bit.bmp", "two.ppm"},         {"im-4bit.bmp", "eight.ppm"},        {"im-8bit.bmp", "twenty.ppm"},
      {"im-8bit-rle.bmp", "eight.ppm"},   {"im-16bit-565.bmp", "eight.ppm"},   {"im-16bit-555.bmp", "eight.ppm"},
      {"im-24bit.bmp", "eight.ppm"},      {"im-32bit-argb.bmp", "eight.ppm"},  {"im-4bit-core-header.bmp", "eight.ppm"},
  };
  for (const auto& [bmp, ppm] : files) {
    SCOPED_TRACE(bmp);
    int w = 0, h = 0;
    const auto expected = ReadPpm(kData / ppm, w, h);
    TBMPReader reader;
    reader.LoadFile(kData / bmp);
    ASSERT_EQ(reader.Width(), w);
    ASSERT_EQ(static_cast<int>(reader.RowCount()), h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(ColorAt(reader, x, y), expected[y * w + x]) << x << "," << y;
  }
  TBMPReader masks;
  masks.LoadFile(kData / "im-16bit-565.bmp");
  EXPECT_EQ(masks.MaskWidths(), (std::array<std::uint8_t, 3>{5, 6, 5}));
  EXPECT_EQ(masks.Header().Compression, biBitfields);
  EXPECT_EQ(masks.ColorTable()[0], 0xF800u);
  EXPECT_EQ(masks.ColorTable()[1], 0x07E0u);
  EXPECT_EQ(masks.ColorTable()[2], 0x001Fu);
}

TEST(BMPReader, RowLayout) {
  Bytes px32(3 * 2 * 4);
  for (std::size_t i = 0; i < px32.size(); ++i) px32[i] = static_cast<std::uint8_t>(i);
  TBMPReader r32;
  Load(r32, MakeBmp(3, 2, 32, biRGB, {}, px32));
  EXPECT_EQ(r32.RowStride(), 12u);
  EXPECT_EQ(r32.RowPadding(), 0u);
  EXPECT_EQ(r32.ScanLines(0)[3], 3) << "entry 0 is the first stored (bottom) row, fourth byte kept";
  EXPECT_EQ(r32.ScanLines(1)[0], 12);

  TBMPReader r24;
  Load(r24, MakeBmp(5, 1, 24, biRGB, {}, Bytes(16, 7)));
  EXPECT_EQ(r24.RowStride(), 16u);
  EXPECT_EQ(r24.RowPadding(), 1u);

  TBMPReader top;
  Load(top, MakeBmp(1, -3, 8, biRGB, {0x0000FF, 0x00FF00, 0xFF0000}, {0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0}));
  EXPECT_EQ(top.RowCount(), 3u);
  EXPECT_EQ(ColorAt(top, 0, 0), 0x0000FFu) << "top-down: entry 0 is the top row";
  EXPECT_EQ(ColorAt(top, 0, 2), 0xFF0000u);
  EXPECT_EQ(top.ColorTable()[0] >> 24, 255u);
}

TEST(BMPReader, UsedColorsCompactsThePalette) {
  std::vector<std::uint32_t> table(256);
  for (std::uint32_t i = 0; i < 256; ++i) table[i] = i * 0x010101;
  TBMPReader r;
  Load(r, MakeBmp(3, 1, 8, biRGB, table, {7, 200, 7, 0}));
  EXPECT_EQ(r.UsedColors(), 2u);
  EXPECT_EQ(r.ColorTable()[0] & 0xFFFFFF, 7u * 0x010101);
  EXPECT_EQ(r.ColorTable()[1] & 0xFFFFFF, 200u * 0x010101);
  EXPECT_EQ(r.ScanLines(0)[0], 0);
  EXPECT_EQ(r.ScanLines(0)[1], 1);
  EXPECT_EQ(r.ScanLines(0)[2], 0);

  TBMPReader four;
  Load(four, MakeBmp(3, 1, 4, biRGB, std::vector<std::uint32_t>(16, 0), {0x9F, 0x90, 0, 0}));
  EXPECT_EQ(four.UsedColors(), 2u);
  // 9, 15, 9 become 0, 1, 0.
  EXPECT_EQ(four.ScanLines(0)[0], 0x01);
  EXPECT_EQ(four.ScanLines(0)[1] & 0xF0, 0x00);

  TBMPReader rgb;
  Load(rgb, MakeBmp(4, 1, 24, biRGB, {}, {1, 2, 3, 1, 2, 3, 9, 9, 9, 1, 2, 4}));
  EXPECT_EQ(rgb.UsedColors(), 3u);
  TBMPReader argb;
  Load(argb, MakeBmp(2, 1, 32, biRGB, {}, {1, 2, 3, 0, 1, 2, 3, 255}));
  EXPECT_EQ(argb.UsedColors(), 1u) << "the fourth byte is ignored";
}

TEST(BMPReader, ShortDataAndRunLengthEscapesLeaveZeros) {
  TBMPReader shortData;
  Load(shortData, MakeBmp(4, 3, 8, biRGB, {0, 0xFFFFFF}, {1, 1, 1, 1}));
  EXPECT_EQ(shortData.ScanLines(0)[0], 1);
  EXPECT_EQ(shortData.ScanLines(1)[0], 0);
  EXPECT_EQ(shortData.ScanLines(2)[3], 0);

  // RLE8: run of 2 x 5, delta (1, 1), run of 1 x 6, end of bitmap.
  TBMPReader rle;
  Load(rle, MakeBmp(4, 2, 8, biRLE8, std::vector<std::uint32_t>(8, 0), {2, 5, 0, 2, 1, 1, 1, 6, 0, 1}));
  EXPECT_EQ(Bytes(rle.ScanLines(0), rle.ScanLines(0) + 4), (Bytes{5, 5, 0, 0}));
  EXPECT_EQ(Bytes(rle.ScanLines(1), rle.ScanLines(1) + 4), (Bytes{0, 0, 0, 6}));

  // RLE4: run of 5 alternating 1 and 2, end of line, literal 3 4 5, end.
  TBMPReader rle4;
  Load(rle4, MakeBmp(6, 2, 4, biRLE4, std::vector<std::uint32_t>(16, 0), {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1}));
  EXPECT_EQ(Bytes(rle4.ScanLines(0), rle4.ScanLines(0) + 3), (Bytes{0x12, 0x12, 0x10}));
  EXPECT_EQ(Bytes(rle4.ScanLines(1), rle4.ScanLines(1) + 3), (Bytes{0x34, 0x50, 0x00}));
}

TEST(BMPReader, RunLengthDataCannotWriteOutsideTheRows) {
  // Runs and literals longer than the row, deltas beyond the bitmap.
  const Bytes hostile = {255, 1, 0, 5, 1, 2, 3, 4, 5, 0, 0, 2, 200, 200, 9, 9, 0, 0, 255, 7};
  TBMPReader r;
  Load(r, MakeBmp(3, 2, 8, biRLE8, std::vector<std::uint32_t>(8, 0), hostile));
  EXPECT_EQ(Bytes(r.ScanLines(0), r.ScanLines(0) + 3), (Bytes{1, 1, 1}));
  TBMPReader r4;
  Load(r4, MakeBmp(3, 1, 4, biRLE4, std::vector<std::uint32_t>(16, 0), {255, 0x77, 0, 9, 1, 2, 3, 4, 5}));
  EXPECT_EQ(r4.ScanLines(0)[0], 0x77);
  EXPECT_EQ(r4.ScanLines(0)[1] & 0xF0, 0x70);
}

TEST(BMPReader, RefusesWhatCannotBeABitmap) {
  const Bytes good = MakeBmp(2, 2, 24, biRGB, {}, Bytes(16, 0));
  const auto refuse = [](Bytes b) {
    TBMPReader r;
    EXPECT_THROW(Load(r, b), BMPError);
  };
  refuse(Bytes(good.begin(), good.begin() + 20));  // cut inside the headers
  Bytes header = good;
  Put32(header, 14, 64);  // unknown header size
  refuse(header);
  Bytes compression = good;
  Put32(compression, 30, 4);  // JPEG inside a BMP
  refuse(compression);
  Bytes offset = good;
  Put32(offset, 10, 100000);
  refuse(offset);
  Bytes huge = good;
  Put32(huge, 18, 60000);
  Put32(huge, 22, 60000);
  refuse(huge);
  Bytes negativeWidth = good;
  Put32(negativeWidth, 18, static_cast<std::uint32_t>(-2));
  refuse(negativeWidth);
  Bytes bits = good;
  bits[28] = 7;
  refuse(bits);
  Bytes rleOn24 = good;
  Put32(rleOn24, 30, biRLE8);
  refuse(rleOn24);
}

TEST(BMPReader, FormatsAndRasterCopies) {
  TBMPReader r;
  r.SetSize(4, 2, 16);
  EXPECT_EQ(r.MaskWidths(), (std::array<std::uint8_t, 3>{0, 0, 0}));
  EXPECT_EQ(r.ColorTable()[0], 0x7C00u);  // 5-5-5 without masks
  r.ScanLines(0)[0] = 9;
  r.SetSize(4, 2, 16);
  EXPECT_EQ(r.ScanLines(0)[0], 9) << "an unchanged format keeps its pixels";
  r.SetFormat(4, 2, 32, 8, 8, 8);
  EXPECT_EQ(r.Header().Compression, biBitfields);
  EXPECT_EQ(r.ColorTable()[0], 0xFF0000u);
  r.SetFormat(1, 1, 32, 8, 8, 16);
  EXPECT_EQ(r.ColorTable()[0], 0xFF000000u) << "a 32-bit total gives red every bit up to 31";
  EXPECT_EQ(r.ColorTable()[2], 0xFFFFu);

  TBitmap bmp(2, 2, TPixelFormat::pf8bit);
  bmp.Palette.Entries = {MakeColor(255, 0, 0), MakeColor(0, 0, 255)};
  bmp.ScanLine(0)[0] = 1;
  TBMPReader copy;
  copy.AssignHandle(bmp);
  EXPECT_EQ(copy.BitCount(), 8);
  EXPECT_EQ(copy.ScanLines(1)[0], 1) << "the raster's top row is stored last";
  EXPECT_EQ(copy.ColorTable()[1], 0xFF0000FFu);
  EXPECT_EQ(copy.ColorTable()[0], 0xFFFF0000u);
}

}  // namespace
}  // namespace movara::imaging
