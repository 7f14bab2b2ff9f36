#include "media/MPEGAudio.h"

#include <array>
#include <cstring>

namespace movara::media {

namespace {

// Bit rates in kbit/s by bit-rate index: MPEG-1 layers I, II, III, then
// MPEG-2/2.5 layer I and layers II/III. Index 0 is free format, 15 invalid.
constexpr std::array<std::array<std::uint16_t, 15>, 5> kBitRates = {{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
}};

// Sample rates by sample-rate index for MPEG-1; MPEG-2 halves them, MPEG-2.5
// quarters them.
constexpr std::array<std::uint32_t, 3> kMPEG1Rates = {44100, 48000, 32000};

// Frames that must follow one another before a sync word is believed.
constexpr int kRunLength = 3;

bool SameStream(const TMPEGHeader& a, const TMPEGHeader& b) {
  return a.Version == b.Version && a.Layer == b.Layer && a.SampleRate == b.SampleRate && a.Mono == b.Mono;
}

// The header at offset when it is a whole frame inside [.., end).
std::optional<TMPEGHeader> FrameAt(TByteWindow& window, std::uint64_t offset, std::uint64_t end,
                                   bool* freeFormat = nullptr) {
  std::uint8_t bytes[4];
  if (offset > end || end - offset < 4 || !window.Peek(offset, bytes, 4)) return std::nullopt;
  TMPEGHeader h;
  const TMPEGHeaderKind kind = DecodeMPEGHeader(bytes, h);
  if (kind == TMPEGHeaderKind::FreeFormat && freeFormat != nullptr) *freeFormat = true;
  if (kind != TMPEGHeaderKind::Valid || h.FrameSize > end - offset) return std::nullopt;
  return h;
}

// Whether a run of frames of one stream starts at offset (or the frames
// there reach the end exactly).
bool RunStartsAt(TByteWindow& window, std::uint64_t offset, std::uint64_t end, const TMPEGHeader& first) {
  std::uint64_t at = offset + first.FrameSize;
  for (int i = 1; i < kRunLength; ++i) {
    if (at == end) return true;
    const auto next = FrameAt(window, at, end);
    if (!next || !SameStream(*next, first)) return false;
    at += next->FrameSize;
  }
  return true;
}

// Whether the frame is a Xing, Info or VBRI header frame: it carries the
// stream's frame count and table of contents, and decodes to silence.
bool IsInfoFrame(TByteWindow& window, std::uint64_t offset, const TMPEGHeader& h) {
  // The tag follows the side information, whose size depends on the
  // version and the channels.
  const std::uint32_t side = h.Version == 10 ? (h.Mono ? 17 : 32) : (h.Mono ? 9 : 17);
  std::uint8_t tag[4];
  const auto tagAt = [&](std::uint32_t pos) {
    return pos + 4 <= h.FrameSize && window.Peek(offset + pos, tag, 4);
  };
  if (h.Layer == 3 && tagAt(4 + side) && (std::memcmp(tag, "Xing", 4) == 0 || std::memcmp(tag, "Info", 4) == 0)) {
    return true;
  }
  return tagAt(36) && std::memcmp(tag, "VBRI", 4) == 0;
}

}  // namespace

TMPEGHeaderKind DecodeMPEGHeader(const std::uint8_t* p, TMPEGHeader& h) {
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return TMPEGHeaderKind::Invalid;
  const int versionBits = (p[1] >> 3) & 3;
  const int layerBits = (p[1] >> 1) & 3;
  const int rateIndex = p[2] >> 4;
  const int sampleIndex = (p[2] >> 2) & 3;
  if (versionBits == 1 || layerBits == 0 || rateIndex == 15 || sampleIndex == 3 || (p[3] & 3) == 2) {
    return TMPEGHeaderKind::Invalid;
  }
  h.Version = versionBits == 3 ? 10 : versionBits == 2 ? 20 : 25;
  h.Layer = static_cast<std::uint8_t>(4 - layerBits);
  h.Protected = (p[1] & 1) == 0;
  h.SampleRate = kMPEG1Rates[sampleIndex] >> (versionBits == 3 ? 0 : versionBits == 2 ? 1 : 2);
  h.Padding = ((p[2] >> 1) & 1) != 0;
  h.Mono = (p[3] >> 6) == 3;
  if (rateIndex == 0) return TMPEGHeaderKind::FreeFormat;
  const bool mpeg1 = h.Version == 10;
  const std::size_t table = mpeg1 ? h.Layer - 1u : h.Layer == 1 ? 3u : 4u;
  h.BitRate = kBitRates[table][rateIndex] * 1000u;
  if (h.Layer == 1) {
    h.SamplesPerFrame = 384;
    h.FrameSize = (12 * h.BitRate / h.SampleRate + (h.Padding ? 1 : 0)) * 4;
  } else {
    h.SamplesPerFrame = h.Layer == 3 && !mpeg1 ? 576 : 1152;
    // Samples per frame / 8 bits: 144 bytes for 1152 samples, 72 for 576.
    h.FrameSize = h.SamplesPerFrame / 8u * h.BitRate / h.SampleRate + (h.Padding ? 1 : 0);
  }
  return TMPEGHeaderKind::Valid;
}

void ScanMPEGAudio(TByteWindow& window, std::uint64_t start, std::uint64_t end, TAudioFileInfo& info) {
  bool freeFormat = false;
  std::optional<TMPEGHeader> first;
  std::uint64_t at = start;
  for (; at < end; ++at) {
    first = FrameAt(window, at, end, &freeFormat);
    if (first && RunStartsAt(window, at, end, *first)) break;
    first.reset();
  }
  if (!first) {
    throw AudioFileError(freeFormat ? "free-format MPEG audio (no bit rate in the frame headers) is not supported"
                                     : "no MPEG audio frames found");
  }
  const TMPEGHeader stream = *first;
  info.Frames.clear();
  if (IsInfoFrame(window, at, stream)) at += stream.FrameSize;
  for (auto h = FrameAt(window, at, end); h && SameStream(*h, stream); h = FrameAt(window, at, end)) {
    info.Frames.push_back({at, h->FrameSize});
    at += h->FrameSize;
  }
  if (info.Frames.empty()) throw AudioFileError("the MPEG audio holds no frames after its header frame");
  info.MPEGVersion = stream.Version;
  info.MPEGLayer = stream.Layer;
  info.SamplesPerMPEGFrame = stream.SamplesPerFrame;
  info.MPEGFrameSize = static_cast<std::uint16_t>(info.Frames.front().Size);
  info.SampleRate = stream.SampleRate;
  info.Channels = stream.Mono ? 1 : 2;
  info.BitsPerSample = 16;
  info.DataStart = info.Frames.front().Offset;
  info.DataSize = at - info.DataStart;
  info.SampleCount = std::uint64_t{stream.SamplesPerFrame} * info.Frames.size();
  info.Duration = static_cast<double>(info.SampleCount) / stream.SampleRate;
}

}  // namespace movara::media
