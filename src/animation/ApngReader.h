#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "animation/AnimationReader.h"
#include "animation/PngChunks.h"
#include "animation/PngDecode.h"
#include "base/Stream.h"
#include "imaging/Raster.h"

namespace movara::animation {

// What happens to a frame's rectangle before the next frame, and how the
// frame is laid over the canvas.
enum class TApngDispose : std::uint8_t { None = 0, Background = 1, Previous = 2 };
enum class TApngBlend : std::uint8_t { Source = 0, Over = 1 };

// A frame's control chunk, checked, with the bytes of its image data.
struct TApngFrame {
  std::uint32_t Left = 0, Top = 0, Width = 0, Height = 0;
  TApngDispose Dispose = TApngDispose::None;
  TApngBlend Blend = TApngBlend::Source;
  // The image data chunks (IDAT) hold this frame's data: the default image
  // is the animation's first frame.
  bool FromImageData = false;
  std::uint64_t DataBytes = 0;
};

// An animated PNG (or a plain PNG, one frame). Opening walks every chunk
// once without decoding: the structure, the sequence numbers, the frames'
// rectangles and the counts are checked then. Frames are decoded from a
// second walk, one at a time, and composed on the canvas: the previous
// frame's disposal, then this frame blended over its rectangle. Holds the
// canvas, one frame and, for a frame disposed to the previous canvas, its
// rectangle as it was.
class TApngReader final : public TAnimationReader {
 public:
  explicit TApngReader(std::unique_ptr<TStream> stream);
  const imaging::TBitmap* NextFrame() override;

  bool Animated() const { return animated_; }
  const std::vector<TApngFrame>& Frames() const { return frames_; }

 private:
  class TScan;
  std::vector<std::uint8_t> FrameData(std::size_t k);

  std::unique_ptr<TStream> stream_;
  TPngHeader header_;
  bool animated_ = false;
  std::vector<TApngFrame> frames_;
  // The second walk: its chunk reader, the control chunks seen so far and
  // the next frame to compose.
  std::optional<TPngChunkReader> walker_;
  std::size_t controlsSeen_ = 0;
  std::size_t next_ = 0;
  imaging::TBitmap canvas_;
  imaging::TBitmap saved_;
};

}  // namespace movara::animation
