#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "animation/AnimationReader.h"
#include "imaging/Raster.h"

struct WebPDemuxer;
struct WebPAnimDecoder;

namespace movara::animation {

// An animated (or still) WebP, composed by libwebp's animation decoder, which
// blends and disposes frames as the format says. The decoder works on the
// whole file in memory and keeps two canvases of its own (the one shown and
// the one before); the reader adds the canvas it hands over.
class TWebPReader final : public TAnimationReader {
 public:
  explicit TWebPReader(std::vector<std::uint8_t> bytes);
  ~TWebPReader() override;
  const imaging::TBitmap* NextFrame() override;

 private:
  std::vector<std::uint8_t> bytes_;
  WebPAnimDecoder* decoder_ = nullptr;
  imaging::TBitmap canvas_;
  std::size_t next_ = 0;
};

}  // namespace movara::animation
