#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "form/AnimationPreview.h"
#include "imaging/GIFImage.h"
#include "imaging/GIFPainter.h"

namespace movara::form {

// What the preview's rules need of the pane (BPanel1, a scroll box) and of
// the picture control inside it (Image1). Sizes and positions in pixels;
// mouse positions in the picture's own coordinates.
class IPreviewView {
 public:
  struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
  };
  virtual ~IPreviewView() = default;
  // The pane's client size.
  virtual TPoint PaneClientSize() const = 0;
  // Places and sizes the picture inside the pane; its scroll bars follow.
  virtual void SetPictureBounds(int left, int top, int width, int height) = 0;
  virtual bool PaneScrollBarsVisible() const = 0;
  virtual void SetHandCursor(bool hand) = 0;
  virtual TPoint PaneScrollPosition() const = 0;
  virtual void SetPaneScrollPosition(TPoint position) = 0;
  // Where the picture's painters draw, and emptying the picture.
  virtual imaging::IGIFDrawTarget& PictureTarget() = 0;
  virtual void ClearPicture() = 0;
};

// What the preview may hold in memory. A GIF whose screen has more than
// ScreenPixels is not shown, like one that fails to load. Frames beyond
// FramePixels decoded pixels (all frames together) or beyond Frames are not
// loaded; the preview animates the frames before them.
struct TPreviewLimits {
  std::uint64_t ScreenPixels = std::uint64_t{4096} * 4096;
  std::uint64_t FramePixels = std::uint64_t{1} << 26;
  std::size_t Frames = 10000;
};

// Loads a GIF for the preview within the limits; empty when the file is
// missing, fails to load or is too large.
std::unique_ptr<imaging::TGIFImage> LoadPreviewGif(const std::filesystem::path& file,
                                                   const TPreviewLimits& limits = {});

// The preview of the selected GIF: its placement in the pane, the animated
// picture and panning by dragging.
class TPreviewPane {
 public:
  explicit TPreviewPane(IPreviewView& view) : view_(view) {}
  ~TPreviewPane();
  TPreviewPane(const TPreviewPane&) = delete;
  TPreviewPane& operator=(const TPreviewPane&) = delete;

  // Shows a GIF (or an animated PNG or WebP) centred in the pane when it is
  // smaller, from the top-left corner with the hand cursor when it is
  // larger; a missing or unreadable file (or an empty name) leaves an empty
  // 10 x 10 picture and no message.
  void ShowPreView(const std::filesystem::path& fileName);
  void Image1MouseDown(int x, int y);
  void Image1MouseMove(int x, int y);
  void Image1MouseUp();

  // The GIF shown, if any, or the painter of the PNG or WebP shown.
  const imaging::TGIFImage* Image() const { return image_.get(); }
  const TAnimationPainter* Animation() const { return animation_.get(); }
  bool HandCursor() const { return hand_; }
  bool Dragging() const { return dragging_; }
  // The painters' clock and the memory limits (tests choose their own).
  imaging::IPainterClock* Clock = &imaging::SteadyClock();
  TPreviewLimits Limits;

 private:
  void SetHand(bool hand);
  void Place(int width, int height);
  // Plays a PNG or WebP; false when the file is none or cannot be shown.
  bool ShowAnimation(const std::filesystem::path& fileName);
  IPreviewView& view_;
  std::unique_ptr<imaging::TGIFImage> image_;
  std::unique_ptr<TAnimationPainter> animation_;
  bool hand_ = false;
  bool dragging_ = false;
  IPreviewView::TPoint dragStart_;
};

}  // namespace movara::form
