#include "media/MP3Reader.h"

#include <cstring>

#include "media/MPEGAudio.h"

namespace movara::media {

namespace {

constexpr std::uint64_t kID3v2HeaderSize = 10;
constexpr std::uint64_t kID3v1Size = 128;
constexpr std::uint64_t kAPEFooterSize = 32;

// The offset after the ID3v2 tags at the start of the file.
std::uint64_t SkipID3v2(TByteWindow& window) {
  std::uint64_t at = 0;
  std::uint8_t h[kID3v2HeaderSize];
  while (window.Peek(at, h, sizeof h) && std::memcmp(h, "ID3", 3) == 0) {
    if (((h[6] | h[7] | h[8] | h[9]) & 0x80) != 0) throw AudioFileError("ID3v2 tag with a malformed size");
    const std::uint64_t body = (std::uint64_t{h[6]} << 21) | (h[7] << 14) | (h[8] << 7) | h[9];
    const bool footer = (h[5] & 0x10) != 0;
    const std::uint64_t total = kID3v2HeaderSize + body + (footer ? kID3v2HeaderSize : 0);
    if (total > window.Size() - at) throw AudioFileError("ID3v2 tag runs past the end of the file");
    at += total;
  }
  return at;
}

// The end of the audio: before an ID3v1 tag and an APE tag, in either order.
std::uint64_t TrimTrailingTags(TByteWindow& window, std::uint64_t start) {
  std::uint64_t end = window.Size();
  for (bool trimmed = true; trimmed;) {
    trimmed = false;
    std::uint8_t tag[kAPEFooterSize];
    if (end - start >= kID3v1Size && window.Peek(end - kID3v1Size, tag, 3) && std::memcmp(tag, "TAG", 3) == 0) {
      end -= kID3v1Size;
      trimmed = true;
    }
    if (end - start >= kAPEFooterSize && window.Peek(end - kAPEFooterSize, tag, kAPEFooterSize) &&
        std::memcmp(tag, "APETAGEX", 8) == 0) {
      // The size counts the items and the footer; a header may precede them.
      const std::uint64_t size = LE32(tag + 12) + ((tag[23] & 0x80) != 0 ? kAPEFooterSize : 0);
      if (size < kAPEFooterSize || size > end - start) throw AudioFileError("APE tag with a size past its file");
      end -= size;
      trimmed = true;
    }
  }
  return end;
}

}  // namespace

TAudioFileInfo ReadMP3(TByteWindow& window) {
  const std::uint64_t start = SkipID3v2(window);
  const std::uint64_t end = TrimTrailingTags(window, start);
  TAudioFileInfo info;
  ScanMPEGAudio(window, start, end, info);
  info.FormatTag = info.MPEGLayer == 3 ? kWaveFormatMPEGLayer3 : kWaveFormatMPEG;
  return info;
}

}  // namespace movara::media
