#include <gtest/gtest.h>

#include "TempDir.h"

#include <filesystem>

#include "TagCases.h"
#include "base/FileStream.h"
#include "base/ZlibStream.h"
#include "swf/core/ControlTags.h"
#include "swf/core/SWFStream.h"
#include "swf/core/TagReader.h"

namespace movara::swf {
namespace {

using test::Bytes;

// An empty movie: the End tag alone, with frames declared in the header.
void FillEmptyBody(TBasedSWFStream& s) {
  TBitsEngine be(s.Body);
  TSWFEnd end;
  end.WriteToStream(be);
}

Bytes Saved(TBasedSWFStream& s) {
  TMemoryStream out;
  s.SaveToStream(out);
  return out.Bytes();
}

TEST(SWFStream, PixelMovieHeader) {
  TBasedSWFStream s(0, 0, 550, 400, 12.0, true);
  EXPECT_EQ(s.FrameRect, (TRectangle{0, 0, 11000, 8000}));
  EXPECT_EQ(s.UnitScale(), 20);
  EXPECT_EQ(s.GetHeaderSize(), 21u);
  EXPECT_EQ(s.FrameRateFixed(), 0x0C00);
  s.SetFrameRate(12.5);
  EXPECT_EQ(s.FrameRateFixed(), 0x0C80);
  EXPECT_DOUBLE_EQ(s.FrameRate(), 12.5);
}

TEST(SWFStream, TwipMovieIsNotScaledAndLaterUnitChangesDoNotRescale) {
  TBasedSWFStream s(0, 0, 200, 200, 24.0, false);
  EXPECT_EQ(s.FrameRect, (TRectangle{0, 0, 200, 200}));
  s.SetPixelUnits(true);
  EXPECT_EQ(s.UnitScale(), 20);
  EXPECT_EQ(s.FrameRect, (TRectangle{0, 0, 200, 200}));
}

TEST(SWFStream, VersionAndCompressionRules) {
  TBasedSWFStream s;
  EXPECT_EQ(s.Version(), 5);
  s.SetCompressed(true);
  EXPECT_EQ(s.Version(), 6);
  s.SetVersion(5);
  EXPECT_EQ(s.Version(), 6);
  s.SetVersion(7);
  EXPECT_EQ(s.Version(), 7);
  s.SetCompressed(false);
  s.SetVersion(4);
  EXPECT_EQ(s.Version(), 4);
}

TEST(SWFStream, BaseBuildBodyIsAbstract) {
  TBasedSWFStream s;
  EXPECT_THROW(s.BuildBody(), std::logic_error);
}

TEST(SWFStream, UncompressedEmptyMovieBytes) {
  TBasedSWFStream s(0, 0, 10, 10, 24.0, true);
  s.SetVersion(6);
  s.FrameCount = 7;
  FillEmptyBody(s);
  const Bytes bytes = Saved(s);
  // RECT of 0..200 twips both ways: Nbits 9, 5 + 36 bits = 6 bytes; then
  // 24 fps, 7 frames and the End tag.
  const Bytes expected = {'F', 'W', 'S', 6, 20, 0, 0, 0, 0x48, 0x01, 0x90, 0x00,
                          0x64, 0x00, 0x00, 0x18, 7, 0, 0x00, 0x00};
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(s.FileLength, 20u);
}

TEST(SWFStream, CompressedMovieInflatesToTheUncompressedOne) {
  TBasedSWFStream plain(0, 0, 550, 400, 24.0, true);
  plain.FrameCount = 3;
  FillEmptyBody(plain);
  const Bytes fws = Saved(plain);

  TBasedSWFStream packed(0, 0, 550, 400, 24.0, true);
  packed.FrameCount = 3;
  packed.SetCompressed(true);
  FillEmptyBody(packed);
  const Bytes cws = Saved(packed);

  ASSERT_GT(cws.size(), 8u);
  EXPECT_EQ(Bytes(cws.begin(), cws.begin() + 3), (Bytes{'C', 'W', 'S'}));
  EXPECT_EQ(cws[3], 6);
  const std::uint32_t length = cws[4] | (cws[5] << 8) | (cws[6] << 16) | (cws[7] << 24);
  EXPECT_EQ(length, fws.size());
  const Bytes inflated = ZlibDecompress(std::span(cws).subspan(8), 1 << 20);
  EXPECT_EQ(inflated, Bytes(fws.begin() + 8, fws.end()));
  // The uncompressed movie was version 5; only the signature, version and
  // compression differ.
  EXPECT_EQ(fws[3], 5);
}

TEST(SWFStream, CompressionReportsProgressOnLargeBodies) {
  TBasedSWFStream s(0, 0, 100, 100, 24.0, true);
  s.SetCompressed(true);
  // Incompressible bytes, so the compressor fills several output buffers.
  std::vector<std::uint8_t> noise(400000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(test::RandomInt(0, 255));
  s.Body.Write(noise.data(), noise.size());
  std::vector<int> percents;
  s.OnProgress = [&](TBasedSWFStream& sender, int percent, std::uint8_t kind) {
    EXPECT_EQ(&sender, &s);
    EXPECT_EQ(kind, TBasedSWFStream::kProgressCompress);
    percents.push_back(percent);
  };
  const Bytes cws = Saved(s);
  ASSERT_GE(percents.size(), 5u);
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_GT(percents.front(), 0);
  EXPECT_LE(percents.back(), 101);
  EXPECT_EQ(ZlibDecompress(std::span(cws).subspan(8), 1 << 20).size() + 8, s.FileLength);
}

TEST(SWFStream, SaveFileReplacesAnExistingFileAndReadsBack) {
  const test::TempDir dir;
  const auto path = dir.path / "movara-savefile-test.swf";
  WriteFileBytes(path, Bytes(5000, 0xEE));
  TBasedSWFStream s(0, 0, 32, 16, 24.0, true);
  s.SetVersion(6);
  s.FrameCount = 1;
  {
    TBitsEngine be(s.Body);
    TSWFSetBackgroundColor bg;
    bg.Color.SetRGB(0x123456);
    bg.WriteToStream(be);
    TSWFShowFrame().WriteToStream(be);
    TSWFEnd().WriteToStream(be);
  }
  s.SaveFile(path);
  const Bytes bytes = ReadFileBytes(path);
  std::filesystem::remove(path);
  EXPECT_EQ(bytes.size(), s.FileLength);
  const TSWFFile file = ReadSWFFile(bytes);
  EXPECT_EQ(file.Header.Version, 6);
  EXPECT_EQ(file.Header.FrameRect, (TRectangle{0, 0, 640, 320}));
  EXPECT_EQ(file.Header.FrameRate, 0x1800);
  EXPECT_EQ(file.Header.FrameCount, 1);
  ASSERT_EQ(file.Tags.size(), 3u);
  EXPECT_EQ(file.Tags[0]->TagCode, tagSetBackgroundColor);
  EXPECT_EQ(file.Tags[1]->TagCode, tagShowFrame);
  EXPECT_EQ(file.Tags[2]->TagCode, tagEnd);
}

TEST(SWFStream, SaveFileIntoAMissingFolderThrowsAndLeavesNothing) {
  const test::TempDir dir;
  const auto path = dir.path / "no-such-dir" / "x.swf";
  TBasedSWFStream s;
  FillEmptyBody(s);
  EXPECT_THROW(s.SaveFile(path), StreamError);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(TagFraming, ShortAndLongHeaders) {
  TMemoryStream body62(Bytes(62, 0xAB));
  const Bytes shortForm = test::Written([&](TBitsEngine& be) { WriteTag(be, 12, body62); });
  EXPECT_EQ(shortForm.size(), 64u);
  EXPECT_EQ(shortForm[0], static_cast<std::uint8_t>((12 * 64 + 62) & 0xFF));
  EXPECT_EQ(shortForm[1], static_cast<std::uint8_t>((12 * 64 + 62) >> 8));

  TMemoryStream body63(Bytes(63, 0xAB));
  const Bytes longForm = test::Written([&](TBitsEngine& be) { WriteTag(be, 12, body63); });
  ASSERT_EQ(longForm.size(), 69u);
  EXPECT_EQ(Bytes(longForm.begin(), longForm.begin() + 6),
            (Bytes{static_cast<std::uint8_t>((12 * 64 + 63) & 0xFF), static_cast<std::uint8_t>((12 * 64 + 63) >> 8),
                   63, 0, 0, 0}));

  // Lossless bitmaps always take the long form.
  TMemoryStream body10(Bytes(10, 1));
  const Bytes lossless = test::Written([&](TBitsEngine& be) { WriteTag(be, 20, body10); });
  EXPECT_EQ(Bytes(lossless.begin(), lossless.begin() + 6), (Bytes{0x3F, 0x05, 10, 0, 0, 0}));
  // An explicit length frames only that many bytes of the stream.
  const Bytes part = test::Written([&](TBitsEngine& be) { WriteTag(be, 39, body10, 4); });
  EXPECT_EQ(part, (Bytes{0xC4, 0x09, 1, 1, 1, 1}));
}

TEST(TagReading, UnknownTagsKeepTheirBytes) {
  const Bytes bytes = {0xC3, 0x0F, 1, 2, 3};  // code 63, 3 bytes
  auto tag = test::ReadOneTag(bytes, 6);
  EXPECT_EQ(tag->TagCode, 63);
  EXPECT_EQ(test::WriteTag(*tag), bytes);
}

TEST(TagReading, DeclaredLengthBeyondTheDataThrows) {
  const Bytes bytes = {0x3F, 0x03, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2};
  TMemoryViewStream stream(bytes);
  TBitsEngine be(stream);
  EXPECT_THROW(ReadTag(be, 6), SWFFormatError);
}

TEST(SWFFileReading, RejectsBrokenFiles) {
  TBasedSWFStream s(0, 0, 10, 10, 24.0, true);
  FillEmptyBody(s);
  Bytes good = Saved(s);
  EXPECT_NO_THROW(ReadSWFFile(good));
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_ANY_THROW(ReadSWFFile(std::span(good).first(cut))) << cut;
  }
  Bytes badSig = good;
  badSig[0] = 'X';
  EXPECT_THROW(ReadSWFFile(badSig), SWFFormatError);
  Bytes trailing = good;
  trailing.push_back(0);
  EXPECT_THROW(ReadSWFFile(trailing), SWFFormatError);
  // A compressed movie whose length field is smaller than what it inflates to.
  s.SetCompressed(true);
  Bytes cws = Saved(s);
  cws[4] = 12;
  EXPECT_ANY_THROW(ReadSWFFile(cws));
}

TEST(SWFFileReading, HeaderFromAStreamsStart) {
  for (const bool compressed : {false, true}) {
    TBasedSWFStream s(0, 0, 640, 480, 30.0, true);
    s.FrameCount = 4321;
    s.SetCompressed(compressed);
    FillEmptyBody(s);
    const Bytes bytes = Saved(s);
    const TSWFFileHeader whole = ReadSWFFileHeader(bytes);
    TMemoryViewStream stream(bytes);
    const TSWFFileHeader start = ReadSWFHeaderStart(stream);
    EXPECT_EQ(std::string(start.Signature, 3), compressed ? "CWS" : "FWS");
    EXPECT_EQ(start.FrameRect, whole.FrameRect);
    EXPECT_EQ(start.FrameCount, 4321);
    EXPECT_EQ(start.FrameRate, whole.FrameRate);
    EXPECT_EQ(start.FileLength, whole.FileLength);
    // Cut inside the stage fields, or before them.
    for (const std::size_t cut : {std::size_t{0}, std::size_t{7}, std::size_t{9}}) {
      TMemoryViewStream shortStream(std::span<const std::uint8_t>(bytes).first(cut));
      EXPECT_ANY_THROW(ReadSWFHeaderStart(shortStream)) << cut << (compressed ? " compressed" : "");
    }
  }
}

}  // namespace
}  // namespace movara::swf
