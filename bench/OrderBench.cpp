// The cost of writing definitions ahead of their uses: movies of tens of
// thousands of frames, each a shape made before the picture it is filled
// with (so every frame writes a definition from further on), built whole
// and streamed, next to the same movies made in order. The time per object
// stays flat as the movie grows when the writing is linear.
//
//   build/bench/order_bench [FRAMES...]   (default 8000 16000 32000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/MemoryStream.h"
#include "swf/builder/FlashMovie.h"

using namespace movara;

namespace {

void Compose(swf::TFlashMovie& movie, int frames, bool shapeFirst, const imaging::TBitmap& picture) {
  for (int k = 0; k < frames; ++k) {
    swf::TFlashImage* image = shapeFirst ? nullptr : &movie.AddImage(picture);
    swf::TFlashShape& shape = movie.AddRectangle(0, 0, 2, 2);
    if (image == nullptr) image = &movie.AddImage(picture);
    shape.SetImageFill(*image, 1, 1, 1);
    movie.RemoveObject(1, nullptr);
    movie.PlaceObject(shape, 1);
    movie.ShowFrame();
  }
}

// Seconds to make and write the movie, whole or streamed.
double Seconds(int frames, bool shapeFirst, bool streamed, std::size_t& objects) {
  const imaging::TBitmap picture(2, 2, imaging::TPixelFormat::pf24bit);
  const auto start = std::chrono::steady_clock::now();
  swf::TFlashMovie movie(0, 0, 2, 2, 24, true);
  TMemoryStream out;
  if (streamed) {
    movie.BeginStream(out, static_cast<std::uint16_t>(frames));
    Compose(movie, frames, shapeFirst, picture);
    movie.EndStream();
  } else {
    Compose(movie, frames, shapeFirst, picture);
    movie.BuildBody();
    movie.SaveToStream(out);
  }
  objects = movie.Objects().size();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {8000, 16000, 32000};
  // A first run, not shown, warms the allocator and the caches up.
  std::size_t warm = 0;
  Seconds(1000, true, false, warm);
  std::printf("%8s %9s %-8s %-12s %9s %12s\n", "frames", "objects", "way", "order", "seconds", "us/object");
  for (const int frames : sizes) {
    // Two characters a frame, of at most 65535.
    if (frames < 1 || frames > 32767) {
      std::fprintf(stderr, "order_bench: 1 to 32767 frames, not %d\n", frames);
      return 2;
    }
    for (const bool streamed : {false, true}) {
      for (const bool shapeFirst : {false, true}) {
        std::size_t objects = 0;
        const double s = Seconds(frames, shapeFirst, streamed, objects);
        std::printf("%8d %9zu %-8s %-12s %9.3f %12.3f\n", frames, objects, streamed ? "streamed" : "whole",
                    shapeFirst ? "shape first" : "in order", s, s * 1e6 / static_cast<double>(objects));
      }
    }
  }
  return 0;
}
