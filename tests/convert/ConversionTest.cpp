// The conversion API on its own: named options in, an outcome out, progress
// reported, and conversions on several threads at once.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <future>
#include <map>
#include <stdexcept>

#include "ConvertTestSupport.h"
#include "convert/Convert.h"
#include "imaging/GIFException.h"
#include "swf/core/ActionList.h"

namespace movara::convert {
namespace {

using test::Bytes;
using test::ConvertFixture;
using test::GifBuilder;
using test::MakeFrame;

Bytes TwoFrameGif(std::uint32_t second) {
  return GifBuilder().Header(3, 2, {0x000000, 0xFFFFFF, 0xFF0000, second}).Gce(0, 10)
      .Frame(MakeFrame(0, 0, 3, 2, {0, 1, 2, 3, 2, 1})).Gce(0, 20)
      .Frame(MakeFrame(1, 0, 2, 2, {3, 3, 0, 1})).Trailer().Build();
}

struct ProgressLog final : IConvertProgress {
  std::vector<std::pair<std::size_t, std::size_t>> Calls;
  void FramesDone(std::size_t done, std::size_t total) override { Calls.emplace_back(done, total); }
};

TConvertOptions Options(const std::filesystem::path& gif, const std::filesystem::path& movie) {
  TConvertOptions o;
  o.Gif = gif;
  o.Movie = movie;
  return o;
}

TEST(ConversionApi, OutcomeNamesTheMovieOrTheReason) {
  ConvertFixture fx;
  const auto gif = fx.WriteGif("two.gif", TwoFrameGif(0x00FF00));
  ProgressLog log;
  const TConvertOutcome ok = ConvertGif(Options(gif, fx.OutDir / "two.swf"), &log);
  EXPECT_EQ(ok.Code, crOk);
  EXPECT_TRUE(ok.Written);
  EXPECT_EQ(ok.Movie, fx.OutDir / "two.swf");
  EXPECT_EQ(ok.Width, 3);
  EXPECT_EQ(ok.Height, 2);
  EXPECT_TRUE(ok.Reason.empty());
  const test::PlayedMovie played = fx.Play(ok.Movie);
  EXPECT_EQ(played.Header.FrameCount, 7) << "delays 10 and 20 last 2 and 5 movie frames";
  EXPECT_EQ(played.Frames.size(), 2u);
  ASSERT_FALSE(log.Calls.empty());
  EXPECT_EQ(log.Calls.front(), (std::pair<std::size_t, std::size_t>{0, 2}));
  EXPECT_EQ(log.Calls.back(), (std::pair<std::size_t, std::size_t>{2, 2}));
  for (std::size_t i = 1; i < log.Calls.size(); ++i) EXPECT_LE(log.Calls[i - 1].first, log.Calls[i].first);

  const auto bad = fx.WriteGif("bad.gif", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  const TConvertOutcome unread = ConvertGif(Options(bad, fx.OutDir / "bad.swf"));
  EXPECT_EQ(unread.Code, crLoadError);
  EXPECT_EQ(unread.Reason, imaging::gifmsg::kBadSignature);
  EXPECT_FALSE(unread.Written);
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "bad.swf"));

  const TConvertOutcome missing = ConvertGif(Options(fx.Root / "none.gif", fx.OutDir / "none.swf"));
  EXPECT_EQ(missing.Code, crLoadError);
  EXPECT_NE(missing.Reason.find("none.gif"), std::string::npos) << missing.Reason;

  std::filesystem::create_directories(fx.OutDir / "taken.swf");
  const TConvertOutcome unwritten = ConvertGif(Options(gif, fx.OutDir / "taken.swf"));
  EXPECT_EQ(unwritten.Code, crWriteError);
  EXPECT_NE(unwritten.Reason.find((fx.OutDir / "taken.swf").string()), std::string::npos) << unwritten.Reason;
  EXPECT_EQ(unwritten.Reason.find(".partial"), std::string::npos) << "the movie is named, not its temporary file";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(fx.OutDir), {}), 2) << "two.swf and taken.swf only";

  // A name the file system cannot hold fails before the GIF is read.
  const std::filesystem::path longName = fx.OutDir / (std::string(252, 'n') + ".swf");
  const TConvertOutcome tooLong = ConvertGif(Options(fx.Root / "none.gif", longName));
  EXPECT_EQ(tooLong.Code, crWriteError);
  EXPECT_EQ(tooLong.Reason, "the name " + longName.filename().string() + " is longer than the folder allows (256 bytes, at most 255)");
}

// Frames without a control extension last 10/24 s each, also when the
// optimiser gives them one to make their repeated pixels transparent, and
// whether the GIF is held or read twice.
TEST(ConversionApi, FramesWithoutAControlExtensionKeepTheirTime) {
  ConvertFixture fx;
  std::vector<std::uint8_t> a(64, 1), b = a, c = a;
  b[9] = 2;
  c[18] = 3;
  const auto gif = fx.WriteGif("plain.gif", GifBuilder().Header(8, 8, {0x000000, 0xFFFFFF, 0xFF0000, 0x0000FF})
                                               .Frame(MakeFrame(0, 0, 8, 8, a)).Frame(MakeFrame(0, 0, 8, 8, b))
                                               .Frame(MakeFrame(0, 0, 8, 8, c)).Trailer().Build());
  for (const std::size_t held : {std::size_t{16} << 20, std::size_t{0}}) {
    SCOPED_TRACE(held);
    TConvertOptions o = Options(gif, fx.OutDir / "plain.swf");
    o.HeldFrameBytes = held;
    ASSERT_EQ(ConvertGif(o).Code, crOk);
    EXPECT_EQ(fx.Play(o.Movie).Header.FrameCount, 30) << "three frames of 10 movie frames";
  }
}

// A GIF rewritten in place between its two readings, with bytes of the same
// length, is told from the one first read: the conversion fails and writes
// nothing.
TEST(ConversionApi, AGifChangedBetweenItsReadingsIsRefused) {
  ConvertFixture fx;
  const auto solid = [](std::uint8_t index) {
    return GifBuilder().Header(4, 4, {0x000000, 0xFFFFFF, 0xFF0000, 0x0000FF}).Gce(0, 10)
        .Frame(MakeFrame(0, 0, 4, 4, std::vector<std::uint8_t>(16, 1))).Gce(0, 10)
        .Frame(MakeFrame(0, 0, 4, 4, std::vector<std::uint8_t>(16, index))).Trailer().Build();
  };
  const Bytes first = solid(2), second = solid(3);
  ASSERT_EQ(first.size(), second.size());
  ASSERT_NE(first, second);
  const auto gif = fx.WriteGif("changing.gif", first);
  struct Rewriter final : IConvertProgress {
    std::filesystem::path File;
    Bytes With;
    void FramesDone(std::size_t done, std::size_t) override {
      if (done != 0 || With.empty()) return;
      std::FILE* f = std::fopen(File.c_str(), "r+b");
      std::fwrite(With.data(), 1, With.size(), f);
      std::fclose(f);
      With.clear();
    }
  } rewriter;
  rewriter.File = gif;
  rewriter.With = second;
  TConvertOptions o = Options(gif, fx.OutDir / "changing.swf");
  o.HeldFrameBytes = 0;
  const TConvertOutcome changed = ConvertGif(o, &rewriter);
  EXPECT_TRUE(rewriter.With.empty()) << "rewritten between the readings";
  EXPECT_EQ(changed.Code, crLoadError);
  EXPECT_EQ(changed.Reason, "the GIF changed while it was converted");
  EXPECT_FALSE(std::filesystem::exists(o.Movie));
  // Read twice as it stays, the same GIF converts.
  EXPECT_EQ(ConvertGif(o).Code, crOk);
}

TEST(ConversionApi, OverwritePolicy) {
  ConvertFixture fx;
  const auto gif = fx.WriteGif("k.gif", TwoFrameGif(0x00FF00));
  const auto movie = fx.OutDir / "k.swf";
  WriteFileBytes(movie, {1, 2, 3});
  TConvertOptions keep = Options(gif, movie);
  keep.Overwrite = TOverwrite::Keep;
  const TConvertOutcome kept = ConvertGif(keep);
  EXPECT_EQ(kept.Code, crOk);
  EXPECT_FALSE(kept.Written);
  EXPECT_EQ(ReadFileBytes(movie), (Bytes{1, 2, 3}));
  EXPECT_TRUE(ConvertGif(Options(gif, movie)).Written);
  EXPECT_GT(std::filesystem::file_size(movie), 3u);
}

// A movie that appears while its GIF is converted: kept when movies are
// kept, replaced otherwise; the folder holds no temporary file after.
TEST(ConversionApi, KeepIsDecidedAtTheRename) {
  struct AppearsMeanwhile final : IConvertProgress {
    std::filesystem::path Movie;
    void FramesDone(std::size_t done, std::size_t) override {
      if (done == 1) WriteFileBytes(Movie, {7});
    }
  };
  for (const TOverwrite overwrite : {TOverwrite::Keep, TOverwrite::Replace}) {
    ConvertFixture fx;
    const auto gif = fx.WriteGif("k.gif", TwoFrameGif(0x00FF00));
    TConvertOptions options = Options(gif, fx.OutDir / "k.swf");
    options.Overwrite = overwrite;
    AppearsMeanwhile progress;
    progress.Movie = options.Movie;
    const TConvertOutcome outcome = ConvertGif(options, &progress);
    const bool keep = overwrite == TOverwrite::Keep;
    EXPECT_EQ(outcome.Code, crOk);
    EXPECT_EQ(outcome.Written, !keep);
    EXPECT_EQ(ReadFileBytes(options.Movie) == Bytes{7}, keep);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(fx.OutDir), std::filesystem::directory_iterator()), 1);
  }
}

TEST(ConversionApi, ConversionsOnSeveralThreadsMatchOneByOne) {
  ConvertFixture fx;
  std::vector<std::filesystem::path> gifs;
  for (std::uint32_t i = 0; i < 6; ++i) gifs.push_back(fx.WriteGif(std::to_string(i) + ".gif", TwoFrameGif(0x102030 * i)));
  std::map<std::filesystem::path, Bytes> alone;
  for (const auto& g : gifs) {
    TConvertOptions o = Options(g, fx.MovieOf(g, fx.OutDir / "alone"));
    std::filesystem::create_directories(fx.OutDir / "alone");
    o.Url = "http://example.com/" + g.stem().string();
    ASSERT_EQ(ConvertGif(o).Code, crOk);
    alone[g] = ReadFileBytes(o.Movie);
  }
  std::filesystem::create_directories(fx.OutDir / "together");
  std::vector<std::future<TConvertOutcome>> running;
  for (const auto& g : gifs) {
    TConvertOptions o = Options(g, fx.MovieOf(g, fx.OutDir / "together"));
    o.Url = "http://example.com/" + g.stem().string();
    running.push_back(std::async(std::launch::async, [o] { return ConvertGif(o); }));
  }
  for (std::size_t i = 0; i < gifs.size(); ++i) {
    const TConvertOutcome outcome = running[i].get();
    ASSERT_EQ(outcome.Code, crOk);
    EXPECT_EQ(ReadFileBytes(outcome.Movie), alone[gifs[i]]) << gifs[i];
  }
}

// A 1 x 1 GIF of `count` frames of the given delay, alternating two
// colours so that no two frames in a row are alike.
Bytes ManyFrames(std::size_t count, int delay) {
  GifBuilder gif;
  gif.Header(1, 1, {0x000000, 0xFFFFFF});
  Bytes raw;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t index = i % 2;
    // Control extension, descriptor, then clear, the index and end as
    // 3-bit codes in one sub-block.
    raw.insert(raw.end(), {0x21, 0xF9, 4, 0, static_cast<std::uint8_t>(delay), static_cast<std::uint8_t>(delay >> 8), 0,
                           0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, static_cast<std::uint8_t>(0x44 | index << 3), 1, 0});
  }
  return gif.Raw(raw).Trailer().Build();
}

// Converts in a child process whose address space may grow by no more than
// `room` bytes beyond what it holds at the start; whether it made the movie.
bool ConvertsWithinAddressSpace(const TConvertOptions& options, std::uint64_t room) {
  const pid_t child = fork();
  if (child == 0) {
    std::uint64_t pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr || std::fscanf(statm, "%" SCNu64, &pages) != 1) _exit(2);
    std::fclose(statm);
    const rlim_t limit = pages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE)) + room;
    const rlimit hard{limit, limit};
    if (setrlimit(RLIMIT_AS, &hard) != 0) _exit(3);
    _exit(ConvertGif(options).Code == crOk ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Long animations of large frames, opaque full frames and transparent
// layers, convert in an address space far smaller than their decoded
// frames, into the movies made without the limit.
TEST(ConversionApi, LongGifConvertsInBoundedAddressSpace) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
  constexpr int kSide = 500, kFrames = 300;
  constexpr std::uint64_t kRoom = std::uint64_t{48} << 20;
  static_assert(std::uint64_t{kSide} * kSide * kFrames > kRoom, "the frames' indices alone exceed the room");
  ConvertFixture fx;
  for (const bool layers : {false, true}) {
    SCOPED_TRACE(layers ? "layers" : "full frames");
    const auto gif = fx.WriteGif("long.gif", test::SolidFramesGif(kSide, kSide, {0x203040, 0xA0C0E0, 0x806040}, kFrames, layers));
    TConvertOptions options = Options(gif, fx.OutDir / "free.swf");
    options.CompressionThreads = 1;
    options.HeldFrameBytes = std::size_t{1} << 40;
    ASSERT_EQ(ConvertGif(options).Code, crOk);
    options.Movie = fx.OutDir / "limited.swf";
    options.HeldFrameBytes = TConvertOptions().HeldFrameBytes;
    ASSERT_TRUE(ConvertsWithinAddressSpace(options, kRoom));
    EXPECT_EQ(ReadFileBytes(fx.OutDir / "limited.swf"), ReadFileBytes(fx.OutDir / "free.swf"));
  }
}

TEST(ConversionApi, MoviesThatWouldWrapAreRefusedBeforeAnythingIsWritten) {
  ConvertFixture fx;
  const auto convert = [&](const Bytes& bytes, const std::string& url) {
    const auto gif = fx.WriteGif("many.gif", bytes);
    TConvertOptions o = Options(gif, fx.OutDir / "many.swf");
    o.Url = url;
    std::filesystem::remove(o.Movie);
    return ConvertGif(o);
  };
  // 32767 pictures take ids up to 65534; one more would wrap. At 2
  // hundredths each they last 15728.16 movie frames; the last starts at
  // 15727.68 and gets the frame 15728 of its own.
  const TConvertOutcome most = convert(ManyFrames(32767, 2), "");
  ASSERT_EQ(most.Code, crOk) << most.Reason;
  const test::PlayedMovie played = fx.Play(most.Movie);
  EXPECT_EQ(played.Header.FrameCount, 15729);

  for (const auto& [frames, url] : {std::pair<std::size_t, std::string>{32768, ""}, {32767, "http://example.com/"}}) {
    const TConvertOutcome refused = convert(ManyFrames(frames, 2), url);
    EXPECT_EQ(refused.Code, crLoadError) << frames;
    EXPECT_NE(refused.Reason.find("too many frames: " + std::to_string(frames)), std::string::npos) << refused.Reason;
    EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "many.swf"));
  }

  // Four delays of 65535 and one of 10922 hundredths last 65534.88 movie
  // frames: the 16-bit frame count's 65535 exactly; 10925 would make 65535.6.
  const auto longGif = [](int last) {
    GifBuilder b;
    b.Header(1, 1, {0x000000, 0xFFFFFF});
    for (int i = 0; i < 4; ++i) b.Gce(0, 65535).Frame(MakeFrame(0, 0, 1, 1, {static_cast<std::uint8_t>(i % 2)}));
    return b.Gce(0, last).Frame(MakeFrame(0, 0, 1, 1, {0})).Trailer().Build();
  };
  const TConvertOutcome full = convert(longGif(10922), "");
  ASSERT_EQ(full.Code, crOk) << full.Reason;
  EXPECT_EQ(fx.Play(full.Movie).Header.FrameCount, 65535);
  const TConvertOutcome tooLong = convert(longGif(10925), "");
  EXPECT_EQ(tooLong.Code, crLoadError);
  EXPECT_EQ(tooLong.Reason, "the frames last 65536 movie frames (a movie holds at most 65535)");
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "many.swf"));
}

// The tags after the last picture: the last frame's actions, if any, and
// its ShowFrame tags.
std::vector<std::uint16_t> TailCodes(const swf::TSWFFile& file) {
  std::vector<std::uint16_t> codes;
  for (const auto& t : file.Tags) {
    if (t->TagCode == swf::tagPlaceObject2) {
      codes.clear();
    } else if (t->TagCode != swf::tagEnd) {
      codes.push_back(t->TagCode);
    }
  }
  return codes;
}

TEST(ConversionApi, FrameRateAndLoopCount) {
  ConvertFixture fx;
  const auto convert = [&](const Bytes& bytes, unsigned fps, bool loop) {
    const auto gif = fx.WriteGif("t.gif", bytes);
    TConvertOptions o = Options(gif, fx.OutDir / "t.swf");
    o.Timing = {fps, loop};
    EXPECT_EQ(ConvertGif(o).Code, crOk);
    return swf::ReadSWFFile(ReadFileBytes(o.Movie));
  };
  const auto withLoop = [](int count) {
    return GifBuilder().Header(1, 1, {0x000000, 0xFFFFFF}).Loop(count).Gce(0, 10).Frame(MakeFrame(0, 0, 1, 1, {0}))
        .Gce(0, 20).Frame(MakeFrame(0, 0, 1, 1, {1})).Trailer().Build();
  };
  using namespace swf;
  // Delays 10 and 20 at 30 fps: 3 and 6 movie frames.
  const TSWFFile fast = convert(TwoFrameGif(0x00FF00), 30, false);
  EXPECT_EQ(fast.Header.FrameRate, 30 << 8);
  EXPECT_EQ(fast.Header.FrameCount, 9);
  EXPECT_EQ(TailCodes(fast), std::vector<std::uint16_t>(6, tagShowFrame)) << "loops for ever";
  EXPECT_EQ(TailCodes(convert(withLoop(0), 24, true)), std::vector<std::uint16_t>(5, tagShowFrame));

  // Without a loop extension: one pass, a stop in the last movie frame.
  const TSWFFile once = convert(TwoFrameGif(0x00FF00), 24, true);
  EXPECT_EQ(TailCodes(once), (std::vector<std::uint16_t>{tagShowFrame, tagShowFrame, tagShowFrame, tagShowFrame,
                                                         tagDoAction, tagShowFrame}));
  const auto actionsOf = [](const TSWFFile& file) {
    std::vector<std::uint8_t> codes;
    for (const auto& t : file.Tags) {
      if (const auto* d = dynamic_cast<const TSWFDoAction*>(t.get())) {
        for (const auto& a : d->Actions) {
          if (a->ActionCode != TSWFOffsetMarker::kCode) codes.push_back(a->ActionCode);
        }
      }
    }
    return codes;
  };
  EXPECT_EQ(actionsOf(once), (std::vector<std::uint8_t>{0x07}));
  // A loop count of 1: two passes, counted by the last frame.
  const TSWFFile twice = convert(withLoop(1), 24, true);
  ASSERT_EQ(TailCodes(twice).back(), tagShowFrame);
  EXPECT_EQ(TailCodes(twice).rbegin()[1], tagDoAction);
  const std::vector<std::uint8_t> counter = actionsOf(twice);
  ASSERT_EQ(counter.size(), 10u);
  EXPECT_EQ(counter.back(), 0x07);
  for (const auto& t : twice.Tags) {
    if (const auto* d = dynamic_cast<const TSWFDoAction*>(t.get())) {
      EXPECT_EQ(dynamic_cast<const TSWFActionPush&>(d->Actions[6]).Values[0].Int, 2) << "passes";
    }
  }

  for (const unsigned fps : {0u, 121u}) {
    TConvertOptions o = Options(fx.WriteGif("t.gif", TwoFrameGif(0x00FF00)), fx.OutDir / "t.swf");
    o.Timing.FramesPerSecond = fps;
    EXPECT_THROW(ConvertGif(o), std::invalid_argument) << fps;
  }
}

// Extensions after the last image load as a frame without a size: its
// delay adds no time, and its loop extension, the last, is the one
// browsers follow.
TEST(ConversionApi, ExtensionsAfterTheLastImage) {
  ConvertFixture fx;
  const auto gif = fx.WriteGif("trail.gif", GifBuilder().Header(1, 1, {0x000000, 0xFFFFFF}).Loop(0)
                                                 .Gce(0, 10).Frame(MakeFrame(0, 0, 1, 1, {0}))
                                                 .Gce(0, 10).Frame(MakeFrame(0, 0, 1, 1, {1}))
                                                 .Loop(1).Gce(0, 100).Trailer().Build());
  TConvertOptions o = Options(gif, fx.OutDir / "trail.swf");
  o.Timing.GifLoop = true;
  ASSERT_EQ(ConvertGif(o).Code, crOk);
  const swf::TSWFFile file = swf::ReadSWFFile(ReadFileBytes(o.Movie));
  EXPECT_EQ(file.Header.FrameCount, 5) << "0.2 s at 24 fps";
  const std::vector<std::uint16_t> tail = TailCodes(file);
  ASSERT_GE(tail.size(), 2u);
  EXPECT_EQ(tail.rbegin()[1], swf::tagDoAction) << "two passes to count";
}

}  // namespace
}  // namespace movara::convert
