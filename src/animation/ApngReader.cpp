// Animated PNG: the chunks around libpng. The first walk checks the file's
// structure and gathers what the schedule needs; the second decodes the
// frames one by one and composes them as browsers do.
#include "animation/ApngReader.h"

#include <limits>
#include <string>

#include "animation/ApngCompose.h"

namespace movara::animation {

namespace {

// The bytes a frame's control chunk takes: each frame needs one.
constexpr std::uint64_t kControlChunkBytes = kChunkOverhead + 26;
// Deflate makes at most 1032 bytes of one; image data that claims more than
// its compressed size could give is refused before a frame is allocated.
constexpr std::uint64_t kMaxDeflateRatio = 1032;
// PNG limits sizes and offsets to 2^31 - 1.
constexpr std::uint32_t kMaxPngValue = 0x7FFFFFFF;

std::string Number(std::uint64_t n) { return std::to_string(n); }

}  // namespace

// The first walk over the chunks.
class TApngReader::TScan {
 public:
  TScan(TApngReader& reader, TPngChunkReader& chunks) : r_(reader), chunks_(chunks) {}

  void Run() {
    TPngChunk c;
    if (!chunks_.Next(c) || !c.Is("IHDR")) Refuse("the file does not start with a header");
    Header(c);
    bool ended = false;
    while (!ended && chunks_.Next(c)) ended = Chunk(c);
    if (!ended) Refuse("the data ends early");
    if (!seenImageData_) Refuse("the file has no image data");
    if (!r_.animated_) {
      r_.frames_.push_back({0, 0, width_, height_, TApngDispose::None, TApngBlend::Source, true, defaultBytes_});
      r_.delays_.push_back({0, 100});
    } else if (r_.frames_.size() != declared_) {
      Refuse("acTL says " + Number(declared_) + " frames, the file has " + Number(r_.frames_.size()));
    }
    for (std::size_t k = 0; k < r_.frames_.size(); ++k) CheckData(k);
  }

 private:
  void Header(const TPngChunk& c) {
    if (c.Data.size() != 13) Refuse("the header has " + Number(c.Data.size()) + " bytes");
    std::copy(c.Data.begin(), c.Data.end(), r_.header_.Ihdr.begin());
    width_ = ReadBE32(c.Data.data());
    height_ = ReadBE32(c.Data.data() + 4);
    colorType_ = c.Data[9];
    bitsPerPixel_ = PngBitsPerPixel(colorType_, c.Data[8]);
    if (width_ == 0 || height_ == 0 || width_ > kMaxPngValue || height_ > kMaxPngValue) {
      Refuse("invalid image size " + Number(width_) + " x " + Number(height_));
    }
    if (bitsPerPixel_ == 0 || c.Data[10] != 0 || c.Data[11] != 0 || c.Data[12] > 1) Refuse("invalid header");
    if (std::uint64_t{width_} * height_ > kMaxCanvasPixels) {
      Refuse("a canvas of " + Number(width_) + " x " + Number(height_) + " pixels is larger than " +
             Number(kMaxCanvasPixels) + " pixels");
    }
    r_.width_ = static_cast<std::int32_t>(width_);
    r_.height_ = static_cast<std::int32_t>(height_);
  }

  // True at the end chunk.
  bool Chunk(const TPngChunk& c) {
    if (c.Is("IDAT")) {
      if (imageDataEnded_) Refuse("the image data is not contiguous");
      seenImageData_ = true;
      defaultBytes_ += c.Data.size();
      if (defaultIsFrame_) r_.frames_.back().DataBytes += c.Data.size();
      return false;
    }
    imageDataEnded_ = seenImageData_;
    if (c.Is("IEND")) return true;
    if (c.Is("PLTE")) return Before(c, r_.header_.Palette);
    if (c.Is("tRNS")) return Before(c, r_.header_.Transparency);
    if (c.Is("acTL")) return AnimationControl(c);
    if (c.Is("fcTL") && r_.animated_) return FrameControl(c);
    if (c.Is("fdAT") && r_.animated_) return FrameData(c);
    // Other ancillary chunks (colour spaces, text, times; frame chunks of a
    // file without acTL, which is a plain PNG) change nothing shown here; an
    // unknown critical chunk would.
    if (c.Type[0] >= 'A' && c.Type[0] <= 'Z') Refuse("unknown critical chunk " + c.Type);
    return false;
  }

  bool Before(const TPngChunk& c, std::vector<std::uint8_t>& into) {
    if (seenImageData_) Refuse(c.Type + " after the image data");
    into = c.Data;
    return false;
  }

  bool AnimationControl(const TPngChunk& c) {
    if (seenImageData_ || r_.animated_) Refuse("acTL after the image data or twice");
    if (c.Data.size() != 8) Refuse("acTL has " + Number(c.Data.size()) + " bytes");
    declared_ = ReadBE32(c.Data.data());
    if (declared_ == 0) Refuse("acTL says 0 frames");
    if (declared_ > chunks_.Size() / kControlChunkBytes) {
      Refuse("acTL says " + Number(declared_) + " frames, more than the file can hold");
    }
    r_.plays_ = ReadBE32(c.Data.data() + 4);
    r_.animated_ = true;
    return false;
  }

  void Sequence(const std::uint8_t* p, const char* type) {
    const std::uint32_t number = ReadBE32(p);
    if (number != sequence_) {
      Refuse(std::string(type) + " sequence number " + Number(number) + " where " + Number(sequence_) + " was due");
    }
    ++sequence_;
  }

  bool FrameControl(const TPngChunk& c) {
    if (c.Data.size() != 26) Refuse("fcTL has " + Number(c.Data.size()) + " bytes");
    const std::uint8_t* d = c.Data.data();
    Sequence(d, "fcTL");
    TApngFrame f;
    f.Width = ReadBE32(d + 4), f.Height = ReadBE32(d + 8), f.Left = ReadBE32(d + 12), f.Top = ReadBE32(d + 16);
    const std::uint16_t num = static_cast<std::uint16_t>(d[20] << 8 | d[21]);
    const std::uint16_t den = static_cast<std::uint16_t>(d[22] << 8 | d[23]);
    const std::size_t k = r_.frames_.size();
    if (k >= declared_) Refuse("more frames than acTL says (" + Number(declared_) + ")");
    if (f.Width == 0 || f.Height == 0 || f.Width > width_ || f.Height > height_ || f.Left > width_ - f.Width ||
        f.Top > height_ - f.Height) {
      Refuse("frame " + Number(k) + " lies outside the canvas");
    }
    // Only the default image, when it is the first frame, must cover the
    // canvas; a first frame after a hidden default image may be smaller and
    // is drawn on the cleared canvas.
    if (k == 0 && !seenImageData_ && (f.Left != 0 || f.Top != 0 || f.Width != width_ || f.Height != height_)) {
      Refuse("the first frame does not cover the canvas");
    }
    if (d[24] > 2 || d[25] > 1) Refuse("frame " + Number(k) + " has an unknown dispose or blend operation");
    f.Dispose = static_cast<TApngDispose>(d[24]);
    f.Blend = static_cast<TApngBlend>(d[25]);
    // The first frame's "previous" canvas is the cleared one.
    if (k == 0 && f.Dispose == TApngDispose::Previous) f.Dispose = TApngDispose::Background;
    f.FromImageData = k == 0 && !seenImageData_;
    defaultIsFrame_ = f.FromImageData;
    r_.frames_.push_back(f);
    r_.delays_.push_back({num, den == 0 ? 100u : den});
    return false;
  }

  bool FrameData(const TPngChunk& c) {
    if (c.Data.size() < 4) Refuse("fdAT has " + Number(c.Data.size()) + " bytes");
    Sequence(c.Data.data(), "fdAT");
    if (!seenImageData_) Refuse("frame data before the image data");
    if (r_.frames_.empty() || r_.frames_.back().FromImageData) Refuse("frame data without a frame control");
    r_.frames_.back().DataBytes += c.Data.size() - 4;
    return false;
  }

  void CheckData(std::size_t k) const {
    const TApngFrame& f = r_.frames_[k];
    if (f.DataBytes == 0) Refuse("frame " + Number(k) + " has no image data");
    // Filter bytes and rows of the largest (non-interlaced) layout.
    const std::uint64_t raw = std::uint64_t{f.Height} * (1 + (std::uint64_t{f.Width} * bitsPerPixel_ + 7) / 8);
    if (raw / kMaxDeflateRatio > f.DataBytes + 64) {
      Refuse("frame " + Number(k) + " claims more pixels than its data can hold");
    }
  }

  TApngReader& r_;
  TPngChunkReader& chunks_;
  std::uint32_t width_ = 0, height_ = 0;
  std::uint8_t colorType_ = 0;
  unsigned bitsPerPixel_ = 0;
  std::uint64_t declared_ = 0;
  std::uint32_t sequence_ = 0;
  std::uint64_t defaultBytes_ = 0;
  bool seenImageData_ = false;
  bool imageDataEnded_ = false;
  bool defaultIsFrame_ = false;
};

TApngReader::TApngReader(std::unique_ptr<TStream> stream) : stream_(std::move(stream)) {
  {
    TPngChunkReader chunks(*stream_);
    TScan(*this, chunks).Run();
  }
  if (header_.Ihdr[9] == 3 && header_.Palette.empty()) Refuse("a palette image without a palette");
}

std::vector<std::uint8_t> TApngReader::FrameData(std::size_t k) {
  const TApngFrame& frame = frames_[k];
  std::vector<std::uint8_t> data;
  data.reserve(frame.DataBytes);
  TPngChunk c;
  while (walker_->Next(c)) {
    if (c.Is("IEND")) break;
    if (animated_ && c.Is("fcTL")) {
      // The next frame's control ends this frame's data.
      if (++controlsSeen_ > k + 1) break;
      continue;
    }
    const bool mine = !animated_ || controlsSeen_ == k + 1;
    if (mine && frame.FromImageData && c.Is("IDAT")) {
      data.insert(data.end(), c.Data.begin(), c.Data.end());
    } else if (mine && !frame.FromImageData && animated_ && c.Is("fdAT") && c.Data.size() >= 4) {
      data.insert(data.end(), c.Data.begin() + 4, c.Data.end());
    }
    if (data.size() > frame.DataBytes) break;
  }
  if (data.size() != frame.DataBytes) throw AnimationError("the PNG changed while it was read");
  return data;
}

const imaging::TBitmap* TApngReader::NextFrame() {
  if (next_ >= frames_.size()) return nullptr;
  if (next_ == 0) {
    stream_->Seek(0);
    walker_.emplace(*stream_);
    controlsSeen_ = 0;
    canvas_ = imaging::TBitmap(width_, height_, imaging::TPixelFormat::pf32bit);
  } else {
    const TApngFrame& before = frames_[next_ - 1];
    const auto l = static_cast<std::int32_t>(before.Left), t = static_cast<std::int32_t>(before.Top);
    if (before.Dispose == TApngDispose::Background) {
      ClearRect(canvas_, l, t, static_cast<std::int32_t>(before.Width), static_cast<std::int32_t>(before.Height));
    } else if (before.Dispose == TApngDispose::Previous) {
      BlendSource(canvas_, saved_, l, t);
    }
  }
  const TApngFrame& f = frames_[next_];
  const auto l = static_cast<std::int32_t>(f.Left), t = static_cast<std::int32_t>(f.Top);
  imaging::TBitmap pixels;
  try {
    pixels = DecodePngFrame(header_, f.Width, f.Height, FrameData(next_));
  } catch (const AnimationError& e) {
    throw AnimationError(std::string(e.what()) + " (frame " + std::to_string(next_) + ")");
  }
  saved_ = f.Dispose == TApngDispose::Previous
               ? CopyRect(canvas_, l, t, static_cast<std::int32_t>(f.Width), static_cast<std::int32_t>(f.Height))
               : imaging::TBitmap();
  if (f.Blend == TApngBlend::Source) {
    BlendSource(canvas_, pixels, l, t);
  } else {
    BlendOver(canvas_, pixels, l, t);
  }
  ++next_;
  return &canvas_;
}

}  // namespace movara::animation
