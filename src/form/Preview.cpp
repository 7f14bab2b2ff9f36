#include "form/Preview.h"

#include <system_error>

namespace movara::form {

std::unique_ptr<imaging::TGIFImage> LoadPreviewGif(const std::filesystem::path& file, const TPreviewLimits& limits) {
  std::error_code ec;
  if (file.empty() || !std::filesystem::is_regular_file(file, ec)) return nullptr;
  auto gif = std::make_unique<imaging::TGIFImage>();
  std::uint64_t decoded = 0;
  bool tooLarge = false;
  gif->ProgressHandler = [&](imaging::TGIFImage& sender, int stage, int, const std::string&) {
    if (stage != 1 || sender.Frames().empty()) return true;
    const auto& frame = *sender.Frames().back();
    decoded += std::uint64_t{frame.Width()} * frame.Height();
    tooLarge = std::uint64_t{sender.Width()} * sender.Height() > limits.ScreenPixels;
    return !tooLarge && decoded <= limits.FramePixels && sender.Frames().size() < limits.Frames;
  };
  try {
    gif->LoadFile(file);
  } catch (const std::exception&) {
    return nullptr;
  }
  gif->ProgressHandler = nullptr;
  if (tooLarge || std::uint64_t{gif->Width()} * gif->Height() > limits.ScreenPixels) return nullptr;
  // The last frame read may be the one that went past the limit.
  if (decoded > limits.FramePixels && gif->Frames().size() > 1) gif->Frames().pop_back();
  return gif;
}

TPreviewPane::~TPreviewPane() {
  // The painters go before the view's picture they draw on.
  animation_.reset();
  image_.reset();
}

void TPreviewPane::Place(int width, int height) {
  const IPreviewView::TPoint box = view_.PaneClientSize();
  view_.SetPictureBounds(width < box.X ? (box.X - width) / 2 : 0, height < box.Y ? (box.Y - height) / 2 : 0, width,
                         height);
  SetHand(view_.PaneScrollBarsVisible());
}

bool TPreviewPane::ShowAnimation(const std::filesystem::path& fileName) {
  const animation::TAnimationKind kind = animation::KindOfFile(fileName);
  if (kind != animation::TAnimationKind::Png && kind != animation::TAnimationKind::WebP) return false;
  std::unique_ptr<animation::TAnimationReader> reader;
  try {
    reader = animation::OpenAnimation(fileName);
  } catch (const std::exception&) {
    return false;
  }
  if (std::uint64_t{static_cast<std::uint32_t>(reader->Width())} * static_cast<std::uint32_t>(reader->Height()) >
      Limits.ScreenPixels) {
    return false;
  }
  Place(reader->Width(), reader->Height());
  animation_ = std::make_unique<TAnimationPainter>(fileName, std::move(reader), view_.PictureTarget(), *Clock);
  animation_->Start();
  return true;
}

void TPreviewPane::ShowPreView(const std::filesystem::path& fileName) {
  animation_.reset();
  image_.reset();
  view_.ClearPicture();
  if (ShowAnimation(fileName)) return;
  std::unique_ptr<imaging::TGIFImage> gif = LoadPreviewGif(fileName, Limits);
  if (gif == nullptr) {
    view_.SetPictureBounds(0, 0, 10, 10);
    SetHand(false);
    return;
  }
  Place(gif->Width(), gif->Height());
  image_ = std::move(gif);
  image_->Draw(view_.PictureTarget(), *Clock);
}

void TPreviewPane::SetHand(bool hand) {
  hand_ = hand;
  view_.SetHandCursor(hand);
}

void TPreviewPane::Image1MouseDown(int x, int y) {
  if (!hand_) return;
  dragging_ = true;
  dragStart_ = {x, y};
}

void TPreviewPane::Image1MouseMove(int x, int y) {
  if (!dragging_) return;
  const IPreviewView::TPoint at = view_.PaneScrollPosition();
  view_.SetPaneScrollPosition({at.X + dragStart_.X - x, at.Y + dragStart_.Y - y});
}

void TPreviewPane::Image1MouseUp() { dragging_ = false; }

}  // namespace movara::form
