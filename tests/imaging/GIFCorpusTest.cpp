// The reader against the shared corpus: every valid GIF loads and composes
// to the reference frames; every malformed one fails cleanly or loads.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "Compose.h"
#include "Corpus.h"
#include "imaging/GIFException.h"
#include "imaging/GIFImage.h"

namespace movara::imaging {
namespace {

using test::CorpusDir;

// Index of the first differing pixel, or -1.
long FirstDifference(const test::RgbaImage& a, const test::RgbaImage& b) {
  for (std::size_t i = 0; i < a.rgba.size(); i += 4) {
    const bool bothClear = a.rgba[i + 3] == 0 && b.rgba[i + 3] == 0;
    const auto pixel = a.rgba.begin() + static_cast<std::ptrdiff_t>(i);
    if (!bothClear && !std::equal(pixel, pixel + 4, b.rgba.begin() + static_cast<std::ptrdiff_t>(i))) {
      return static_cast<long>(i / 4);
    }
  }
  return -1;
}

TEST(GIFCorpus, ValidFilesLoadAndComposeToTheReferenceFrames) {
  if (!test::HaveCorpus()) GTEST_SKIP() << "corpus not found at " << CorpusDir();
  const auto malformed = test::MalformedCorpusFiles();
  const auto refused = test::ExpectedRefusals();
  int files = 0, frames = 0;
  for (const auto& name : test::CorpusFiles("gif", ".gif")) {
    if (malformed.count(name) != 0) continue;
    SCOPED_TRACE(name);
    TGIFImage gif;
    if (refused.count(name) != 0) {
      EXPECT_THROW(gif.LoadFile(CorpusDir() / "gif" / name), GIFException) << refused.at(name);
      continue;
    }
    ASSERT_NO_THROW(gif.LoadFile(CorpusDir() / "gif" / name));
    const auto refDir = CorpusDir() / "reference" / name;
    if (!std::filesystem::is_directory(refDir)) continue;
    ++files;
    const auto composed = test::ComposeFrames(gif);
    for (std::size_t i = 0; i < composed.size(); ++i) {
      char file[32];
      std::snprintf(file, sizeof file, "frame-%03zu.png", i);
      if (!std::filesystem::exists(refDir / file)) continue;
      const test::RgbaImage ref = test::ReadPng(refDir / file);
      ASSERT_EQ(ref.width, composed[i].width) << file;
      ASSERT_EQ(ref.height, composed[i].height) << file;
      const long diff = FirstDifference(composed[i], ref);
      EXPECT_EQ(diff, -1) << file << " differs first at x " << diff % std::max(1, ref.width) << ", y "
                          << diff / std::max(1, ref.width);
      ++frames;
    }
    // Every reference frame must have a composed counterpart.
    char last[32];
    std::snprintf(last, sizeof last, "frame-%03zu.png", composed.size());
    EXPECT_FALSE(std::filesystem::exists(refDir / last)) << "fewer frames than the reference";
  }
  std::printf("compared %d frames of %d files\n", frames, files);
  EXPECT_GT(files, 100);
}

TEST(GIFCorpus, MalformedAndHostileFilesFailCleanlyOrLoad) {
  if (!test::HaveCorpus()) GTEST_SKIP() << "corpus not found at " << CorpusDir();
  std::vector<std::filesystem::path> paths;
  for (const auto& name : test::CorpusFiles("bad", ".gif")) paths.push_back(CorpusDir() / "bad" / name);
  for (const auto& name : test::MalformedCorpusFiles()) paths.push_back(CorpusDir() / "gif" / name);
  // The corpus holds dozens of such files, of both outcomes; an empty or
  // missing folder is a broken corpus, not a pass.
  ASSERT_GE(paths.size(), 20u) << "too few malformed files in " << CorpusDir();
  int loaded = 0, refused = 0;
  for (const auto& path : paths) {
    SCOPED_TRACE(path.filename().string());
    TGIFImage gif;
    try {
      gif.LoadFile(path);
      ++loaded;
    } catch (const GIFException& e) {
      EXPECT_STRNE(e.what(), "") << "a refusal says why";
      ++refused;
    } catch (const std::exception& e) {
      ADD_FAILURE() << "failed with something other than a GIF error: " << e.what();
    }
    // What was read, whole or up to the fault, is consistent, and renders
    // at its size or refuses with a GIF error (a frame without any colour
    // table cannot render).
    for (auto& frame : gif.Frames()) {
      if (frame->IsEmpty()) continue;
      EXPECT_EQ(frame->PixelData().size(), std::size_t{frame->Width()} * frame->Height());
      try {
        const TBitmap* bitmap = frame->FrameBitmap();
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->Width(), frame->Width());
        EXPECT_EQ(bitmap->Height(), frame->Height());
      } catch (const GIFException& e) {
        EXPECT_STRNE(e.what(), "");
      }
    }
  }
  std::printf("%d malformed files loaded, %d refused\n", loaded, refused);
  EXPECT_GT(loaded, 0);
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace movara::imaging
