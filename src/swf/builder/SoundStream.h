#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "swf/core/SoundTags.h"

namespace movara::swf {

// What a streamed sound's head declares: the same format for playback and
// for the stream.
struct TStreamFormat {
  std::uint8_t Format = kSoundUncompressedLE;
  std::uint8_t RateCode = 0;
  bool Is16Bit = false;
  bool IsStereo = false;
};

// The bytes of one sample on all channels of uncompressed sound.
constexpr std::uint32_t PCMSampleBytes(bool is16Bit, bool isStereo) {
  return (is16Bit ? 2u : 1u) * (isStereo ? 2u : 1u);
}

// The samples of a sound of `sampleRate` Hz that play during one movie
// frame. A block numbers its samples in 16 bits and each frame needs one:
// other rates throw FlashSoundError, which names the sound by `sound`.
std::uint16_t StreamSamplesPerFrame(std::uint32_t sampleRate, double frameRate, const std::string& sound);

// Fills a stream head of this format for blocks of `samplesPerFrame`.
void FillStreamHead(TSWFSoundStreamHead& head, const TStreamFormat& format, std::uint16_t samplesPerFrame);

// How far a stream has come: its head creates the cursor and each block
// advances it, so that the sound itself does not change by being written.
struct TSoundStreamCursor {
  std::uint32_t SamplesPerBlock = 0;  // the samples of a movie frame
  std::uint32_t BlockSize = 0;        // the bytes of an uncompressed block
  std::uint32_t ReadPosition = 0;     // uncompressed: the next byte, in the file
  std::size_t NextFrame = 0;          // MP3: the next MPEG frame
  std::uint32_t Blocks = 0;           // MP3: the blocks written
  std::uint64_t SamplesWritten = 0;   // MP3: the samples of the frames written
  // MP3: the samples the movie's frames are ahead of the frames written,
  // which the next block declares as its seek.
  std::int64_t Seek = 0;

  friend bool operator==(const TSoundStreamCursor&, const TSoundStreamCursor&) = default;
};

// One MP3 stream block: the whole MPEG frames it holds (none makes an empty
// block), the seek it declares and the cursor after it.
struct TMP3Block {
  std::uint32_t Frames = 0;
  std::int64_t Seek = 0;
  TSoundStreamCursor Next;
};

// The MP3 block of a stream at `at` over `frameCount` MPEG frames of
// `samplesPerFrame` samples: as many frames as keep the stream within a
// frame of the movie, none when the lag is more than a frame; nothing
// once a stream that does not loop has written its last frame.
std::optional<TMP3Block> NextMP3Block(const TSoundStreamCursor& at, std::uint16_t samplesPerFrame,
                                      std::size_t frameCount, bool loop);

}  // namespace movara::swf
