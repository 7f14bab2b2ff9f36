// Feeds arbitrary bytes to the MP3 reader: ID3 and APE tags, junk before
// the frames, frame headers. Anything it cannot use must end in an
// AudioFileError; every frame it lists must lie inside the input, in
// order and without overlap.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "base/MemoryStream.h"
#include "media/ByteWindow.h"
#include "media/MP3Reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace movara;
  TMemoryViewStream stream(std::span<const std::uint8_t>(data, size));
  media::TByteWindow window(stream);
  try {
    const media::TAudioFileInfo info = media::ReadMP3(window);
    std::uint64_t end = info.DataStart;
    for (const media::TMPEGFrame& f : info.Frames) {
      if (f.Offset != end || f.Size > size || f.Offset > size - f.Size) std::abort();
      end += f.Size;
    }
    if (end != info.DataStart + info.DataSize) std::abort();
  } catch (const media::AudioFileError&) {
  }
  return 0;
}
