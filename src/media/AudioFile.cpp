#include "media/AudioFile.h"

#include <cstring>

#include "base/FileStream.h"
#include "media/MP3Reader.h"
#include "media/WAVReader.h"

namespace movara::media {

TAudioFileInfo ReadAudioStream(TStream& stream) {
  TByteWindow window(stream);
  std::uint8_t magic[4] = {};
  const bool full = window.Peek(0, magic, sizeof magic);
  if (full && std::memcmp(magic, "RIFF", 4) == 0) return ReadWAV(window);
  const bool looksMP3 = full && (std::memcmp(magic, "ID3", 3) == 0 || (magic[0] == 0xFF && (magic[1] & 0xE0) == 0xE0));
  try {
    return ReadMP3(window);
  } catch (const AudioFileError&) {
    if (looksMP3) throw;
    throw AudioFileError("not a WAV or MP3 file");
  }
}

TAudioFileInfo ReadAudioFile(const std::filesystem::path& fileName) {
  TFileStream file(fileName, TFileStream::Mode::Read);
  try {
    return ReadAudioStream(file);
  } catch (const AudioFileError& e) {
    throw AudioFileError("\"" + fileName.string() + "\": " + e.what());
  }
}

}  // namespace movara::media
