#pragma once

// Whole-movie goldens: small GIFs built here, each pinning a choice the
// picture comparisons cannot see (the mode, the layers kept, the frames
// trimmed), converted through the conversion API and dumped tag by tag. The
// dumps are checked in as tests/golden/NAME.txt; golden_tests compares, and
// the golden-rebuild target writes them anew (a deliberate, reviewed act).

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "GifBuilder.h"
#include "base/FileStream.h"
#include "convert/Convert.h"
#include "swf/core/TagDump.h"

namespace movara::test {

struct GoldenRecipe {
  std::string Name;
  std::string Pins;  // what the golden holds fixed, as its first comment line
  std::function<Bytes()> Gif;
  std::string Url;  // a link button when not empty
  bool GifLoop = false;  // the movie plays the GIF's loop count
};

inline const std::vector<Rgb> kGoldenColors = {0x000000, 0xFFFFFF, 0xE03020, 0x2060E0, 0xF0C020, 0x30B060};

// A w x h block of one index.
inline std::vector<std::uint8_t> Solid(int w, int h, std::uint8_t index) {
  return std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h, index);
}

// A w x h checkerboard of two indices.
inline std::vector<std::uint8_t> Checks(int w, int h, std::uint8_t a, std::uint8_t b) {
  std::vector<std::uint8_t> p(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p[static_cast<std::size_t>(y) * w + x] = (x + y) % 2 ? a : b;
  return p;
}

// A w x h block of index `ink` inside a one-pixel border of index `clear`.
inline std::vector<std::uint8_t> Framed(int w, int h, std::uint8_t ink, std::uint8_t clear) {
  std::vector<std::uint8_t> p = Solid(w, h, clear);
  for (int y = 1; y + 1 < h; ++y)
    for (int x = 1; x + 1 < w; ++x) p[static_cast<std::size_t>(y) * w + x] = ink;
  return p;
}

// `count` opaque frames of disposal 0, each its own checkerboard, at the
// rectangles (left, top, width, height) that `place` gives.
inline Bytes StackedFrames(int screenW, int screenH, int count, const std::function<std::array<int, 4>(int)>& place) {
  GifBuilder b;
  b.Header(screenW, screenH, kGoldenColors);
  for (int i = 0; i < count; ++i) {
    const auto [l, t, w, h] = place(i);
    const auto a = static_cast<std::uint8_t>(i % 6), c = static_cast<std::uint8_t>((i + 1) % 6);
    b.Gce(0, 10).Frame(MakeFrame(l, t, w, h, Checks(w, h, a, c)));
  }
  return b.Trailer().Build();
}

std::vector<GoldenRecipe> GoldenRecipes();

// The golden text of a recipe: its comment lines, then the dump of the movie
// the conversion API makes of it (files in `scratch`).
// `heldFrameBytes` 0 reads the GIF twice, as a GIF too large to hold is;
// `readTwice`, when given, tells whether the conversion did.
inline std::string GoldenText(const GoldenRecipe& recipe, const std::filesystem::path& scratch,
                              std::size_t heldFrameBytes = convert::TConvertOptions().HeldFrameBytes,
                              bool* readTwice = nullptr) {
  std::filesystem::create_directories(scratch);
  convert::TConvertOptions options;
  options.Gif = scratch / (recipe.Name + ".gif");
  options.Movie = scratch / (recipe.Name + ".swf");
  options.Url = recipe.Url;
  options.Timing.GifLoop = recipe.GifLoop;
  options.CompressionThreads = 1;
  options.HeldFrameBytes = heldFrameBytes;
  WriteFileBytes(options.Gif, recipe.Gif());
  const convert::TConvertOutcome outcome = convert::ConvertGif(options);
  if (readTwice != nullptr) *readTwice = outcome.ReadTwice;
  if (outcome.Code != convert::crOk) return "conversion failed: " + outcome.Reason + "\n";
  return "# " + recipe.Name + ": " + recipe.Pins + "\n" +
         "# Made by golden_tests' recipe; rebuild with `cmake --build build --target golden-rebuild`.\n" +
         swf::DumpMovie(ReadFileBytes(options.Movie));
}

}  // namespace movara::test
