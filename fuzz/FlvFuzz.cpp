// Feeds arbitrary bytes to the FLV reader and places what loads in a movie.
// Unusable data must end in an FLVError and nothing else; what loads must
// build into a movie, sound streamed, without reading outside the file.
#include <cstdint>
#include <vector>

#include "media/FLVReader.h"
#include "swf/builder/FlashMovie.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace movara;
  media::TFLVReader reader;
  try {
    reader.LoadFromBytes(std::vector<std::uint8_t>(data, data + size));
  } catch (const media::FLVError&) {
    return 0;
  }
  reader.FrameRate();
  swf::TFlashMovie movie(0, 0, reader.Width(), reader.Height(), 12, true);
  const auto frames = static_cast<std::uint16_t>(reader.VideoFrames().size());
  swf::TFlashVideo& video = movie.AddVideo(std::move(reader));
  movie.PlaceVideo(video, 1, true);
  movie.ShowFrame(frames);
  try {
    movie.BuildBody();
  } catch (const swf::FlashSoundError&) {
    // More sound in a frame than a stream block can number.
  }
  return 0;
}
