#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include "base/Stream.h"
#include "imaging/Raster.h"

namespace movara::animation {

// Raised for a PNG or WebP file that cannot be read, with the reason
// ("not an animated PNG: ...", "the WebP data ends early").
class AnimationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Canvases larger than this many pixels are refused before anything is
// allocated: each takes four bytes a pixel, and a reader holds two or three.
inline constexpr std::uint64_t kMaxCanvasPixels = std::uint64_t{1} << 26;

// A frame's delay in seconds, as a fraction (the denominator is never 0).
struct TFrameDelay {
  std::uint32_t Numerator = 0;
  std::uint32_t Denominator = 1000;
  // 10 ms or less, which browsers show for 100 ms.
  bool TooShort() const { return std::uint64_t{Numerator} * 1000 <= std::uint64_t{Denominator} * 10; }
  friend bool operator==(const TFrameDelay&, const TFrameDelay&) = default;
};

// The kinds of file the readers take, told by their first bytes.
enum class TAnimationKind { Unknown, Gif, Png, WebP };
TAnimationKind KindOf(const std::uint8_t* head, std::size_t size);
// The kind of a file by its first bytes; Unknown when it cannot be opened.
TAnimationKind KindOfFile(const std::filesystem::path& file);

// An animation read frame by frame. What the schedule needs (the canvas,
// the delays, the plays) is known once the reader is open; the frames are
// then decoded one at a time, each composed onto the canvas as browsers
// compose them.
class TAnimationReader {
 public:
  virtual ~TAnimationReader() = default;
  TAnimationReader(const TAnimationReader&) = delete;
  TAnimationReader& operator=(const TAnimationReader&) = delete;

  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  // How many times the animation plays: 0 for ever.
  std::uint32_t Plays() const { return plays_; }
  const std::vector<TFrameDelay>& Delays() const { return delays_; }
  std::size_t FrameCount() const { return delays_.size(); }

  // The next frame composed on the canvas: 32-bit B G R A, straight alpha,
  // valid until the next call; null after the last frame. Throws
  // AnimationError when a frame's data cannot be decoded.
  virtual const imaging::TBitmap* NextFrame() = 0;

 protected:
  TAnimationReader() = default;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::uint32_t plays_ = 1;
  std::vector<TFrameDelay> delays_;
};

// Opens an animated or still PNG or WebP, told by its content. Throws
// AnimationError when it is neither or its structure is bad.
std::unique_ptr<TAnimationReader> OpenAnimation(const std::filesystem::path& file);
std::unique_ptr<TAnimationReader> OpenAnimation(std::vector<std::uint8_t> bytes);

}  // namespace movara::animation
