#include "animation/WebPReader.h"

#include <webp/demux.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace movara::animation {

namespace {

struct TDemuxDeleter {
  void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};
using TDemux = std::unique_ptr<WebPDemuxer, TDemuxDeleter>;

// Parses the container, telling data that ends early from data that is bad.
TDemux Demux(const std::vector<std::uint8_t>& bytes) {
  const WebPData data{bytes.data(), bytes.size()};
  WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
  TDemux demux(WebPDemuxPartial(&data, &state));
  if (state == WEBP_DEMUX_DONE && demux != nullptr) return demux;
  if (state == WEBP_DEMUX_PARSING_HEADER || state == WEBP_DEMUX_PARSED_HEADER) {
    throw AnimationError("the WebP data ends early");
  }
  throw AnimationError("not a WebP file: invalid data");
}

}  // namespace

TWebPReader::TWebPReader(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
  {
    const TDemux demux = Demux(bytes_);
    const std::uint32_t w = WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH);
    const std::uint32_t h = WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT);
    if (w == 0 || h == 0) throw AnimationError("not a WebP file: empty canvas");
    if (std::uint64_t{w} * h > kMaxCanvasPixels) {
      throw AnimationError("the WebP canvas of " + std::to_string(w) + " x " + std::to_string(h) +
                           " pixels is larger than " + std::to_string(kMaxCanvasPixels) + " pixels");
    }
    width_ = static_cast<std::int32_t>(w);
    height_ = static_cast<std::int32_t>(h);
    const bool animated = (WebPDemuxGetI(demux.get(), WEBP_FF_FORMAT_FLAGS) & ANIMATION_FLAG) != 0;
    plays_ = animated ? WebPDemuxGetI(demux.get(), WEBP_FF_LOOP_COUNT) : 1;
    const std::uint32_t frames = WebPDemuxGetI(demux.get(), WEBP_FF_FRAME_COUNT);
    if (frames == 0) throw AnimationError("the WebP file has no frames");
    WebPIterator it;
    for (std::uint32_t k = 1; k <= frames; ++k) {
      if (!WebPDemuxGetFrame(demux.get(), static_cast<int>(k), &it)) throw AnimationError("the WebP data ends early");
      delays_.push_back({static_cast<std::uint32_t>(std::max(it.duration, 0)), 1000});
      WebPDemuxReleaseIterator(&it);
    }
  }
  WebPAnimDecoderOptions options;
  if (!WebPAnimDecoderOptionsInit(&options)) throw AnimationError("the WebP decoder cannot start");
  options.color_mode = MODE_BGRA;
  options.use_threads = 0;
  const WebPData data{bytes_.data(), bytes_.size()};
  decoder_ = WebPAnimDecoderNew(&data, &options);
  if (decoder_ == nullptr) throw AnimationError("not a WebP file: the decoder refuses it");
}

TWebPReader::~TWebPReader() { WebPAnimDecoderDelete(decoder_); }

const imaging::TBitmap* TWebPReader::NextFrame() {
  if (next_ >= delays_.size()) return nullptr;
  std::uint8_t* pixels = nullptr;
  int timestamp = 0;
  if (!WebPAnimDecoderGetNext(decoder_, &pixels, &timestamp)) {
    throw AnimationError("the WebP frame " + std::to_string(next_) + " cannot be decoded");
  }
  if (canvas_.Width() == 0) canvas_ = imaging::TBitmap(width_, height_, imaging::TPixelFormat::pf32bit);
  std::memcpy(canvas_.ScanLine(0), pixels, canvas_.Stride() * static_cast<std::size_t>(height_));
  ++next_;
  return &canvas_;
}

}  // namespace movara::animation
