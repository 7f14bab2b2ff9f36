#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace movara::swf {

// What the markers of a JPEG stream say about it.
struct TJPEGInfo {
  bool Valid = false;        // starts with a start-of-image marker
  bool Progressive = false;  // its frame is progressive
  std::uint16_t Width = 0;
  std::uint16_t Height = 0;
};

// Walks the marker segments up to the first start-of-frame; never reads past
// the data, whatever the segment lengths claim.
TJPEGInfo ScanJPEG(std::span<const std::uint8_t> data);

// Decodes a JPEG stream and encodes it again as a baseline JPEG (quality
// 90). Throws FlashImageError when the stream cannot be decoded.
std::vector<std::uint8_t> ReencodeBaseline(std::span<const std::uint8_t> data, std::uint16_t& width,
                                           std::uint16_t& height);

}  // namespace movara::swf
