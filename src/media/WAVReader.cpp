#include "media/WAVReader.h"

#include <cstring>
#include <optional>
#include <string>

#include "media/MPEGAudio.h"

namespace movara::media {

namespace {

constexpr std::uint64_t kRiffHeaderSize = 12;
constexpr std::uint64_t kChunkHeaderSize = 8;
constexpr std::uint32_t kFormatSize = 16;
constexpr std::uint32_t kExtensibleSize = 40;
// The sub-format GUID of an extensible format: its first two bytes are the
// format tag, the rest is this fixed tail.
constexpr std::uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                             0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

struct TChunk {
  std::uint64_t Offset = 0;  // of the chunk's contents
  std::uint32_t Size = 0;
};

struct TChunks {
  std::optional<TChunk> Format;
  std::optional<TChunk> Data;
};

// Walks the chunks of the RIFF body; the first of each kind counts.
TChunks WalkChunks(TByteWindow& window, std::uint64_t end) {
  TChunks chunks;
  std::uint64_t at = kRiffHeaderSize;
  std::uint8_t h[kChunkHeaderSize];
  // A last pad byte or a few stray bytes after the last chunk are no chunk.
  while (end - at >= kChunkHeaderSize && window.Peek(at, h, sizeof h)) {
    const TChunk chunk{at + kChunkHeaderSize, LE32(h + 4)};
    if (chunk.Size > end - chunk.Offset) {
      throw AudioFileError("WAV chunk \"" + std::string(reinterpret_cast<const char*>(h), 4) +
                           "\" runs past the end of the file");
    }
    std::optional<TChunk>* slot = std::memcmp(h, "fmt ", 4) == 0   ? &chunks.Format
                                  : std::memcmp(h, "data", 4) == 0 ? &chunks.Data
                                                                   : nullptr;
    if (slot != nullptr && !*slot) *slot = chunk;
    at = chunk.Offset + chunk.Size + (chunk.Size & 1);
    if (at > end) break;
  }
  return chunks;
}

void ReadFormat(TByteWindow& window, const TChunk& chunk, TAudioFileInfo& info) {
  if (chunk.Size < kFormatSize) throw AudioFileError("WAV format chunk too short");
  std::uint8_t f[kExtensibleSize] = {};
  window.Peek(chunk.Offset, f, chunk.Size < kExtensibleSize ? chunk.Size : kExtensibleSize);
  info.FormatTag = LE16(f);
  info.Channels = LE16(f + 2);
  info.SampleRate = LE32(f + 4);
  info.BitsPerSample = LE16(f + 14);
  if (info.FormatTag == kWaveFormatExtensible) {
    if (chunk.Size < kExtensibleSize || LE16(f + 16) < kExtensibleSize - 18 ||
        std::memcmp(f + 26, kSubFormatTail, sizeof kSubFormatTail) != 0) {
      throw AudioFileError("WAV extensible format without a known sub-format");
    }
    info.FormatTag = LE16(f + 24);
  }
  if (info.Channels == 0) throw AudioFileError("WAV format with no channels");
  if (info.SampleRate == 0) throw AudioFileError("WAV format with a sample rate of 0");
}

void ReadPCM(const TChunk& data, TAudioFileInfo& info) {
  if (info.BitsPerSample == 0 || info.BitsPerSample > 64) {
    throw AudioFileError("WAV PCM data with " + std::to_string(info.BitsPerSample) + " bits per sample");
  }
  const std::uint64_t frameBytes = std::uint64_t{info.Channels} * ((info.BitsPerSample + 7u) / 8u);
  info.SampleCount = data.Size / frameBytes;
  // A partial sample frame at the end is not played.
  info.DataSize = info.SampleCount * frameBytes;
}

}  // namespace

TAudioFileInfo ReadWAV(TByteWindow& window) {
  std::uint8_t h[kRiffHeaderSize];
  if (!window.Peek(0, h, sizeof h) || std::memcmp(h, "RIFF", 4) != 0 || std::memcmp(h + 8, "WAVE", 4) != 0) {
    throw AudioFileError("not a RIFF/WAVE file");
  }
  const std::uint64_t riffEnd = std::uint64_t{LE32(h + 4)} + kChunkHeaderSize;
  if (riffEnd > window.Size()) throw AudioFileError("WAV file shorter than its RIFF header says");
  const TChunks chunks = WalkChunks(window, riffEnd);
  if (!chunks.Format) throw AudioFileError("WAV file without a format chunk");
  if (!chunks.Data) throw AudioFileError("WAV file without a data chunk");
  TAudioFileInfo info;
  ReadFormat(window, *chunks.Format, info);
  info.DataStart = chunks.Data->Offset;
  info.DataSize = chunks.Data->Size;
  if (info.FormatTag == kWaveFormatMPEGLayer3 || info.FormatTag == kWaveFormatMPEGLayer3Alt) {
    const std::uint16_t tag = info.FormatTag;
    ScanMPEGAudio(window, chunks.Data->Offset, chunks.Data->Offset + chunks.Data->Size, info);
    info.FormatTag = tag;
    return info;
  }
  // Other encodings are reported as they are, without a sample count.
  if (info.FormatTag == kWaveFormatPCM) ReadPCM(*chunks.Data, info);
  info.Duration = static_cast<double>(info.SampleCount) / info.SampleRate;
  return info;
}

}  // namespace movara::media
