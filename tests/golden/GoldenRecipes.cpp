// The GIFs of the whole-movie goldens, one recipe each. Index 3 is the
// transparent one wherever a frame has transparency.
#include "GoldenMovies.h"

namespace movara::test {

namespace {

Bytes SingleOpaqueFrame() {
  return GifBuilder().Header(4, 3, kGoldenColors).Frame(MakeFrame(0, 0, 4, 3, Checks(4, 3, 0, 1))).Trailer().Build();
}

// Sprites of index 2 in a transparent border, each of disposal 2, moving
// right over a first frame that is opaque or not.
Bytes DisposalTwoSprites(bool opaqueFirst) {
  GifBuilder b;
  b.Header(12, 4, kGoldenColors);
  if (opaqueFirst) b.Gce(0, 10).Frame(MakeFrame(0, 0, 12, 4, Checks(12, 4, 0, 1)));
  for (int i = 0; i < 4; ++i) b.Gce(2, 10, 3).Frame(MakeFrame(i * 2, 0, 4, 4, Framed(4, 4, 2, 3)));
  return b.Trailer().Build();
}

Bytes EmptyFirstFrame() {
  return GifBuilder().Header(6, 4, kGoldenColors).Gce(0, 10, 3).Frame(MakeFrame(0, 0, 6, 4, Solid(6, 4, 3)))
      .Gce(0, 10, 3).Frame(MakeFrame(0, 0, 4, 4, Framed(4, 4, 2, 3)))
      .Gce(0, 10, 3).Frame(MakeFrame(2, 0, 4, 4, Framed(4, 4, 4, 3))).Trailer().Build();
}

Bytes TrimmedMiddleFrame() {
  return GifBuilder().Header(6, 4, kGoldenColors).Gce(0, 10).Frame(MakeFrame(0, 0, 6, 4, Checks(6, 4, 0, 1)))
      .Gce(0, 10, 3).Frame(MakeFrame(0, 0, 6, 4, Framed(6, 4, 2, 3)))
      .Gce(0, 10).Frame(MakeFrame(0, 0, 6, 4, Checks(6, 4, 4, 5))).Trailer().Build();
}

Bytes EmptyMiddleFrame() {
  return GifBuilder().Header(6, 4, kGoldenColors).Gce(0, 10).Frame(MakeFrame(0, 0, 6, 4, Checks(6, 4, 0, 1)))
      .Gce(0, 10, 3).Frame(MakeFrame(0, 0, 6, 4, Solid(6, 4, 3)))
      .Gce(0, 10, 3).Frame(MakeFrame(0, 0, 6, 4, Framed(6, 4, 4, 3))).Trailer().Build();
}

Bytes RepeatedPixels() {
  std::vector<std::uint8_t> changed = Checks(6, 4, 0, 1);
  for (int y = 1; y < 3; ++y)
    for (int x = 2; x < 4; ++x) changed[static_cast<std::size_t>(y) * 6 + x] = 2;
  return GifBuilder().Header(6, 4, kGoldenColors).Gce(0, 10).Frame(MakeFrame(0, 0, 6, 4, Checks(6, 4, 0, 1)))
      .Gce(0, 10).Frame(MakeFrame(0, 0, 6, 4, changed)).Trailer().Build();
}

Bytes DisposalThree() {
  return GifBuilder().Header(8, 4, kGoldenColors).Gce(0, 10).Frame(MakeFrame(0, 0, 8, 4, Checks(8, 4, 0, 1)))
      .Gce(3, 10, 3).Frame(MakeFrame(1, 0, 4, 4, Framed(4, 4, 2, 3)))
      .Gce(0, 10, 3).Frame(MakeFrame(4, 0, 4, 4, Framed(4, 4, 5, 3))).Trailer().Build();
}

// Thirteen opaque frames repeating most of the first, which covers the
// screen; some with a table of their own, one of disposal 3 and smaller.
Bytes OpaqueFullFrames() {
  GifBuilder b;
  b.Header(8, 4, kGoldenColors).Gce(0, 10).Frame(MakeFrame(0, 0, 8, 4, Checks(8, 4, 0, 1)));
  const std::vector<Rgb> local = {0x000000, 0xFFFFFF, 0x102030, 0x405060, 0x708090, 0xA0B0C0};
  for (int i = 1; i < 13; ++i) {
    const int w = i == 5 ? 4 : 8;
    std::vector<std::uint8_t> pixels = Checks(w, 4, 0, 1);
    pixels[static_cast<std::size_t>(i % w)] = static_cast<std::uint8_t>(2 + i % 4);
    b.Gce(i == 5 ? 3 : 0, 4 + i).Frame(MakeFrame(i == 5 ? 2 : 0, 0, w, 4, pixels, i % 4 == 0 ? local : std::vector<Rgb>{}));
  }
  return b.Trailer().Build();
}

// Two frames, played three times: the first pass and two repeats.
Bytes LoopedTwice() {
  return GifBuilder().Header(4, 3, kGoldenColors).Loop(2).Gce(0, 10).Frame(MakeFrame(0, 0, 4, 3, Checks(4, 3, 0, 1)))
      .Gce(0, 10).Frame(MakeFrame(0, 0, 4, 3, Checks(4, 3, 2, 3))).Trailer().Build();
}

}  // namespace

std::vector<GoldenRecipe> GoldenRecipes() {
  const auto at = [](int l, int t, int w, int h) { return std::array<int, 4>{l, t, w, h}; };
  return {
      {"single-opaque-frame", "one opaque frame is one 24-bit bitmap at depth 0, shown for ten movie frames",
       SingleOpaqueFrame, ""},
      {"overlap-eleven-layers", "eleven frames over one pixel, the most layers allow: every frame a layer of its own",
       [at] { return StackedFrames(10, 4, 12, [at](int i) { return i < 11 ? at(0, 0, 4, 4) : at(6, 0, 4, 4); }); }, ""},
      {"overlap-twelve-full-frames", "twelve frames over one pixel, one past the limit: full-frame pictures",
       [at] { return StackedFrames(10, 4, 12, [at](int) { return at(0, 0, 4, 4); }); }, ""},
      {"overlap-on-frame-edges", "twelve frames one pixel wide meet only on their edges, which count as no overlap: layers",
       [at] { return StackedFrames(10, 4, 12, [at](int) { return at(5, 0, 1, 4); }); }, ""},
      {"disposal2-transparent-first", "disposal-2 sprites over a transparent first frame: layers, each removed as the next shows",
       [] { return DisposalTwoSprites(false); }, ""},
      {"disposal2-opaque-first", "disposal-2 sprites over an opaque first frame: full-frame pictures",
       [] { return DisposalTwoSprites(true); }, ""},
      {"empty-first-frame-kept", "a first frame that shows nothing stays through the crop, so the later frames are trimmed",
       EmptyFirstFrame, ""},
      {"trimmed-middle-frame", "a middle frame with a transparent border is trimmed to what it shows",
       TrimmedMiddleFrame, ""},
      {"empty-middle-frame-untrimmed", "the crop would drop a middle frame that shows nothing, so no frame is trimmed",
       EmptyMiddleFrame, ""},
      {"repeated-pixels-merged", "pixels repeating the frame below turn transparent and the frame is trimmed to the change",
       RepeatedPixels, ""},
      {"disposal3-restores", "a disposal-3 frame's layer goes when the next frame shows", DisposalThree, ""},
      {"opaque-full-frames", "thirteen opaque frames over the first, which covers the screen: full frames, composed frame by frame",
       OpaqueFullFrames, ""},
      {"link-button", "a link is a transparent DefineButton2 over the screen, above every frame",
       SingleOpaqueFrame, "http://example.com/a?b=1"},
      {"loop-count-played", "a loop count of 2 played: the last frame counts the passes in a variable and stops after the third",
       LoopedTwice, "", true},
  };
}

}  // namespace movara::test
