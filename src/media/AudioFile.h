#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "base/Stream.h"
#include "media/MediaError.h"

namespace movara::media {

// Raised for a sound file the readers cannot make sense of: not audio,
// truncated, or with sizes and counts that do not fit the file.
class AudioFileError : public MediaError {
 public:
  using MediaError::MediaError;
};

// WAV format tags the readers name.
constexpr std::uint16_t kWaveFormatPCM = 1;
constexpr std::uint16_t kWaveFormatADPCM = 2;
constexpr std::uint16_t kWaveFormatMPEG = 80;           // MPEG audio layers I and II
constexpr std::uint16_t kWaveFormatMPEGLayer3 = 85;
constexpr std::uint16_t kWaveFormatMPEGLayer3Alt = 336;
constexpr std::uint16_t kWaveFormatExtensible = 0xFFFE;

// One MPEG audio frame of the file: where it starts and how long it is.
struct TMPEGFrame {
  std::uint64_t Offset = 0;
  std::uint32_t Size = 0;
  friend bool operator==(const TMPEGFrame&, const TMPEGFrame&) = default;
};

// What a sound file holds, as far as a movie needs it.
struct TAudioFileInfo {
  // 1 uncompressed PCM, 85 MPEG audio (an MP3 file, or MPEG audio inside a
  // WAV file under tag 85 or 336), 80 MPEG layers I/II in an MP3 file, or
  // any other WAV tag as the file states it.
  std::uint16_t FormatTag = 0;
  std::uint32_t SampleRate = 0;
  // Bits per sample of PCM data; 16 for MPEG audio, which decodes to 16 bits.
  std::uint16_t BitsPerSample = 0;
  std::uint16_t Channels = 0;
  // Where the sound data lies in the file: the PCM samples, or the MPEG
  // frames from the first audio frame to the end of the last.
  std::uint64_t DataStart = 0;
  std::uint64_t DataSize = 0;
  // Samples per channel; 0 when the encoding is one the readers do not count.
  std::uint64_t SampleCount = 0;
  double Duration = 0;

  // MPEG audio only.
  std::uint8_t MPEGVersion = 0;  // 10 MPEG-1, 20 MPEG-2, 25 MPEG-2.5
  std::uint8_t MPEGLayer = 0;    // 1, 2 or 3
  std::uint16_t SamplesPerMPEGFrame = 0;
  std::uint16_t MPEGFrameSize = 0;  // bytes of the first audio frame
  std::vector<TMPEGFrame> Frames;   // every audio frame, a Xing/Info frame left out
  bool IsMPEG() const { return MPEGLayer != 0; }
};

// Reads a WAV or MP3 file, told apart by their content.
TAudioFileInfo ReadAudioFile(const std::filesystem::path& fileName);
TAudioFileInfo ReadAudioStream(TStream& stream);

}  // namespace movara::media
