// The conversion API on its own: named options in, an outcome out, progress
// reported, and conversions on several threads at once; the folder walk
// with a scripted client.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <future>
#include <map>
#include <stdexcept>

#include "AppTestSupport.h"
#include "app/Conversion.h"
#include "app/FolderRun.h"
#include "imaging/GIFException.h"

namespace movara::app {
namespace {

using test::Bytes;
using test::ConverterFixture;
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
  ConverterFixture fx;
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
  EXPECT_FALSE(unwritten.Reason.empty());
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "taken.swf.partial"));
}

TEST(ConversionApi, OverwritePolicy) {
  ConverterFixture fx;
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

TEST(ConversionApi, ConversionsOnSeveralThreadsMatchOneByOne) {
  ConverterFixture fx;
  std::vector<std::filesystem::path> gifs;
  for (std::uint32_t i = 0; i < 6; ++i) gifs.push_back(fx.WriteGif(std::to_string(i) + ".gif", TwoFrameGif(0x102030 * i)));
  std::map<std::filesystem::path, Bytes> alone;
  for (const auto& g : gifs) {
    TConvertOptions o = Options(g, MovieFileName(fx.OutDir / "alone", g));
    std::filesystem::create_directories(fx.OutDir / "alone");
    o.Url = "http://example.com/" + g.stem().string();
    ASSERT_EQ(ConvertGif(o).Code, crOk);
    alone[g] = ReadFileBytes(o.Movie);
  }
  std::filesystem::create_directories(fx.OutDir / "together");
  std::vector<std::future<TConvertOutcome>> running;
  for (const auto& g : gifs) {
    TConvertOptions o = Options(g, MovieFileName(fx.OutDir / "together", g));
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

// A long animation of large opaque frames converts in an address space far
// smaller than its decoded frames, into the movie made without the limit.
TEST(ConversionApi, LongGifConvertsInBoundedAddressSpace) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
  constexpr int kSide = 500, kFrames = 300;
  constexpr std::uint64_t kRoom = std::uint64_t{48} << 20;
  static_assert(std::uint64_t{kSide} * kSide * kFrames > kRoom, "the frames' indices alone exceed the room");
  ConverterFixture fx;
  const auto gif = fx.WriteGif("long.gif", test::SolidFramesGif(kSide, kSide, {0x203040, 0xA0C0E0, 0x806040}, kFrames));
  TConvertOptions options = Options(gif, fx.OutDir / "free.swf");
  options.CompressionThreads = 1;
  ASSERT_EQ(ConvertGif(options).Code, crOk);
  options.Movie = fx.OutDir / "limited.swf";
  ASSERT_TRUE(ConvertsWithinAddressSpace(options, kRoom));
  EXPECT_EQ(ReadFileBytes(fx.OutDir / "limited.swf"), ReadFileBytes(fx.OutDir / "free.swf"));
}

TEST(ConversionApi, MoviesThatWouldWrapAreRefusedBeforeAnythingIsWritten) {
  ConverterFixture fx;
  const auto convert = [&](const Bytes& bytes, const std::string& url) {
    const auto gif = fx.WriteGif("many.gif", bytes);
    TConvertOptions o = Options(gif, fx.OutDir / "many.swf");
    o.Url = url;
    std::filesystem::remove(o.Movie);
    return ConvertGif(o);
  };
  // 32767 pictures take ids up to 65534; one more would wrap.
  const TConvertOutcome most = convert(ManyFrames(32767, 0), "");
  ASSERT_EQ(most.Code, crOk) << most.Reason;
  const test::PlayedMovie played = fx.Play(most.Movie);
  EXPECT_EQ(played.Header.FrameCount, 32767);

  for (const auto& [frames, url] : {std::pair<std::size_t, std::string>{32768, ""}, {32767, "http://example.com/"}}) {
    const TConvertOutcome refused = convert(ManyFrames(frames, 0), url);
    EXPECT_EQ(refused.Code, crLoadError) << frames;
    EXPECT_NE(refused.Reason.find("too many frames: " + std::to_string(frames)), std::string::npos) << refused.Reason;
    EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "many.swf"));
  }

  // Delay 65535 lasts 16384 movie frames, 65532 lasts 16383: three and one
  // fill the 16-bit frame count exactly, four of the longer ones do not.
  const TConvertOutcome full = convert(GifBuilder().Header(1, 1, {0x000000, 0xFFFFFF})
                                           .Gce(0, 65535).Frame(MakeFrame(0, 0, 1, 1, {0}))
                                           .Gce(0, 65535).Frame(MakeFrame(0, 0, 1, 1, {1}))
                                           .Gce(0, 65535).Frame(MakeFrame(0, 0, 1, 1, {0}))
                                           .Gce(0, 65532).Frame(MakeFrame(0, 0, 1, 1, {1})).Trailer().Build(), "");
  ASSERT_EQ(full.Code, crOk) << full.Reason;
  EXPECT_EQ(fx.Play(full.Movie).Header.FrameCount, 65535);
  const TConvertOutcome tooLong = convert(ManyFrames(4, 65535), "");
  EXPECT_EQ(tooLong.Code, crLoadError);
  EXPECT_EQ(tooLong.Reason, "the frames last 65536 movie frames (a movie holds at most 65535)");
  EXPECT_FALSE(std::filesystem::exists(fx.OutDir / "many.swf"));
}

// A folder walk over made-up folders: "root" with files, subfolders "a",
// "b" and "c"; what each call does is scripted.
struct ScriptedClient final : IFolderRunClient {
  std::map<std::string, int> Codes;  // result code per file name (default 0)
  std::string UnlistableFolder;
  std::string ThrowingFile;
  std::vector<std::string> Converted;
  std::vector<std::filesystem::path> Files(const std::filesystem::path& folder) {
    const std::string name = folder.filename().string();
    if (name == UnlistableFolder) throw std::filesystem::filesystem_error("cannot list", folder, {});
    return {folder / (name + "1.gif"), folder / (name + "2.gif")};
  }
  std::vector<std::filesystem::path> GifFiles(const std::filesystem::path& folder) override { return Files(folder); }
  std::vector<std::string> SubfolderNames(const std::filesystem::path&) override { return {"a", "b", "c"}; }
  bool AbortRequested() override { return false; }
  void FolderStarted(const std::filesystem::path&, bool) override {}
  void FileStarted(std::size_t, std::size_t) override {}
  int Convert(const std::filesystem::path& gif, const std::string&) override {
    const std::string name = gif.filename().string();
    if (name == ThrowingFile) throw std::runtime_error("out of something");
    Converted.push_back(name);
    return Codes.count(name) ? Codes[name] : crOk;
  }
};

TEST(FolderRunWalk, CountsAndStops) {
  ScriptedClient all;
  all.Codes = {{"a1.gif", crLoadError}, {"b2.gif", crWriteError}};
  const TFolderRunCounts counts = RunFolderWalk("/x/root", all);
  EXPECT_EQ(counts.Converted, 6);
  EXPECT_EQ(counts.Failed, 1);
  EXPECT_EQ(counts.Subfolders, 3);
  EXPECT_TRUE(counts.WriteError) << "a write error in a subfolder is counted and the run goes on";
  EXPECT_EQ(all.Converted.size(), 8u);

  ScriptedClient root;
  root.Codes = {{"root1.gif", crWriteError}};
  const TFolderRunCounts stopped = RunFolderWalk("/x/root", root);
  EXPECT_TRUE(stopped.WriteError);
  EXPECT_EQ(root.Converted, (std::vector<std::string>{"root1.gif"})) << "a write error in the root ends the run";
  EXPECT_EQ(stopped.Subfolders, 0);
}

TEST(FolderRunWalk, OnlyListingFailuresAreIgnored) {
  ScriptedClient unlistable;
  unlistable.UnlistableFolder = "b";
  const TFolderRunCounts counts = RunFolderWalk("/x/root", unlistable);
  EXPECT_EQ(counts.Converted, 4) << "the walk of subfolders ends quietly at the folder it cannot list";
  EXPECT_EQ(counts.Subfolders, 2);

  ScriptedClient throwing;
  throwing.ThrowingFile = "a2.gif";
  EXPECT_THROW(RunFolderWalk("/x/root", throwing), std::runtime_error)
      << "a failure of a conversion is not taken for a listing failure";
}

TEST(FolderRunWalk, WindowRestoresItsStatusWhenAConversionFails) {
  ConverterFixture fx;
  const auto in = fx.Root / "in";
  fx.WriteGif("a.gif", TwoFrameGif(1), in / "sub");
  fx.View.Single = false;
  fx.View.Folder = in;
  fx.View.OnProcess = [] { throw std::runtime_error("failure inside a conversion"); };
  EXPECT_THROW(fx.Form->btnStartClick(), std::runtime_error);
  EXPECT_FALSE(fx.View.ProgressVisible);
  EXPECT_FALSE(fx.View.Busy);
  EXPECT_EQ(fx.View.Folder, in);
  EXPECT_EQ(fx.View.Statuses.back(), "");
}

}  // namespace
}  // namespace movara::app
