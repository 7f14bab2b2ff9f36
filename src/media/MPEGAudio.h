#pragma once

#include <cstdint>
#include <optional>

#include "media/AudioFile.h"
#include "media/ByteWindow.h"

namespace movara::media {

// One decoded MPEG audio frame header.
struct TMPEGHeader {
  std::uint8_t Version = 0;  // 10 MPEG-1, 20 MPEG-2, 25 MPEG-2.5
  std::uint8_t Layer = 0;    // 1, 2 or 3
  bool Protected = false;    // a 16-bit CRC follows the header
  std::uint32_t BitRate = 0;  // bits per second
  std::uint32_t SampleRate = 0;
  bool Padding = false;
  bool Mono = false;
  std::uint16_t SamplesPerFrame = 0;  // 384, 576 or 1152
  std::uint32_t FrameSize = 0;        // bytes, header and padding included
};

enum class TMPEGHeaderKind { Valid, Invalid, FreeFormat };

// Decodes the four header bytes at p. A free-format header (no bit rate, so
// no frame size) is told apart from one that is not a header at all.
TMPEGHeaderKind DecodeMPEGHeader(const std::uint8_t* p, TMPEGHeader& header);

// Finds the MPEG audio in [start, end) of the window: leading junk is passed
// over up to the first run of consecutive frames, then frames are taken one
// after the other while they continue the same stream. A leading Xing, Info
// or VBRI frame is left out. Fills the data, sample and MPEG fields of info;
// throws AudioFileError when there is no audio.
void ScanMPEGAudio(TByteWindow& window, std::uint64_t start, std::uint64_t end, TAudioFileInfo& info);

}  // namespace movara::media
