// Feeds arbitrary bytes to the JPEG marker scan and to the baseline
// re-encoder: neither may read outside the data.
#include <cstdint>
#include <span>

#include "swf/builder/FlashImage.h"
#include "swf/builder/JPEGData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace movara;
  const std::span<const std::uint8_t> bytes(data, size);
  const swf::TJPEGInfo info = swf::ScanJPEG(bytes);
  // Decoding is only tried on small pictures, to keep the search fast.
  if (info.Valid && std::uint32_t{info.Width} * info.Height <= 4096) {
    std::uint16_t w = 0, h = 0;
    try {
      swf::ReencodeBaseline(bytes, w, h);
    } catch (const swf::FlashImageError&) {
    }
  }
  return 0;
}
