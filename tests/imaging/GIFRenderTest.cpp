#include <gtest/gtest.h>

#include "GifBuilder.h"
#include "base/MemoryStream.h"
#include "imaging/GIFException.h"
#include "imaging/GIFImage.h"

namespace movara::imaging {
namespace {

using test::Bytes;
using test::FrameSpec;
using test::GifBuilder;

using test::LoadGif;

using test::MakeFrame;

TEST(GIFRender, FrameBitmapHasTheFramesOwnSizeAndGeometry) {
  std::vector<std::uint8_t> pixels(50);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i % 4);
  auto gif = LoadGif(GifBuilder().Header(100, 100, {0, 0xFF0000, 0x00FF00, 0x0000FF})
                         .Frame(MakeFrame(20, 30, 10, 5, pixels)).Trailer().Build());
  TGIFSubImage& frame = *gif->Frames()[0];
  const TBitmap* bmp = frame.FrameBitmap();
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->Width(), 10);
  EXPECT_EQ(bmp->Height(), 5);
  EXPECT_EQ(bmp->PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(frame.ScreenRect(), (TGIFRect{20, 30, 30, 35}));
  EXPECT_EQ(frame.LocalRect(), (TGIFRect{0, 0, 10, 5}));
  EXPECT_EQ(bmp->Pixel(1, 0), MakeColor(255, 0, 0));
  EXPECT_EQ(bmp->Pixel(3, 0), MakeColor(0, 0, 255));
  EXPECT_EQ(bmp->Pixel(0, 1), MakeColor(0, 255, 0));  // index 10 % 4
  EXPECT_EQ(frame.FrameBitmap(), bmp) << "rendered once and cached";
}

TEST(GIFRender, TransparentPixelsKeepTheirColourAndAreMarkedInTheMask) {
  auto gif = LoadGif(GifBuilder().Header(3, 2, {0x000000, 0xFFFFFF, 0x00FF00, 0xFF0000})
                         .Gce(0, 0, 3).Frame(MakeFrame(0, 0, 3, 2, {3, 1, 3, 0, 3, 2})).Trailer().Build());
  TGIFSubImage& frame = *gif->Frames()[0];
  const TBitmap* bmp = frame.FrameBitmap();
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(bmp->Pixel(0, 0), MakeColor(255, 0, 0));
  EXPECT_EQ(frame.GraphicControlExtension()->TransparentColor(), MakeColor(255, 0, 0));
  const TMask* mask = frame.Mask();
  ASSERT_NE(mask, nullptr);
  const bool expected[2][3] = {{true, false, true}, {false, true, false}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(mask->Get(x, y), expected[y][x]) << x << "," << y;

  auto none = LoadGif(GifBuilder().Header(2, 1, {0, 0xFFFFFF, 0xFF, 0xFF00}).Gce(0, 0, 3)
                          .Frame(MakeFrame(0, 0, 2, 1, {0, 1})).Trailer().Build());
  EXPECT_NE(none->Frames()[0]->FrameBitmap(), nullptr);
  EXPECT_EQ(none->Frames()[0]->Mask(), nullptr) << "no pixel uses the transparent index";
}

TEST(GIFRender, LocalTablesAndGlobalTableChanges) {
  auto gif = LoadGif(GifBuilder().Header(4, 1, {0x111111, 0x222222})
                         .Frame(MakeFrame(0, 0, 4, 1, {0, 1, 2, 3}, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}))
                         .Frame(MakeFrame(0, 0, 2, 1, {0, 1})).Raw({}).Build());
  TGIFSubImage& local = *gif->Frames()[0];
  EXPECT_EQ(local.Palette().Entries.size(), 4u);
  EXPECT_EQ(local.FrameBitmap()->Pixel(2, 0), MakeColor(0, 0, 255));
  // Pixel values beyond the table show black.
  local.PixelData()[3] = 7;
  local.DropCaches();
  EXPECT_EQ(local.FrameBitmap()->Pixel(3, 0), 0u);

  TGIFSubImage& global = *gif->Frames()[1];
  gif->GlobalColorMap().SetColorAt(1, MakeColor(9, 8, 7));
  EXPECT_EQ(global.FrameBitmap()->Pixel(1, 0), MakeColor(9, 8, 7));
}

TEST(GIFRender, NoColourTableAnywhereFailsToRender) {
  auto gif = LoadGif(GifBuilder().Header(2, 1, {}).Frame(MakeFrame(0, 0, 2, 1, {0, 1})).Trailer().Build());
  try {
    gif->Frames()[0]->FrameBitmap();
    FAIL() << "rendering needs a colour table";
  } catch (const GIFException& e) {
    EXPECT_STREQ(e.what(), gifmsg::kNoColorMap);
  }
}

TEST(GIFRender, PixelAccessChecksCoordinates) {
  auto gif = LoadGif(GifBuilder().Header(2, 2, {0, 0xFFFFFF}).Frame(MakeFrame(0, 0, 2, 2, {0, 1, 1, 0})).Trailer().Build());
  TGIFSubImage& frame = *gif->Frames()[0];
  EXPECT_EQ(frame.Pixel(1, 0), 1);
  EXPECT_THROW(frame.Pixel(2, 0), GIFException);
  EXPECT_THROW(frame.Pixel(0, -1), GIFException);
  EXPECT_THROW(frame.SetPixel(0, 2, 1), GIFException);
  EXPECT_EQ(frame.ScanLine(1)[0], 1);
  TGIFSubImage empty(gif.get());
  try {
    empty.ScanLine(0);
    FAIL();
  } catch (const GIFException& e) {
    EXPECT_STREQ(e.what(), gifmsg::kEmptyImage);
  }
}

TEST(GIFRender, AbortedRenderingGivesNoBitmapAndNoError) {
  std::vector<std::uint8_t> pixels(64 * 64, 1);
  auto gif = LoadGif(GifBuilder().Header(64, 64, {0, 0xFFFFFF}).Frame(MakeFrame(0, 0, 64, 64, pixels)).Trailer().Build());
  gif->ProgressHandler = [](TGIFImage&, int stage, int, const std::string&) { return stage != 1; };
  EXPECT_EQ(gif->Frames()[0]->FrameBitmap(), nullptr);
  gif->ProgressHandler = nullptr;
  EXPECT_NE(gif->Frames()[0]->FrameBitmap(), nullptr);
}

TEST(Raster, BitmapsSaveAndLoadAsBmp) {
  TBitmap pal(5, 3, TPixelFormat::pf8bit);
  pal.Palette.Entries = {MakeColor(1, 2, 3), MakeColor(200, 100, 50)};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) pal.ScanLine(y)[x] = static_cast<std::uint8_t>((x + y) % 2);
  TMemoryStream stream;
  pal.SaveToStream(stream);
  const auto& bytes = stream.Bytes();
  // 14 + 40 + 256 x 4 colour table + 3 rows of 8 bytes.
  ASSERT_EQ(bytes.size(), 14u + 40 + 1024 + 24);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[28], 8);                                   // bit count
  EXPECT_EQ(bytes[46], 0);                                   // colours used = 256
  EXPECT_EQ(bytes[47], 1);
  EXPECT_EQ(bytes[50], 2);                                   // important = palette size
  EXPECT_EQ(bytes[54 + 4], 50);                              // entry 1: blue first
  EXPECT_EQ(bytes[54 + 6], 200);
  EXPECT_EQ(bytes[14 + 40 + 1024], (2 + 0) % 2);             // bottom row first
  stream.Seek(0);
  TBitmap back;
  back.LoadFromStream(stream);
  ASSERT_EQ(back.Width(), 5);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(back.Pixel(x, y), pal.Pixel(x, y));

  TBitmap argb(3, 2, TPixelFormat::pf32bit);
  argb.SetPixelARGB(0, 0, MakeARGB(0, 10, 20, 30));
  argb.SetPixelARGB(2, 1, MakeARGB(255, 1, 2, 3));
  TMemoryStream s32;
  argb.SaveToStream(s32);
  s32.Seek(0);
  TBitmap back32;
  back32.LoadFromStream(s32);
  EXPECT_EQ(back32.PixelFormat(), TPixelFormat::pf32bit);
  EXPECT_EQ(back32.PixelARGB(0, 0), MakeARGB(0, 10, 20, 30));
  EXPECT_EQ(back32.PixelARGB(2, 1), MakeARGB(255, 1, 2, 3));
  EXPECT_EQ(back32.Pixel(2, 1), MakeColor(1, 2, 3));
}

TEST(Raster, PixelFormatConversions) {
  TBitmap pal(2, 2, TPixelFormat::pf8bit);
  pal.Palette.Entries = {MakeColor(0, 0, 0), MakeColor(255, 255, 255), MakeColor(255, 0, 0)};
  pal.ScanLine(0)[0] = 2, pal.ScanLine(0)[1] = 1, pal.ScanLine(1)[0] = 0, pal.ScanLine(1)[1] = 2;
  TBitmap rgb = pal;
  rgb.SetPixelFormat(TPixelFormat::pf24bit);
  EXPECT_EQ(rgb.Pixel(0, 0), MakeColor(255, 0, 0));
  EXPECT_EQ(rgb.PixelARGB(1, 0), MakeARGB(255, 255, 255, 255));
  rgb.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_EQ(rgb.PixelARGB(1, 1), MakeARGB(255, 255, 0, 0));
  rgb.SetPixelFormat(TPixelFormat::pf8bit);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(rgb.Pixel(x, y), pal.Pixel(x, y));
  rgb.SetPixelFormat(TPixelFormat::pf1bit);
  EXPECT_EQ(rgb.Pixel(1, 0), MakeColor(255, 255, 255));
  EXPECT_EQ(rgb.Pixel(0, 1), 0u);
}

}  // namespace
}  // namespace movara::imaging
