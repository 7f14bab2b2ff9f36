// The converter against the shared corpus: every valid GIF converts, reads
// back through the project's own readers, and the movie shows what the GIF
// shows; malformed and hostile files end in code 1 or a clean conversion.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "ConvertTestSupport.h"
#include "Corpus.h"

namespace movara::convert {
namespace {

using test::ConvertFixture;
using test::CorpusDir;

#ifdef MOVARA_CORPUS_STRIDE
constexpr int kStride = MOVARA_CORPUS_STRIDE;
#else
constexpr int kStride = 1;
#endif

TEST(ConvertCorpus, ValidGifsPlayLikeTheGif) {
  if (!test::HaveCorpus()) GTEST_SKIP() << "corpus not found";
  const auto malformed = test::MalformedCorpusFiles();
  const auto refused = test::ExpectedRefusals();
  ConvertFixture fx;
  int files = 0, same = 0;
  for (const auto& name : test::CorpusSample(test::CorpusFiles("gif", ".gif"))) {
    if (malformed.count(name) != 0) continue;
    SCOPED_TRACE(name);
    const auto gif = CorpusDir() / "gif" / name;
    const auto start = std::chrono::steady_clock::now();
    const int code = fx.ConvertToOutDir(gif).Code;
    const double convertSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (refused.count(name) != 0) {
      EXPECT_EQ(code, crLoadError) << refused.at(name);
      continue;
    }
    ASSERT_EQ(code, crOk);
    ++files;
    const test::Bytes bytes = ReadFileBytes(fx.MovieOf(gif));
    test::PlayedMovie played;
    ASSERT_NO_THROW(played = test::PlayMovie(bytes));
    const test::Bytes gifBytes = ReadFileBytes(gif);
    const auto result = test::SamePictures(played.Frames, test::GifPictures(gifBytes));
    EXPECT_TRUE(result);
    same += result ? 1 : 0;
    std::filesystem::remove(fx.MovieOf(gif));
    const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (total > 1) std::printf("SLOW %s convert %.2fs total %.2fs\n", name.c_str(), convertSeconds, total);
  }
  std::printf("%d of %d corpus movies show the GIF's pictures\n", same, files);
  EXPECT_GT(files, 120 / kStride);
}

// Compact movies hold the same pictures as 8-bit colour-mapped bitmaps
// where they can: played, they show exactly what the default movies show,
// and they are never larger.
TEST(ConvertCorpus, CompactMoviesPlayLikeTheDefaultOnes) {
  if (!test::HaveCorpus()) GTEST_SKIP() << "corpus not found";
  const auto malformed = test::MalformedCorpusFiles();
  ConvertFixture fx;
  std::uintmax_t plainBytes = 0, compactBytes = 0;
  int files = 0;
  for (const auto& name : test::CorpusSample(test::CorpusFiles("gif", ".gif"))) {
    if (malformed.count(name) != 0) continue;
    SCOPED_TRACE(name);
    TConvertOptions options;
    options.Gif = CorpusDir() / "gif" / name;
    options.Movie = fx.OutDir / "plain.swf";
    if (ConvertGif(options).Code != crOk) continue;
    options.Movie = fx.OutDir / "compact.swf";
    options.Compact = true;
    ASSERT_EQ(ConvertGif(options).Code, crOk);
    const auto plain = test::PlayMovie(ReadFileBytes(fx.OutDir / "plain.swf"));
    const auto compact = test::PlayMovie(ReadFileBytes(fx.OutDir / "compact.swf"));
    ASSERT_EQ(compact.Frames.size(), plain.Frames.size());
    for (std::size_t i = 0; i < plain.Frames.size(); ++i) EXPECT_EQ(compact.Frames[i].rgba, plain.Frames[i].rgba) << i;
    plainBytes += std::filesystem::file_size(fx.OutDir / "plain.swf");
    compactBytes += std::filesystem::file_size(fx.OutDir / "compact.swf");
    ++files;
  }
  std::printf("%d corpus GIFs: default movies %ju bytes, compact movies %ju bytes\n", files, plainBytes, compactBytes);
  EXPECT_GT(files, 120 / kStride);
  EXPECT_LT(compactBytes, plainBytes);
}

// A GIF read twice, holding a few frames at a time, makes the movie made
// from the whole image, byte for byte, in every mode the corpus reaches; and
// it is read twice, not held whole after all.
TEST(ConvertCorpus, ReadingTwiceMakesTheSameMovies) {
  if (!test::HaveCorpus()) GTEST_SKIP() << "corpus not found";
  const auto malformed = test::MalformedCorpusFiles();
  const std::set<std::string> beyondTable = {"pil-no_palette.gif", "wuffs-empty-palette.gif"};
  ConvertFixture fx;
  int files = 0;
  for (const auto& name : test::CorpusSample(test::CorpusFiles("gif", ".gif"))) {
    if (malformed.count(name) != 0) continue;
    SCOPED_TRACE(name);
    for (const bool compact : {false, true}) {
      TConvertOptions options;
      options.Gif = CorpusDir() / "gif" / name;
      options.Compact = compact;
      options.Url = compact ? "http://example.com/" : "";
      options.Movie = fx.OutDir / "whole.swf";
      if (ConvertGif(options).Code != crOk) break;
      options.Movie = fx.OutDir / "twice.swf";
      options.HeldFrameBytes = 0;
      const TConvertOutcome twice = ConvertGif(options);
      ASSERT_EQ(twice.Code, crOk);
      // A single picture is always held, and so is a GIF whose indices go
      // beyond their table; the facts of the first reading suffice for
      // every other GIF of the corpus.
      EXPECT_EQ(twice.ReadTwice, test::PictureCount(ReadFileBytes(options.Gif)) > 1 && beyondTable.count(name) == 0);
      EXPECT_EQ(ReadFileBytes(fx.OutDir / "twice.swf"), ReadFileBytes(fx.OutDir / "whole.swf")) << compact;
    }
    ++files;
  }
  EXPECT_GT(files, 120 / kStride);
}

TEST(ConvertCorpus, BadFilesGiveCodeOneOrConvertCleanly) {
  if (!test::HaveCorpus()) GTEST_SKIP() << "corpus not found";
  ConvertFixture fx;
  std::vector<std::filesystem::path> paths;
  for (const auto& name : test::CorpusFiles("bad", ".gif")) paths.push_back(CorpusDir() / "bad" / name);
  for (const auto& name : test::MalformedCorpusFiles()) paths.push_back(CorpusDir() / "gif" / name);
  int refused = 0, converted = 0;
  for (const auto& path : paths) {
    SCOPED_TRACE(path.filename().string());
    const TConvertOutcome outcome = fx.ConvertToOutDir(path);
    const int code = outcome.Code;
    ASSERT_TRUE(code == crOk || code == crLoadError) << code;
    if (code == crLoadError) {
      ++refused;
      EXPECT_FALSE(outcome.Reason.empty()) << "every refusal gives its reason";
      EXPECT_FALSE(std::filesystem::exists(fx.MovieOf(path)));
    } else {
      ++converted;
      EXPECT_NO_THROW(test::PlayMovie(ReadFileBytes(fx.MovieOf(path))));
      std::filesystem::remove(fx.MovieOf(path));
    }
  }
  std::printf("%d refused with code 1, %d converted\n", refused, converted);
}

}  // namespace
}  // namespace movara::convert
