#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/Stream.h"
#include "imaging/GIFColorMap.h"
#include "imaging/GIFSubImage.h"

namespace movara::imaging {

class TGIFImage;
class IGIFDrawTarget;
class IPainterClock;

// Warnings carry severity 1; the handler is optional and warnings are
// dropped without one.
using TGIFWarningHandler = std::function<void(TGIFImage& sender, int severity, const std::string& message)>;
// Progress: stage 0 start, 1 running, 2 end. Returning false asks the work
// to stop where it can: rendering ends without a bitmap, loading ends after
// the frame just read and keeps the frames read so far.
using TGIFProgressHandler =
    std::function<bool(TGIFImage& sender, int stage, int percent, const std::string& message)>;

// The logical screen descriptor and the global colour table.
class TGIFHeader final : public TGIFItem {
 public:
  explicit TGIFHeader(TGIFImage* image) : ColorMap(image) {}
  std::uint16_t Width = 0;
  std::uint16_t Height = 0;
  std::uint8_t Packed = 0;
  std::uint8_t BackgroundColorIndex = 0;
  std::uint8_t AspectRatio = 0;
  TGIFColorMap ColorMap;

  void Clear();
  void LoadFromStream(TGIFStreamReader& reader) override;
};

// Checks the byte after the frames: anything but 0x3B warns.
class TGIFTrailer final : public TGIFItem {
 public:
  explicit TGIFTrailer(TGIFImage* image) : image_(image) {}
  void LoadFromStream(TGIFStreamReader& reader) override;

 private:
  TGIFImage* image_;
};

// Limits that keep hostile files from exhausting memory. A frame's pixel
// buffer is only allocated for what its compressed data could fill (at most
// kMaxPixelsPerCode pixels per code the data holds) plus a shared allowance
// of kMaxUnfilledPixels per image for pixels no data reaches (they take the
// fill value); a file beyond that fails with "没分配 GIF DIB内存".
inline constexpr std::uint64_t kMaxPixelsPerCode = 8193;
inline constexpr std::uint64_t kMaxUnfilledPixels = std::uint64_t{1} << 26;

// Option bits of TGIFImage::Optimize.
enum TOptimizeOption : std::uint8_t {
  ooCrop = 0x01,          // trim transparent borders, drop frames that become empty
  ooMerge = 0x02,         // pixels repeating the previous frame become transparent
  ooCleanup = 0x04,       // remove ineffective transparency, disposal, extensions, empty frames
  ooColorMap = 0x08,      // sort colour tables by use and cut unused colours
  ooReduceColors = 0x10,  // no step of its own
};

// The converter's sets of steps: for every movie, and with trimming for a
// movie of layers.
inline constexpr std::uint8_t ooFrameSteps = ooMerge | ooCleanup | ooColorMap | ooReduceColors;
inline constexpr std::uint8_t ooLayerSteps = ooFrameSteps | ooCrop;

// Whether the optimiser's clean-up strips an extension: comments, texts and
// application extensions, but the loop of an animation's first frame when
// `keepLoop`.
bool StrippedByCleanup(const TGIFExtension& extension, bool keepLoop);

// Whether a frame's disposal (2 or 3) has no visible effect: the next frame
// has pixels, is opaque, covers the whole rectangle and does not itself
// restore what was there before it.
bool DisposalHidden(const TGIFRect& frame, const TGIFRect& next, bool nextEmpty, bool nextTransparent,
                    std::uint8_t nextDisposal);


// Colour reduction methods of TGIFImage::Optimize: none reduces colours;
// rmInvalid is refused when colours would be reduced without a clean-up.
enum TColorReduction : std::uint8_t { rmNone = 0, rmInvalid = 9 };

// Drawing options of TGIFImage::Draw.
enum TGIFDrawOption : std::uint16_t {
  doThreaded = 0x0001,        // the painter runs on its own thread, else inside Draw
  doTransparent = 0x0002,     // transparent pixels leave what lies beneath
  doAnimate = 0x0004,         // several frames are animated, else frame 0 is drawn
  doLoop = 0x0008,            // more than one pass
  doLoopForever = 0x0010,     // endless, whatever the loop extension says
  doValidateTarget = 0x0020,  // stop once the target is no longer valid
  doDirect = 0x0040,          // (no effect here: pictures always go to the target whole)
  doClearFirst = 0x0080,      // clear frame 0's rectangle first; keep composition buffers
  doTile = 0x0100,            // (no effect here: the target places the picture)
  doDither = 0x0200,          // (no effect here: frames render by the plain path)
  doDitherOnPalette = 0x0400,
};
inline constexpr std::uint16_t kDefaultDrawOptions =
    doThreaded | doTransparent | doAnimate | doLoop | doDither | doDitherOnPalette;

// A GIF image: the header with the global colour table and the frames.
class TGIFImage {
 public:
  TGIFImage();
  ~TGIFImage();
  TGIFImage(const TGIFImage&) = delete;
  TGIFImage& operator=(const TGIFImage&) = delete;

  void LoadFile(const std::filesystem::path& path);
  // Replaces the whole content. On an error the frames read so far stay,
  // the stream goes back to where loading began, and the error propagates.
  void LoadFromStream(TStream& stream);
  // A deep copy of another image.
  void AssignFrom(const TGIFImage& source);
  void Clear();

  std::uint16_t Width() const { return header_.Width; }
  std::uint16_t Height() const { return header_.Height; }
  TGIFHeader& Header() { return header_; }
  const TGIFHeader& Header() const { return header_; }
  TGIFColorMap& GlobalColorMap() { return header_.ColorMap; }
  const TGIFColorMap& GlobalColorMap() const { return header_.ColorMap; }
  TColor BackgroundColor() const { return header_.ColorMap.ColorAt(header_.BackgroundColorIndex); }

  std::vector<std::unique_ptr<TGIFSubImage>>& Frames() { return frames_; }
  const std::vector<std::unique_ptr<TGIFSubImage>>& Frames() const { return frames_; }

  // Merges the global and every local colour table into one global table
  // of at most 256 colours (255 and a black transparent entry when a frame
  // uses transparency) and renumbers the frames' pixels.
  void OptimizeColorMaps();
  // Frame optimisations; options are the TOptimizeOption bits. The colour
  // reduction method only matters for the "无效减少方法" check.
  void Optimize(std::uint8_t options, std::uint8_t reductionMethod);

  // The image-wide palette: from the global table, else frame 0's.
  TPalette Palette();
  void DropPalette() { palette_.reset(); }

  TGIFWarningHandler WarningHandler;
  TGIFProgressHandler ProgressHandler;
  // Called with each frame as soon as it is read, before the next one is: a
  // reader that works frame by frame may give back a frame's pixels there,
  // so that the image holds no more than the frames' descriptions.
  std::function<void(TGIFSubImage& frame)> FrameHandler;
  void Warning(const std::string& message);
  bool Progress(int stage, int percent, const std::string& message);

  // Drawing: a single frame, or without doAnimate frame 0, goes to the
  // target at once; several frames start a painter (GIFPainter.h) for the
  // target unless one already paints there. Nothing happens while a painter
  // runs inside Draw, or when there are no frames.
  void Draw(IGIFDrawTarget& target, IPainterClock& clock);
  void Draw(IGIFDrawTarget& target);
  std::uint16_t DrawOptions = kDefaultDrawOptions;
  // Percent of the normal speed; 0 waits for ever, below 0 does not wait.
  int AnimationSpeed = 100;
  // What disposal 2 restores to when drawing without transparency.
  std::optional<TColor> DrawBackgroundColor;

  // Painters read the frames from their own threads; clearing, loading,
  // optimising and destroying the image stop them first and wait for them.
  // A painter registers the target it paints on and how to stop it; the
  // registration may own the painter (the stop function's captures).
  int RegisterPainter(const IGIFDrawTarget* target, std::function<void()> stop);
  void UnregisterPainter(int id);
  bool HasPainter(const IGIFDrawTarget* target);
  std::size_t PainterCount();
  void StopPainters();

  // Used while loading: charges pixels no data can fill against the
  // image's allowance.
  void ChargeUnfilledPixels(std::uint64_t pixels);

 private:
  // False when the progress handler stopped the load early.
  bool LoadFrames(TGIFStreamReader& reader);

  TGIFHeader header_;
  std::vector<std::unique_ptr<TGIFSubImage>> frames_;
  std::optional<TPalette> palette_;
  bool buildingPalette_ = false;
  std::uint64_t unfilledPixels_ = 0;

  struct TPainterEntry {
    int Id;
    const IGIFDrawTarget* Target;
    std::function<void()> Stop;
  };
  std::mutex paintersMutex_;
  std::vector<TPainterEntry> painters_;
  int nextPainterId_ = 1;
  std::atomic<bool> drawing_{false};  // a painter runs inside Draw
};

}  // namespace movara::imaging
