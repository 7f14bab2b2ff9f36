// Feeds arbitrary bytes to the WAV reader (and, for bytes that are not
// RIFF, the MP3 reader). Anything it cannot use must end in an
// AudioFileError, and what it reports must lie inside the input.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "base/MemoryStream.h"
#include "media/AudioFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace movara;
  TMemoryViewStream stream(std::span<const std::uint8_t>(data, size));
  try {
    const media::TAudioFileInfo info = media::ReadAudioStream(stream);
    if (info.DataSize > size || info.DataStart > size - info.DataSize) std::abort();
    for (const media::TMPEGFrame& f : info.Frames) {
      if (f.Size > size || f.Offset > size - f.Size) std::abort();
    }
  } catch (const media::AudioFileError&) {
  }
  return 0;
}
