// How deep frames lie over one another: the count that decides between
// layers and full frames.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "GifBuilder.h"
#include "convert/FrameComposer.h"

namespace movara::convert {
namespace {

using test::GifBuilder;
using test::MakeFrame;

// `count` frames of one index at each rectangle (left, top, width, height).
test::Bytes Stacks(const std::vector<std::pair<std::array<int, 4>, int>>& stacks) {
  GifBuilder b;
  b.Header(12, 12, {0x000000, 0xFFFFFF});
  for (const auto& [r, count] : stacks) {
    for (int i = 0; i < count; ++i) {
      b.Frame(MakeFrame(r[0], r[1], r[2], r[3], std::vector<std::uint8_t>(static_cast<std::size_t>(r[2] * r[3]), 1)));
    }
  }
  return b.Trailer().Build();
}

TEST(FrameComposer, OverlapCountsPixelsInsideEveryFrameButNotOnItsEdges) {
  const struct {
    const char* why;
    std::vector<std::pair<std::array<int, 4>, int>> stacks;
    int most;
  } cases[] = {
      {"twelve frames over one another", {{{0, 0, 4, 4}, 12}}, 12},
      {"a stack that starts on the last row of another", {{{0, 0, 4, 3}, 12}, {{0, 2, 4, 3}, 12}}, 12},
      {"a stack that starts on the last column of another", {{{0, 0, 3, 4}, 12}, {{2, 0, 3, 4}, 12}}, 12},
      {"stacks sharing two rows inside both", {{{0, 0, 4, 4}, 12}, {{0, 1, 4, 4}, 12}}, 24},
      {"frames one pixel wide overlap nowhere", {{{5, 0, 1, 4}, 30}}, 1},
      {"eleven frames or fewer are not scanned", {{{0, 0, 1, 1}, 11}}, 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(MaximumOverlap(*test::LoadGif(Stacks(c.stacks)), 100), c.most);
  }
}

}  // namespace
}  // namespace movara::convert
