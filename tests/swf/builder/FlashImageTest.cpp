#include <gtest/gtest.h>

#include <filesystem>

#include "BmpBytes.h"
#include "LosslessDecode.h"
#include "TagCases.h"
#include "TempDir.h"
#include "base/FileStream.h"
#include "base/ZlibStream.h"
#include "swf/builder/FlashMovie.h"
#include "swf/builder/JPEGData.h"

namespace movara::swf {
namespace {

using test::Bytes;
using test::MakeBmp;

using test::TempDir;

TFlashMovie NewMovie() { return TFlashMovie(0, 0, 100, 100, 24, true); }

// The image's tag read back, and its data block inflated.
struct Written {
  std::unique_ptr<TSWFObject> tag;
  Bytes raw;
};

Written WriteImage(TFlashImage& image) {
  const Bytes bytes = test::Written([&](TBitsEngine& be) { image.WriteToStream(be); });
  Written w;
  w.tag = test::ReadOneTag(bytes, 6);
  if (auto* lossless = dynamic_cast<TSWFDefineBitsLossless*>(w.tag.get())) {
    w.raw = ZlibDecompress(lossless->DataBytes(), 1 << 24);
  }
  return w;
}

TEST(FlashImage, ThirtyTwoBitPixelsWithAlpha) {
  TempDir dir;
  auto movie = NewMovie();
  TFlashImage& image = movie.AddImage(dir.Write("a.bmp", MakeBmp(2, 1, 32, 0, {}, {1, 2, 3, 255, 9, 8, 7, 0})));
  EXPECT_TRUE(image.HasAlpha());
  EXPECT_EQ(image.MinVersion(), 3);
  const Written w = WriteImage(image);
  const auto& tag = dynamic_cast<TSWFDefineBitsLossless2&>(*w.tag);
  EXPECT_EQ(tag.BitmapFormat, 5);
  EXPECT_EQ(tag.Width, 2);
  EXPECT_EQ(w.raw, (Bytes{0xFF, 0x03, 0x02, 0x01, 0x00, 0x00, 0x00, 0x00}));
}

TEST(FlashImage, TwentyFourBitPixelsAreOpaque) {
  TempDir dir;
  auto movie = NewMovie();
  // Two rows stored bottom-up: the top row comes first in the tag.
  TFlashImage& image = movie.AddImage(dir.Write("b.bmp", MakeBmp(1, 2, 24, 0, {}, {1, 2, 3, 0, 4, 5, 6, 0})));
  EXPECT_EQ(image.MinVersion(), 2);
  const Written w = WriteImage(image);
  EXPECT_EQ(typeid(*w.tag), typeid(TSWFDefineBitsLossless));
  EXPECT_EQ(dynamic_cast<TSWFDefineBitsLossless&>(*w.tag).BitmapFormat, 5);
  EXPECT_EQ(w.raw, (Bytes{0xFF, 6, 5, 4, 0xFF, 3, 2, 1}));
}

TEST(FlashImage, PaletteImagesUseTheirUsedColours) {
  TempDir dir;
  auto movie = NewMovie();
  std::vector<std::uint32_t> table(256, 0);
  table[4] = 0x112233, table[7] = 0x445566, table[9] = 0x778899;
  TFlashImage& image = movie.AddImage(dir.Write("c.bmp", MakeBmp(5, 1, 8, 0, table, {9, 4, 7, 4, 9, 0, 0, 0})));
  EXPECT_EQ(image.Format(), 3);
  EXPECT_EQ(image.ColorCount(), 3u);
  const Written w = WriteImage(image);
  EXPECT_EQ(dynamic_cast<TSWFDefineBitsLossless&>(*w.tag).ColorTableSize, 2);
  EXPECT_EQ(w.raw, (Bytes{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 2, 0, 1, 0, 2, 0, 0, 0}));

  TFlashImage& four = movie.AddImage(dir.Write("d.bmp", MakeBmp(2, 1, 4, 0, std::vector<std::uint32_t>(16, 0), {0xAB, 0, 0, 0})));
  const Written w4 = WriteImage(four);
  // Two used colours (0x0A, 0x0B) compacted to 0 and 1; rows padded to 4.
  EXPECT_EQ(Bytes(w4.raw.end() - 4, w4.raw.end()), (Bytes{0, 1, 0, 0}));
}

TEST(FlashImage, SixteenBitRowsAreBigEndianWordsPaddedToEvenWidth) {
  TempDir dir;
  auto movie = NewMovie();
  TFlashImage& image = movie.AddImage(dir.Write("e.bmp", MakeBmp(3, 1, 16, 0, {}, {0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C, 0, 0})));
  EXPECT_EQ(image.Format(), 4);
  const Written w = WriteImage(image);
  EXPECT_EQ(w.raw, (Bytes{0x00, 0x1F, 0x03, 0xE0, 0x7C, 0x00, 0x00, 0x00}));
}

TEST(FlashImage, UnsupportedFilesAddNothing) {
  TempDir dir;
  auto movie = NewMovie();
  try {
    movie.AddImage(dir.Write("x.png", {1, 2, 3}));
    FAIL();
  } catch (const FlashImageError& e) {
    EXPECT_STREQ(e.what(), "Image format \"PNG\" not supported!");
  }
  EXPECT_THROW(movie.AddImage(dir.path / "missing.bmp"), StreamError);
  EXPECT_THROW(movie.AddImage(dir.Write("bad.bmp", {'B', 'M', 0, 0})), imaging::BMPError);
  EXPECT_THROW(movie.AddImage(dir.Write("bad.jpg", {0x89, 'P', 'N', 'G'})), FlashImageError);
  EXPECT_TRUE(movie.Objects().empty());
  EXPECT_EQ(movie.NextCharacterId(), 1);
  EXPECT_EQ(movie.Images().Count(), 0u);
}

TEST(FlashImage, JpegFilesAreEmbeddedBetweenTheTagsMarkers) {
  auto movie = NewMovie();
  const auto dir = std::filesystem::path(MOVARA_TEST_DATA_DIR) / "jpeg";
  const TempDir tmp;
  const Bytes file = ReadFileBytes(dir / "baseline.jpg");
  TFlashImage& image = movie.AddImage(tmp.Write("photo.Jpeg", file));
  EXPECT_TRUE(image.IsJPEG());
  EXPECT_EQ(image.Width(), 14);
  EXPECT_EQ(image.Height(), 10);
  const Bytes bytes = test::Written([&](TBitsEngine& be) { image.WriteToStream(be); });
  auto tag = test::ReadOneTag(bytes, 6);
  const auto& jpeg = dynamic_cast<TSWFDefineBitsJPEG2&>(*tag);
  EXPECT_EQ(Bytes(jpeg.DataBytes().begin(), jpeg.DataBytes().end()), Bytes(file.begin() + 2, file.end() - 2));

  // Progressive files keep their size from the frame marker, and are
  // re-encoded as baseline on request.
  const Bytes progressive = ReadFileBytes(dir / "progressive.jpg");
  EXPECT_TRUE(ScanJPEG(progressive).Progressive);
  TFlashImage& kept = movie.AddImage(tmp.Write("p.jpg", progressive));
  EXPECT_EQ(kept.Width(), 14);
  auto convert = std::make_unique<TFlashImage>(&movie, std::filesystem::path());
  convert->ConvertProgressive = true;
  convert->LoadFile(tmp.Write("q.jpg", progressive));
  EXPECT_EQ(convert->Width(), 14);
  EXPECT_EQ(convert->Height(), 10);
  Bytes again = {0xFF, 0xD8};
  again.insert(again.end(), convert->Data()->begin(), convert->Data()->end());
  again.insert(again.end(), {0xFF, 0xD9});
  const TJPEGInfo info = ScanJPEG(again);
  EXPECT_TRUE(info.Valid);
  EXPECT_FALSE(info.Progressive);
  EXPECT_EQ(info.Width, 14);

  // JPEG with alpha: DefineBitsJPEG3.
  kept.AlphaData.assign(140, 0x80);
  auto tag3 = test::ReadOneTag(test::Written([&](TBitsEngine& be) { kept.WriteToStream(be); }), 6);
  const auto& j3 = dynamic_cast<TSWFDefineBitsJPEG3&>(*tag3);
  ASSERT_TRUE(j3.AlphaData);
  EXPECT_EQ(ZlibDecompress(*j3.AlphaData, 1000), Bytes(140, 0x80));
}

TEST(FlashImage, BrokenJpegMarkersNeverReadPastTheFile) {
  const Bytes file = ReadFileBytes(std::filesystem::path(MOVARA_TEST_DATA_DIR) / "jpeg" / "baseline.jpg");
  for (std::size_t cut = 0; cut <= file.size(); ++cut) ScanJPEG(std::span(file).first(cut));
  // A segment length that claims more than the file holds.
  const Bytes lying = {0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xFF, 0x00};
  EXPECT_EQ(ScanJPEG(lying).Width, 0);
  std::uint16_t w = 0, h = 0;
  EXPECT_THROW(ReencodeBaseline(lying, w, h), FlashImageError);
}

TEST(FlashImage, DataIsBuiltAndCompressedOnce) {
  TempDir dir;
  auto movie = NewMovie();
  TFlashImage& image = movie.AddImage(dir.Write("f.bmp", MakeBmp(2, 2, 24, 0, {}, Bytes(16, 7))));
  EXPECT_EQ(image.BuildCount(), 0);
  const Bytes first = test::Written([&](TBitsEngine& be) { image.WriteToStream(be); });
  const Bytes second = test::Written([&](TBitsEngine& be) { image.WriteToStream(be); });
  EXPECT_EQ(first, second);
  EXPECT_EQ(image.BuildCount(), 1);
}

// A picture of 7 x 40 pixels (rows that need padding) whose stored values
// are `opaque` colours, one half-transparent value and transparent pixels
// of three different colours, which the 32-bit data stores alike.
imaging::TBitmap Picture(imaging::TPixelFormat format, int opaque) {
  imaging::TBitmap raster(7, 40, format);
  for (int i = 0; i < 7 * 40; ++i) {
    const int x = i % 7, y = i / 7, c = i % (opaque + 4);
    const std::uint8_t r = static_cast<std::uint8_t>(c), g = static_cast<std::uint8_t>(c / 16 * 3), b = 200;
    if (c < opaque || format == imaging::TPixelFormat::pf24bit) {
      raster.SetPixelARGB(x, y, imaging::MakeARGB(255, r, g, b));
    } else if (c == opaque) {
      raster.SetPixelARGB(x, y, imaging::MakeARGB(128, 90, 60, 30));
    } else {
      raster.SetPixelARGB(x, y, imaging::MakeARGB(0, static_cast<std::uint8_t>(c), 1, 2));
    }
  }
  return raster;
}

TEST(FlashImage, ColourMappedPicturesShowTheSamePixels) {
  struct Case {
    imaging::TPixelFormat format;
    int opaque;
    std::uint8_t expectedFormat;
  };
  // 254 opaque values, the half-transparent one and transparent: 256 in
  // all. One more opaque value makes 257 and keeps the 32-bit data.
  for (const Case c : {Case{imaging::TPixelFormat::pf32bit, 254, TSWFDefineBitsLossless::kColorMapped8},
                       Case{imaging::TPixelFormat::pf32bit, 255, TSWFDefineBitsLossless::kRGB32},
                       Case{imaging::TPixelFormat::pf24bit, 252, TSWFDefineBitsLossless::kColorMapped8},
                       Case{imaging::TPixelFormat::pf24bit, 253, TSWFDefineBitsLossless::kRGB32}}) {
    SCOPED_TRACE(c.opaque);
    const imaging::TBitmap raster = Picture(c.format, c.opaque);
    auto movie = NewMovie();
    TFlashImage& plain = movie.AddImage(raster);
    movie.CompactImages = true;
    TFlashImage& compact = movie.AddImage(raster);
    const Written p = WriteImage(plain), m = WriteImage(compact);
    const auto& tag = dynamic_cast<TSWFDefineBitsLossless&>(*m.tag);
    EXPECT_EQ(tag.BitmapFormat, c.expectedFormat);
    EXPECT_EQ(m.tag->TagCode, p.tag->TagCode) << "the same tag, with alpha exactly when the raster has it";
    if (c.expectedFormat == TSWFDefineBitsLossless::kColorMapped8) {
      EXPECT_EQ(tag.ColorTableSize, 255) << "256 entries";
      EXPECT_EQ(compact.RowWidth(), 8);
    }
    const test::RgbaImage a = test::DecodeLossless(dynamic_cast<TSWFDefineBitsLossless&>(*p.tag));
    const test::RgbaImage b = test::DecodeLossless(tag);
    EXPECT_EQ(a.rgba, b.rgba);
  }
}

// Premultiplied channels round to the nearest value, in the 32-bit data and
// in the colour table alike: 5, 3 and 1 at alpha 128 store 3, 2 and 1
// (truncating would give 2, 1 and 0).
TEST(FlashImage, HalfTransparentChannelsRoundWhenPremultiplied) {
  imaging::TBitmap raster(1, 1, imaging::TPixelFormat::pf32bit);
  raster.SetPixelARGB(0, 0, imaging::MakeARGB(128, 5, 3, 1));
  for (const bool compact : {false, true}) {
    SCOPED_TRACE(compact ? "8-bit colour-mapped" : "32-bit");
    auto movie = NewMovie();
    movie.CompactImages = compact;
    const Written w = WriteImage(movie.AddImage(raster));
    const auto& tag = dynamic_cast<TSWFDefineBitsLossless2&>(*w.tag);
    EXPECT_EQ(tag.BitmapFormat, compact ? TSWFDefineBitsLossless::kColorMapped8 : TSWFDefineBitsLossless::kRGB32);
    EXPECT_EQ(test::DecodeLossless(tag).rgba, (Bytes{3, 2, 1, 128}));
  }
}

TEST(FlashImage, RowsTooWideToPadStayThirtyTwoBit) {
  auto movie = NewMovie();
  movie.CompactImages = true;
  EXPECT_EQ(movie.AddImage(imaging::TBitmap(65532, 1, imaging::TPixelFormat::pf24bit)).Format(),
            TSWFDefineBitsLossless::kColorMapped8);
  EXPECT_EQ(movie.AddImage(imaging::TBitmap(65533, 1, imaging::TPixelFormat::pf24bit)).Format(),
            TSWFDefineBitsLossless::kRGB32);
}

TEST(FlashImage, RastersGiveTheSameCharacterAsBmpFiles) {
  TempDir dir;
  for (const auto format : {imaging::TPixelFormat::pf24bit, imaging::TPixelFormat::pf32bit}) {
    imaging::TBitmap raster(5, 3, format);
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) {
        raster.SetPixelARGB(x, y, imaging::MakeARGB(static_cast<std::uint8_t>((x * 100) % 256), static_cast<std::uint8_t>(x * 40),
                                                    static_cast<std::uint8_t>(y * 70), 9));
      }
    }
    raster.SaveToFile(dir.path / "g.bmp");
    auto movie = NewMovie();
    TFlashImage& fromFile = movie.AddImage(dir.path / "g.bmp");
    TFlashImage& fromRaster = movie.AddImage(raster);
    fromRaster.SetCharacterId(fromFile.CharacterId());
    EXPECT_EQ(test::Written([&](TBitsEngine& be) { fromFile.WriteToStream(be); }),
              test::Written([&](TBitsEngine& be) { fromRaster.WriteToStream(be); }));
  }
  imaging::TBitmap palette(2, 2, imaging::TPixelFormat::pf8bit);
  auto movie = NewMovie();
  EXPECT_THROW(movie.AddImage(palette), FlashImageError);
}

}  // namespace
}  // namespace movara::swf

namespace movara::swf {
namespace {

TEST(FlashImage, OnLoadImageIsAskedFirstAndMayStopTheLoad) {
  TempDir dir;
  const auto bmp = dir.Write("h.bmp", MakeBmp(2, 1, 24, 0, {}, {1, 2, 3, 4, 5, 6, 0, 0}));
  auto movie = NewMovie();
  std::vector<std::string> asked;
  bool allow = true;
  movie.OnLoadImage = [&](TFlashImage&, const std::string& name, bool& carryOn) {
    asked.push_back(name);
    carryOn = allow;
  };
  EXPECT_EQ(movie.AddImage(bmp).Width(), 2);
  allow = false;
  TFlashImage& skipped = movie.AddImage(bmp);
  EXPECT_EQ(skipped.Width(), 0) << "nothing is loaded";
  EXPECT_EQ(asked, (std::vector<std::string>{bmp.string(), bmp.string()}));
}

}  // namespace
}  // namespace movara::swf
