#include <gtest/gtest.h>

#include <cstring>

#include "GifBuilder.h"
#include "base/MemoryStream.h"
#include "imaging/GIFException.h"
#include "imaging/GIFImage.h"
#include "imaging/GIFLZW.h"

namespace movara::imaging {
namespace {

using test::Bytes;
using test::FrameSpec;
using test::GifBuilder;

const std::vector<test::Rgb> kFour = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00};

std::vector<std::uint8_t> Pattern(int w, int h, int colors = 4) {
  std::vector<std::uint8_t> p(static_cast<std::size_t>(w) * h);
  for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<std::uint8_t>((i * 7 + i / 3) % colors);
  return p;
}

FrameSpec Full(int w, int h, std::vector<std::uint8_t> pixels) {
  FrameSpec f;
  f.width = w, f.height = h, f.pixels = std::move(pixels);
  return f;
}

// Loads bytes and records the warnings.
struct Loaded {
  std::unique_ptr<TGIFImage> gif = std::make_unique<TGIFImage>();
  std::vector<std::string> warnings;
};

Loaded Load(const Bytes& bytes) {
  Loaded l;
  l.gif->WarningHandler = [&w = l.warnings](TGIFImage&, int severity, const std::string& m) {
    EXPECT_EQ(severity, 1);
    w.push_back(m);
  };
  TMemoryViewStream stream(bytes);
  l.gif->LoadFromStream(stream);
  l.gif->WarningHandler = nullptr;
  return l;
}

std::string LoadError(const Bytes& bytes) {
  TGIFImage gif;
  TMemoryViewStream stream(bytes);
  try {
    gif.LoadFromStream(stream);
  } catch (const GIFException& e) {
    EXPECT_EQ(stream.Position(), 0u) << "the stream goes back to where loading began";
    return e.what();
  }
  return "";
}

Bytes TwoFrames() {
  return GifBuilder()
      .Header(8, 6, kFour)
      .Loop(0)
      .Gce(1, 10)
      .Frame(Full(8, 6, Pattern(8, 6)))
      .Gce(2, 20, 3)
      .Frame(Full(8, 6, Pattern(8, 6, 3)))
      .Trailer()
      .Build();
}

TEST(GIFReader, LoadsFramesTablesAndControlData) {
  const Loaded l = Load(TwoFrames());
  const TGIFImage& gif = *l.gif;
  EXPECT_TRUE(l.warnings.empty());
  EXPECT_EQ(gif.Width(), 8);
  EXPECT_EQ(gif.Height(), 6);
  ASSERT_EQ(gif.Frames().size(), 2u);
  EXPECT_EQ(gif.GlobalColorMap().Count(), 4);
  EXPECT_EQ(gif.GlobalColorMap().ColorAt(2), MakeColor(255, 0, 0));
  EXPECT_EQ(gif.BackgroundColor(), MakeColor(0, 0, 0));
  EXPECT_EQ(gif.Frames()[0]->PixelData(), Pattern(8, 6));
  EXPECT_EQ(gif.Frames()[1]->PixelData(), Pattern(8, 6, 3));
  const auto* gce = gif.Frames()[1]->GraphicControlExtension();
  ASSERT_NE(gce, nullptr);
  EXPECT_EQ(gce->Disposal(), 2);
  EXPECT_EQ(gce->Delay, 20);
  EXPECT_TRUE(gce->Transparent());
  EXPECT_EQ(gce->TransparentColorIndex(), 3);
  EXPECT_EQ(gce->TransparentColor(), MakeColor(0, 255, 0));
  EXPECT_TRUE(gif.Frames()[1]->Transparent());
  EXPECT_FALSE(gif.Frames()[0]->Transparent());
  const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(gif.Frames()[0]->Extensions()[0].get());
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->LoopCount, 0);
}

TEST(GIFReader, SignatureMayStartFourBytesInButNotFive) {
  Bytes four = {1, 2, 3, 4};
  const Bytes gif = TwoFrames();
  four.insert(four.end(), gif.begin(), gif.end());
  EXPECT_EQ(Load(four).gif->Frames().size(), 2u);
  Bytes five = {1, 2, 3, 4, 5};
  five.insert(five.end(), gif.begin(), gif.end());
  EXPECT_EQ(LoadError(five), gifmsg::kBadSignature);
  Bytes lower = gif;
  lower[0] = 'g', lower[1] = 'i', lower[2] = 'f', lower[3] = '9', lower[4] = '8', lower[5] = 'z';
  EXPECT_EQ(Load(lower).gif->Frames().size(), 2u);
}

// A file too short to hold a signature where one may start is no GIF, not a
// GIF cut short; a whole signature with nothing after it is one cut short.
TEST(GIFReader, AFileTooShortForASignatureIsNoGif) {
  for (const std::string text : {"", "G", "GIF8", "GIF89", "hello\n", "BM not", "1234GIF89"}) {
    EXPECT_EQ(LoadError(Bytes(text.begin(), text.end())), gifmsg::kBadSignature) << text;
  }
  for (const std::string text : {"GIF89a", "1234GIF89a"}) {
    EXPECT_EQ(LoadError(Bytes(text.begin(), text.end())), gifmsg::kPrematureEnd) << text;
  }
}

TEST(GIFReader, TrailerRules) {
  Bytes noTrailer = TwoFrames();
  noTrailer.pop_back();
  const Loaded l = Load(noTrailer);
  EXPECT_EQ(l.gif->Frames().size(), 2u);
  EXPECT_TRUE(l.warnings.empty());

  // Zero bytes between blocks are skipped.
  Bytes zeros = GifBuilder().Header(8, 6, kFour).Frame(Full(8, 6, Pattern(8, 6))).Raw({0, 0, 0})
                    .Frame(Full(8, 6, Pattern(8, 6))).Trailer().Build();
  EXPECT_EQ(Load(zeros).gif->Frames().size(), 2u);

  // An unknown block byte stops the frames with a warning; the trailer check
  // that follows warns as well.
  const Loaded junk = Load(GifBuilder().Header(8, 6, kFour).Frame(Full(8, 6, Pattern(8, 6))).Raw({0x99})
                               .Frame(Full(8, 6, Pattern(8, 6))).Trailer().Build());
  EXPECT_EQ(junk.gif->Frames().size(), 1u);
  EXPECT_EQ(junk.warnings, (std::vector<std::string>{gifmsg::kUnknownBlock, gifmsg::kBadTrailer}));
}

TEST(GIFReader, TrailingExtensionsGiveAnEmptyLastFrame) {
  const Loaded l = Load(GifBuilder().Header(8, 6, kFour).Frame(Full(8, 6, Pattern(8, 6))).Comment("bye").Trailer().Build());
  ASSERT_EQ(l.gif->Frames().size(), 2u);
  const TGIFSubImage& last = *l.gif->Frames()[1];
  EXPECT_TRUE(last.IsEmpty());
  ASSERT_EQ(last.Extensions().size(), 1u);
  const auto* comment = dynamic_cast<const TGIFCommentExtension*>(last.Extensions()[0].get());
  ASSERT_NE(comment, nullptr);
  EXPECT_EQ(comment->Lines.Text, (std::vector<std::string>{"bye"}));
  EXPECT_EQ(l.gif->Frames()[1]->FrameBitmap(), nullptr);
}

TEST(GIFReader, FrameCutShortKeepsItsDecodedPixels) {
  // 16 x 4 frame, cut after a few data bytes: the decoded prefix stays and
  // the rest holds the transparent index (3) or 0.
  const auto pixels = Pattern(16, 4);
  for (const int transparent : {-1, 3}) {
    GifBuilder b;
    b.Header(16, 4, kFour);
    if (transparent >= 0) b.Gce(0, 0, transparent);
    b.Frame(Full(16, 4, pixels));
    Bytes bytes = b.Build();
    bytes.resize(bytes.size() - 12);
    const Loaded l = Load(bytes);
    ASSERT_EQ(l.gif->Frames().size(), 1u);
    const auto& data = l.gif->Frames()[0]->PixelData();
    ASSERT_EQ(data.size(), pixels.size());
    std::size_t decoded = 0;
    while (decoded < data.size() && data[decoded] == pixels[decoded]) ++decoded;
    EXPECT_GT(decoded, 4u);
    EXPECT_LT(decoded, pixels.size());
    const std::uint8_t fill = transparent >= 0 ? 3 : 0;
    // Past the decoded part, only the fill value may follow the last string.
    EXPECT_EQ(data.back(), fill);
  }
}

TEST(GIFReader, ZeroSizedFramesTakeTheScreenSize) {
  FrameSpec f = Full(0, 0, {});
  const Loaded l = Load(GifBuilder().Header(5, 3, kFour).FrameWithData(f, {2, 2, 0x4C, 0x01, 0}).Trailer().Build());
  ASSERT_EQ(l.gif->Frames().size(), 1u);
  EXPECT_EQ(l.gif->Frames()[0]->Width(), 5);
  EXPECT_EQ(l.gif->Frames()[0]->Height(), 3);
  EXPECT_EQ(l.warnings.front(), gifmsg::kBadSize);
}

TEST(GIFReader, InterlacedFramesOfEveryShortHeight) {
  for (int height = 1; height <= 9; ++height) {
    SCOPED_TRACE(height);
    FrameSpec f = Full(3, height, Pattern(3, height));
    f.interlaced = true;
    const Loaded l = Load(GifBuilder().Header(3, height, kFour).Frame(f).Trailer().Build());
    ASSERT_EQ(l.gif->Frames().size(), 1u);
    EXPECT_TRUE(l.gif->Frames()[0]->Interlaced);
    EXPECT_EQ(l.gif->Frames()[0]->PixelData(), f.pixels);
  }
}

TEST(GIFReader, KwKwKCodesAndSubBlockBoundaries) {
  // A long run of one colour makes the encoder send codes equal to the next
  // free code; one-byte sub-blocks make codes straddle every block.
  std::vector<std::uint8_t> runs(4000, 1);
  for (std::size_t i = 2000; i < runs.size(); ++i) runs[i] = static_cast<std::uint8_t>((i / 300) % 4);
  const Bytes lzw = test::LzwEncode(runs, 2);
  FrameSpec f = Full(100, 40, runs);
  Bytes data = {2};
  const Bytes blocks = test::SubBlocks(lzw, 1);
  data.insert(data.end(), blocks.begin(), blocks.end());
  const Loaded l = Load(GifBuilder().Header(100, 40, kFour).FrameWithData(f, data).Trailer().Build());
  EXPECT_EQ(l.gif->Frames()[0]->PixelData(), runs);
  EXPECT_TRUE(l.warnings.empty());
}

TEST(GIFReader, FullTableWithoutClearKeepsDecodingTwelveBitCodes) {
  std::vector<std::uint8_t> noise(200 * 200);
  std::uint32_t x = 12345;
  for (auto& p : noise) p = static_cast<std::uint8_t>((x = x * 1103515245 + 12345) >> 24);
  FrameSpec f = Full(200, 200, noise);
  f.lzw.deferredClear = true;
  const std::vector<test::Rgb> colors(256, 0x808080);
  const Loaded l = Load(GifBuilder().Header(200, 200, colors).Frame(f).Trailer().Build());
  EXPECT_EQ(l.gif->Frames()[0]->PixelData(), noise);
}

TEST(GIFReader, FramesWithoutAnInitialClearOrEndCode) {
  FrameSpec f = Full(6, 4, Pattern(6, 4));
  f.lzw.initialClear = false;
  f.lzw.endCode = false;
  const Loaded l = Load(GifBuilder().Header(6, 4, kFour).Frame(f).Trailer().Build());
  EXPECT_EQ(l.gif->Frames()[0]->PixelData(), f.pixels);
}

TEST(GIFReader, ExtensionsAndTheirErrors) {
  // ANIMEXTS1.0 reads like NETSCAPE2.0.
  const Loaded anim = Load(GifBuilder().Header(2, 2, kFour).Loop(7, "ANIMEXTS1.0").Frame(Full(2, 2, {0, 1, 2, 3}))
                               .Trailer().Build());
  const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(anim.gif->Frames()[0]->Extensions()[0].get());
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->LoopCount, 7);

  // A 10-byte identifier block is an unknown application extension.
  const Bytes ten = {0x21, 0xFF, 10, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', '1', '2', 0};
  const Loaded t = Load(GifBuilder().Header(2, 2, kFour).Raw(ten).Frame(Full(2, 2, {0, 1, 2, 3})).Trailer().Build());
  EXPECT_NE(dynamic_cast<const TGIFUnknownAppExtension*>(t.gif->Frames()[0]->Extensions()[0].get()), nullptr);
  EXPECT_EQ(t.gif->Frames()[0]->PixelData(), (std::vector<std::uint8_t>{0, 1, 2, 3}));

  const auto withExtension = [](const Bytes& ext) {
    return GifBuilder().Header(2, 2, kFour).Raw(ext).Frame(Full(2, 2, {0, 1, 2, 3})).Trailer().Build();
  };
  // An unknown label is skipped by its sub-blocks, with a warning, and the
  // image after it loads (the sub-block holds what would read as a frame).
  std::vector<std::string> warnings;
  TGIFImage unknown;
  unknown.WarningHandler = [&](TGIFImage&, int, const std::string& m) { warnings.push_back(m); };
  const Bytes skipped = withExtension({0x21, 0x42, 3, 0x2C, 0x3B, 0x21, 2, 0, 0, 0});
  TMemoryViewStream unknownStream(skipped);
  unknown.LoadFromStream(unknownStream);
  ASSERT_EQ(unknown.Frames().size(), 1u);
  EXPECT_TRUE(unknown.Frames()[0]->Extensions().empty());
  EXPECT_EQ(unknown.Frames()[0]->PixelData(), (std::vector<std::uint8_t>{0, 1, 2, 3}));
  EXPECT_EQ(warnings, (std::vector<std::string>{gifmsg::kUnknownExtension}));
  // Cut inside its sub-blocks, it ends the data like a trailing extension:
  // one empty frame.
  const Loaded cut = Load(GifBuilder().Header(2, 2, kFour).Raw({0x21, 0x42, 9, 1, 2}).Build());
  ASSERT_EQ(cut.gif->Frames().size(), 1u);
  EXPECT_TRUE(cut.gif->Frames()[0]->IsEmpty());
  EXPECT_EQ(LoadError(withExtension({0x21, 0xFF, 5, 'A', 'B', 'C', 'D', 'E', 0})), gifmsg::kBadAppBlockSize);
  // Loop sub-blocks as browsers read them: one too short for its kind is
  // passed over; without a count the extension says nothing of the loops.
  const struct {
    Bytes subBlocks;
    bool hasCount;
    std::uint16_t count;
  } loops[] = {
      {{3, 1, 5, 0, 0}, true, 5},
      {{1, 1, 0}, false, 0},
      {{2, 1, 0, 0}, false, 0},
      {{3, 2, 0, 0, 0}, false, 0},
      {{3, 2, 0, 0, 3, 1, 9, 0, 0}, true, 9},
      {{5, 2, 1, 2, 3, 4, 1, 1, 0}, false, 0},
  };
  for (const auto& l : loops) {
    Bytes ext = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    ext.insert(ext.end(), l.subBlocks.begin(), l.subBlocks.end());
    const Loaded loaded = Load(withExtension(ext));
    const auto* ns = dynamic_cast<const TGIFAppExtNSLoop*>(loaded.gif->Frames()[0]->Extensions()[0].get());
    ASSERT_NE(ns, nullptr);
    EXPECT_EQ(ns->HasCount, l.hasCount) << testing::PrintToString(l.subBlocks);
    EXPECT_EQ(ns->LoopCount, l.count) << testing::PrintToString(l.subBlocks);
    EXPECT_EQ(loaded.gif->Frames()[0]->PixelData(), (std::vector<std::uint8_t>{0, 1, 2, 3}));
  }
  // A plain text extension cut inside its 13-byte header.
  EXPECT_EQ(LoadError(GifBuilder().Header(2, 2, kFour).Raw({0x21, 0x01, 12, 0, 0}).Build()), gifmsg::kPrematureEnd);
}

TEST(GIFReader, ColourTableRules) {
  const Loaded l = Load(GifBuilder().Header(2, 2, {}).Frame(Full(2, 2, {0, 1, 0, 1})).Trailer().Build());
  try {
    l.gif->BackgroundColor();
    FAIL() << "a GIF without a global table has no background colour";
  } catch (const GIFException& e) {
    EXPECT_STREQ(e.what(), gifmsg::kEmptyColorMap);
  }
  TGIFColorMap map;
  std::vector<std::string> warnings;
  TGIFImage owner;
  owner.WarningHandler = [&](TGIFImage&, int, const std::string& m) { warnings.push_back(m); };
  map.SetImage(&owner);
  map.Add(MakeColor(1, 2, 3));
  map.Add(MakeColor(4, 5, 6));
  EXPECT_EQ(map.ColorAt(5), MakeColor(1, 2, 3));
  EXPECT_EQ(warnings, (std::vector<std::string>{gifmsg::kBadColorIndex}));
  EXPECT_THROW(map.SetColorAt(2, 0), GIFException);
  for (int i = 2; i < 256; ++i) map.Add(0);
  EXPECT_THROW(map.Add(0), GIFException);
}

TEST(GIFReader, CorruptCodeTablesAreRejected) {
  const auto frameWith = [](const Bytes& data) {
    return GifBuilder().Header(4, 4, kFour).FrameWithData(Full(4, 4, {}), data).Trailer().Build();
  };
  FrameSpec f = Full(4, 4, {});
  f.width = 4, f.height = 4;
  // Minimum code sizes beyond the table.
  EXPECT_EQ(LoadError(frameWith({12, 2, 0xFF, 0xFF, 0})), gifmsg::kBadTable);
  EXPECT_EQ(LoadError(frameWith({255, 2, 0xFF, 0xFF, 0})), gifmsg::kBadTable);
  // Clear (4), then code 6 twice: the first creates entry 6 with prefix 6,
  // the second must be refused. 3-bit codes: 100 110 110 ...
  EXPECT_EQ(LoadError(frameWith({2, 2, 0xB4, 0x0D, 0})), gifmsg::kBadTable);
}

TEST(GIFReader, DecoderGuardsItsStack) {
  // Codes 7, 6, 7 after a clear make entries 6 and 7 prefixes of each other.
  // Then code 6 (now 4 bits wide) runs round that loop.
  const Bytes data = {0xBC, 0x6F, 0, 0, 0, 0};  // 100 111 110 111 | 0110, least significant bit first
  std::vector<std::uint8_t> out(64);
  EXPECT_THROW(DecodeLZW(std::span(data).first(2), 2, out.data(), out.size()), GIFException);
}

TEST(GIFReader, HugeDeclaredFramesFailInsteadOfExhaustingMemory) {
  FrameSpec f = Full(65535, 65535, {});
  const Bytes bomb = GifBuilder().Header(16, 16, kFour).FrameWithData(f, {2, 2, 0x44, 0x01, 0}).Trailer().Build();
  EXPECT_LT(bomb.size(), 64u);
  EXPECT_EQ(LoadError(bomb), gifmsg::kOutOfMemory);
  // A large frame whose data really fills it loads.
  const std::vector<std::uint8_t> flat(3000 * 3000, 1);
  const Loaded big = Load(GifBuilder().Header(3000, 3000, kFour).Frame(Full(3000, 3000, flat)).Trailer().Build());
  EXPECT_EQ(big.gif->Frames()[0]->PixelData(), flat);
  // A frame with no data at all stays within the allowance.
  const Loaded empty = Load(GifBuilder().Header(100, 100, kFour).FrameWithData(Full(100, 100, {}), {2, 0}).Trailer().Build());
  EXPECT_EQ(empty.gif->Frames()[0]->PixelData(), std::vector<std::uint8_t>(10000, 0));
}

// A stream that hands out one byte per read, as slow sources do.
class TrickleStream final : public TStream {
 public:
  explicit TrickleStream(const Bytes& bytes) : inner_(bytes) {}
  std::size_t Read(void* b, std::size_t n) override { return inner_.Read(b, std::min<std::size_t>(n, 1)); }
  void Write(const void*, std::size_t) override { throw StreamError("read only"); }
  std::uint64_t Position() const override { return inner_.Position(); }
  void Seek(std::uint64_t p) override { inner_.Seek(p); }
  std::uint64_t Size() const override { return inner_.Size(); }

 private:
  TMemoryViewStream inner_;
};

TEST(GIFReader, OneByteReadsGiveTheSameImage) {
  const Bytes bytes = TwoFrames();
  TrickleStream trickle(bytes);
  TGIFImage gif;
  gif.LoadFromStream(trickle);
  const Loaded whole = Load(bytes);
  ASSERT_EQ(gif.Frames().size(), whole.gif->Frames().size());
  for (std::size_t i = 0; i < gif.Frames().size(); ++i) {
    EXPECT_EQ(gif.Frames()[i]->PixelData(), whole.gif->Frames()[i]->PixelData());
  }
}

TEST(GIFReader, CutAtEveryOffsetFailsCleanlyOrKeepsFrames) {
  const Bytes bytes = TwoFrames();
  int loaded = 0;
  for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
    const Bytes prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    TGIFImage gif;
    TMemoryViewStream stream(prefix);
    bool ok = true;
    try {
      gif.LoadFromStream(stream);
    } catch (const GIFException& e) {
      // Only fixed-size blocks cut short fail (an introducer without its
      // label reads as an unknown extension; less than a signature is no
      // GIF), and frames read so far stay.
      const std::string why = e.what();
      EXPECT_TRUE(why == gifmsg::kPrematureEnd || why == gifmsg::kUnknownExtension ||
                  (cut < 6 && why == gifmsg::kBadSignature))
          << cut << ": " << why;
      ok = false;
    }
    loaded += ok;
    for (auto& frame : gif.Frames()) {
      if (!frame->IsEmpty()) {
        EXPECT_EQ(frame->PixelData().size(), 48u);
      }
    }
  }
  // Cuts inside the image data and right after each block load.
  EXPECT_GT(loaded, 10);
}

TEST(GIFReader, ProgressIsReportedWhileLoading) {
  TGIFImage gif;
  std::vector<std::pair<int, int>> calls;
  gif.ProgressHandler = [&](TGIFImage&, int stage, int percent, const std::string& message) {
    EXPECT_EQ(message, gifmsg::kLoading);
    calls.emplace_back(stage, percent);
    return true;
  };
  const Bytes bytes = TwoFrames();
  TMemoryViewStream stream(bytes);
  gif.LoadFromStream(stream);
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls.front(), std::make_pair(0, 0));
  EXPECT_EQ(calls[1].first, 1);
  EXPECT_LT(calls[1].second, calls[2].second);
  EXPECT_EQ(calls.back(), std::make_pair(2, 100));
}

TEST(GIFReader, AProgressHandlerCanStopALoadBetweenFrames) {
  TGIFImage gif;
  std::vector<std::string> warnings;
  gif.WarningHandler = [&](TGIFImage&, int, const std::string& m) { warnings.push_back(m); };
  gif.ProgressHandler = [](TGIFImage& sender, int stage, int, const std::string&) {
    return stage != 1 || sender.Frames().size() < 1;
  };
  const Bytes bytes = TwoFrames();
  TMemoryViewStream stream(bytes);
  gif.LoadFromStream(stream);
  EXPECT_EQ(gif.Frames().size(), 1u);
  EXPECT_TRUE(warnings.empty()) << "the frames not read are no defect of the file";
}

TEST(GIFReader, AssignFromIsADeepCopy) {
  const Loaded l = Load(TwoFrames());
  TGIFImage copy;
  copy.AssignFrom(*l.gif);
  ASSERT_EQ(copy.Frames().size(), 2u);
  l.gif->Frames()[1]->PixelData()[0] = 99;
  l.gif->GlobalColorMap().SetColorAt(0, MakeColor(9, 9, 9));
  EXPECT_EQ(copy.Frames()[1]->PixelData(), Pattern(8, 6, 3));
  EXPECT_EQ(copy.GlobalColorMap().ColorAt(0), 0u);
  const auto* gce = copy.Frames()[1]->GraphicControlExtension();
  ASSERT_NE(gce, nullptr);
  EXPECT_EQ(gce->SubImage(), copy.Frames()[1].get());
  EXPECT_EQ(gce->TransparentColor(), MakeColor(0, 255, 0));
  EXPECT_TRUE(copy.Frames()[1]->Transparent());
}

}  // namespace
}  // namespace movara::imaging
