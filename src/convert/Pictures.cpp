// The movie's pictures of the optimised frames, full frames or layers.
#include "convert/Pictures.h"

#include <utility>

namespace movara::convert {

namespace {

using imaging::TBitmap;
using imaging::TGIFSubImage;
using swf::TFlashMovie;

// Layered mode: each frame its own bitmap at its own position, above the
// earlier ones, which the plan's removals take away.
void PlaceLayer(TFlashMovie& movie, const TGIFSubImage& frame, std::size_t k, const TMoviePlan& plan,
                const TMovieTime& time) {
  if (frame.IsEmpty()) {
    time.ShowFrame(movie, k);
    return;
  }
  const bool opaque = k == 0 && !plan.FirstFrameTransparent;
  const TBitmap picture = FrameRaster(frame, MakeFramePalette(frame), opaque);
  swf::TFlashShape& shape = AddPicture(movie, picture, frame.Width(), frame.Height());
  for (const std::size_t gone : plan.Layers.Removals[k]) movie.RemoveObject(static_cast<std::uint16_t>(2 * gone), &shape);
  movie.PlaceObject(shape, static_cast<std::uint16_t>(2 * k)).SetTranslate(frame.Left, frame.Top);
  time.ShowFrame(movie, k);
}

}  // namespace

swf::TFlashShape& AddPicture(TFlashMovie& movie, const TBitmap& picture, std::int32_t width, std::int32_t height) {
  swf::TFlashImage& image = movie.AddImage(picture);
  swf::TFlashShape& shape = movie.AddRectangle(0, 0, width, height);
  shape.SetImageFill(image, 1, 1.0, 1.0);
  return shape;
}

TFullFrames::TFullFrames(TFlashMovie& movie, int width, int height, imaging::TColor background, const TMovieTime& time)
    : movie_(movie),
      time_(time),
      canvas_(width, height, imaging::TPixelFormat::pf32bit),
      clear_(imaging::ColorToARGB(background, 0)) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) canvas_.SetPixelARGB(x, y, clear_);
}

void TFullFrames::Add(const TGIFSubImage& frame, std::size_t k) {
  if (frame.IsEmpty()) {
    time_.ShowFrame(movie_, k);
    return;
  }
  const std::uint8_t disposal = frame.Disposal();
  TBitmap before;
  if (disposal == 3) before = canvas_;
  DrawFrame(canvas_, frame, MakeFramePalette(frame));
  swf::TFlashShape& shape = AddPicture(movie_, canvas_);
  // The picture replaces the one placed last, whatever depth that was.
  if (lastDepth_ >= 0) movie_.RemoveObject(static_cast<std::uint16_t>(lastDepth_), &shape);
  const auto depth = static_cast<std::uint16_t>(2 * k);
  movie_.PlaceObject(shape, depth).SetTranslate(0, 0);
  lastDepth_ = depth;
  time_.ShowFrame(movie_, k);
  if (disposal == 2) ClearRect(canvas_, frame, clear_);
  if (disposal == 3) canvas_ = std::move(before);
}

TPictures::TPictures(TFlashMovie& movie, int width, int height, const TMoviePlan& plan, const TMovieTime& time)
    : movie_(movie), plan_(plan), time_(time) {
  if (!plan.Layered) full_.emplace(movie, width, height, plan.Background, time);
}

void TPictures::Add(const TGIFSubImage& frame, std::size_t k) {
  if (full_) {
    full_->Add(frame, k);
  } else {
    PlaceLayer(movie_, frame, k, plan_, time_);
  }
}

}  // namespace movara::convert
