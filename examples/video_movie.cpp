// video_movie: an FLV video (Sorenson H.263, Screen Video or VP6) placed in
// a movie of its picture size and frame rate, at depth 1, for as many movie
// frames as it has, its sound (MP3 or uncompressed) streamed along. With
// --repeat the movie lasts twice as long and the video plays again from its
// start. Frames and sound are copied, not re-encoded.
//
//   video_movie [--repeat] FLV OUT.swf
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "base/Printable.h"
#include "swf/builder/FlashMovie.h"

int main(int argc, char** argv) {
  using namespace movara;
  const bool repeat = argc > 1 && std::strcmp(argv[1], "--repeat") == 0;
  if (argc != (repeat ? 4 : 3)) {
    std::fputs("usage: video_movie [--repeat] FLV OUT.swf\n", stderr);
    return 2;
  }
  const char* flv = argv[repeat ? 2 : 1];
  const char* out = argv[repeat ? 3 : 2];
  try {
    media::TFLVReader source;
    source.LoadFromFile(flv);
    // Without timestamps that tell the rate, 12 frames per second.
    const double rate = source.FrameRate() > 0 ? source.FrameRate() : 12;
    swf::TFlashMovie movie(0, 0, source.Width(), source.Height(), rate, true);
    movie.SetVersion(6);

    swf::TFlashVideo& video = movie.AddVideo(std::move(source));
    movie.PlaceVideo(video, 1, repeat);
    const std::uint32_t frames = video.FrameCount() * (repeat ? 2u : 1u);
    // More frames than a movie holds are refused, not cut.
    movie.ShowFrame(frames);

    movie.BuildBody();
    movie.SaveFile(out);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "video_movie: %s: %s\n", Printable(flv).c_str(), Printable(e.what()).c_str());
    return 1;
  }
  return 0;
}
