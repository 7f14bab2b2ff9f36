// Puts a WAV or MP3 file into a movie: streamed along the timeline (the
// default) or as an event sound started in frame 1. The movie shows a
// coloured rectangle for as many frames at 24 fps as the sound lasts.
//
//   sound_movie [--event] [--loop] AUDIO OUT.swf
#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

#include "base/Printable.h"
#include "swf/builder/FlashMovie.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr double kFrameRate = 24;

int Usage() {
  std::cerr << "usage: sound_movie [--event] [--loop] AUDIO OUT.swf\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace movara::swf;
  bool event = false;
  bool loop = false;
  int arg = 1;
  for (; arg < argc && std::strncmp(argv[arg], "--", 2) == 0; ++arg) {
    if (std::strcmp(argv[arg], "--event") == 0) {
      event = true;
    } else if (std::strcmp(argv[arg], "--loop") == 0) {
      loop = true;
    } else {
      return Usage();
    }
  }
  if (argc - arg != 2) return Usage();
  const std::string audio = argv[arg];
  const std::string out = argv[arg + 1];

  try {
    TFlashMovie movie(0, 0, kWidth, kHeight, kFrameRate, true);
    movie.SetVersion(6);

    // The sound first, so that a file the movie cannot carry stops here.
    const TFlashSound* sound = nullptr;
    if (event) {
      TFlashSound& effect = movie.AddSound(audio);
      // An event sound plays once unless it is told to repeat.
      TSWFStartSound& start = movie.StartSound(effect);
      if (loop) start.SetLoopCount(65535);
      sound = &effect;
    } else {
      TFlashSound& stream = movie.StreamSound();
      stream.LoadFile(audio);
      // A stream follows the timeline: without looping the last block is
      // padded with silence.
      stream.Loop = loop;
      sound = &stream;
    }

    TFlashShape& rectangle = movie.AddRectangle(0, 0, kWidth - 1, kHeight - 1);
    rectangle.SetSolidColor(0x30, 0x90, 0xD0, 0xFF);
    movie.PlaceObject(rectangle, 1);
    // A sound longer than a movie can last is refused by ShowFrame, not cut.
    const double frames = std::ceil(sound->Duration() * kFrameRate);
    movie.ShowFrame(static_cast<std::uint32_t>(std::clamp(frames, 1.0, 4294967295.0)));

    movie.BuildBody();
    movie.SaveFile(out);
  } catch (const std::exception& e) {
    std::cerr << "sound_movie: " << movara::Printable(e.what()) << "\n";
    return 1;
  }
  return 0;
}
