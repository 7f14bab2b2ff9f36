// The conversion of one GIF into a movie.
#include "app/Conversion.h"

#include <algorithm>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>

#include "app/FrameComposer.h"
#include "base/PartialFile.h"
#include "base/Stream.h"
#include "imaging/GIFException.h"
#include "imaging/GIFImage.h"
#include "swf/builder/FlashMovie.h"

namespace movara::app {

namespace {

using imaging::TBitmap;
using imaging::TGIFImage;
using imaging::TGIFSubImage;
using swf::TFlashMovie;

constexpr double kFrameRate = 24.0;
// More frames over one pixel than this make layers too deep to show.
constexpr int kMaxLayers = 11;
// Full-frame pictures of a larger screen would not fit in memory; such a GIF
// is placed as layers, each of its frame's own size.
constexpr std::int64_t kMaxCanvasPixels = std::int64_t{1} << 26;

// Lifts a black transparent colour to (0, 0, 1), so that opaque black
// pixels are not taken for transparent ones (transparency is told by colour).
void LiftBlackTransparentColours(TGIFImage& gif) {
  for (auto& f : gif.Frames()) {
    const auto* gce = f->GraphicControlExtension();
    if (gce == nullptr || !gce->Transparent()) continue;
    // The frame's own effective table, which may be the global one.
    imaging::TGIFColorMap& map = f->ColorMap().Count() > 0 ? f->ColorMap() : gif.GlobalColorMap();
    if (gce->TransparentIndex < map.Count() && imaging::RGBOnly(map.Colors()[gce->TransparentIndex]) == 0) {
      map.SetColorAt(gce->TransparentIndex, imaging::MakeColor(0, 0, 1));
    }
  }
}

// Reports frames done to an optional listener.
class TFrameProgress {
 public:
  TFrameProgress(IConvertProgress* sink, std::size_t total) : sink_(sink), total_(total) {}
  void Done(std::size_t frames) const {
    if (sink_ != nullptr) sink_->FramesDone(frames, total_);
  }

 private:
  IConvertProgress* sink_;
  std::size_t total_;
};

// A frame's indices are not needed once its picture is made; giving them
// back keeps the decoded GIF from adding to the movie in memory. The frame
// keeps its rectangle and control data.
void ReleasePixels(TGIFSubImage& frame) { std::vector<std::uint8_t>().swap(frame.PixelData()); }

// Adds a frame picture: its image and a rectangle of the given size filled
// with it.
swf::TFlashShape& AddPicture(TFlashMovie& movie, const TBitmap& picture, std::int32_t width, std::int32_t height) {
  swf::TFlashImage& image = movie.AddImage(picture);
  swf::TFlashShape& shape = movie.AddRectangle(0, 0, width, height);
  shape.SetImageFill(image, 1, 1.0, 1.0);
  return shape;
}

// Full-frame mode: every movie frame a complete picture of the screen,
// composed as a GIF viewer composes it.
void ComposeFullFrames(TFlashMovie& movie, TGIFImage& gif, imaging::TColor background, const TFrameProgress& progress) {
  const int w = gif.Width(), h = gif.Height();
  const imaging::TARGB clear = imaging::ColorToARGB(background, 0);
  TBitmap canvas(w, h, imaging::TPixelFormat::pf32bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) canvas.SetPixelARGB(x, y, clear);
  int lastDepth = -1;
  const auto& frames = gif.Frames();
  for (std::size_t k = 0; k < frames.size(); ++k) {
    progress.Done(k);
    const TGIFSubImage& frame = *frames[k];
    if (frame.IsEmpty()) continue;
    const std::uint8_t disposal = frame.Disposal();
    TBitmap before;
    if (disposal == 3) before = canvas;
    DrawFrame(canvas, frame, MakeFramePalette(frame));
    swf::TFlashShape& shape = AddPicture(movie, canvas, w, h);
    // The picture replaces the one placed last, whatever depth that was.
    if (lastDepth >= 0) movie.RemoveObject(static_cast<std::uint16_t>(lastDepth), &shape);
    const auto depth = static_cast<std::uint16_t>(2 * k);
    movie.PlaceObject(shape, depth).SetTranslate(0, 0);
    lastDepth = depth;
    movie.ShowFrame(FrameLength(frame));
    if (disposal == 2) ClearRect(canvas, frame, clear);
    if (disposal == 3) canvas = std::move(before);
    ReleasePixels(*frames[k]);
  }
}

// Layered mode: each frame its own bitmap at its own position, above the
// earlier ones, which the plan's removals take away.
void PlaceLayers(TFlashMovie& movie, TGIFImage& gif, const TLayerPlan& plan, bool firstFrameTransparent,
                 const TFrameProgress& progress) {
  const auto& frames = gif.Frames();
  for (std::size_t k = 0; k < frames.size(); ++k) {
    progress.Done(k);
    TGIFSubImage& frame = *frames[k];
    if (frame.IsEmpty()) continue;
    const bool opaque = k == 0 && !firstFrameTransparent;
    const TBitmap picture = FrameRaster(frame, MakeFramePalette(frame), opaque);
    swf::TFlashShape& shape = AddPicture(movie, picture, frame.Width(), frame.Height());
    for (const std::size_t gone : plan.Removals[k]) movie.RemoveObject(static_cast<std::uint16_t>(2 * gone), &shape);
    movie.PlaceObject(shape, static_cast<std::uint16_t>(2 * k)).SetTranslate(frame.Left, frame.Top);
    movie.ShowFrame(FrameLength(frame));
    ReleasePixels(frame);
  }
}


// Loads the GIF; false with the reader's message when it cannot be read.
bool LoadGif(const std::filesystem::path& file, TGIFImage& gif, std::string& reason) {
  try {
    gif.LoadFile(file);
    return true;
  } catch (const imaging::GIFException& e) {
    reason = e.what();
  } catch (const StreamError& e) {
    reason = e.what();
  }
  return false;
}

bool FirstFrameTransparent(const TGIFImage& gif) {
  const auto& frames = gif.Frames();
  return !frames.empty() && frames[0]->GraphicControlExtension() != nullptr &&
         frames[0]->GraphicControlExtension()->Transparent();
}

// Layers unless too many frames overlap or a disposal-2 frame would clear
// an opaque first frame; the last frame of disposal 1 or such a disposal 2
// decides.
bool ChooseLayers(const TGIFImage& gif, bool firstFrameTransparent) {
  bool layered = MaximumOverlap(gif, kMaxLayers) <= kMaxLayers;
  for (const auto& f : gif.Frames()) {
    const std::uint8_t d = f->Disposal();
    if (d == 2 && !firstFrameTransparent) layered = false;
    if (d == 1) layered = true;
  }
  return layered;
}

// The optimiser's steps for every mode: repeated pixels made transparent,
// clean-up, colour tables sorted and reduced; layers also trim transparent
// borders when the trimming keeps every frame.
constexpr std::uint8_t kFrameSteps = imaging::ooMerge | imaging::ooCleanup | imaging::ooColorMap | imaging::ooReduceColors;
constexpr std::uint8_t kLayerSteps = kFrameSteps | imaging::ooCrop;

void OptimizeFrames(std::unique_ptr<TGIFImage>& gif, bool layered) {
  const std::size_t frameCount = gif->Frames().size();
  if (frameCount <= 1) return;
  if (layered) {
    auto trial = std::make_unique<TGIFImage>();
    trial->AssignFrom(*gif);
    trial->Optimize(kLayerSteps, imaging::rmNone);
    if (trial->Frames().size() == frameCount) {
      gif = std::move(trial);
      return;
    }
  }
  gif->Optimize(kFrameSteps, imaging::rmNone);
}

// A transparent button over the whole screen that opens the URL in a new
// window when released, above every frame picture.
void AddLinkButton(TFlashMovie& movie, const std::string& url, std::int32_t width, std::int32_t height,
                   std::uint16_t depth) {
  swf::TFlashButton& button = movie.AddButton(false, true);
  swf::TFlashShape& rect = movie.AddRectangle(0, 0, width - 1, height - 1);
  rect.SetSolidColor(0, 0, 0, 0);
  button.AddRecord(rect, swf::bsUp | swf::bsHitTest, 1);
  button.AddRecord(rect, swf::bsOver | swf::bsHitTest, 1);
  button.AddRecord(rect, swf::bsDown | swf::bsHitTest, 1);
  button.OnRelease().GetUrl(url, "_blank");
  movie.PlaceObject(button, depth);
}

// How a loaded GIF becomes a movie, decided before the movie is made.
struct TMoviePlan {
  // Frames as loaded: the link button lies above them all, at twice this.
  std::size_t LoadedFrames = 0;
  // A GIF without a global table has no background colour: black serves,
  // as it only fills transparent parts of the canvas.
  imaging::TColor Background = 0;
  bool FirstFrameTransparent = false;
  bool Layered = false;
  TLayerPlan Layers;
};

// Merges the colour tables, chooses the mode and runs its optimisations.
TMoviePlan PrepareGif(std::unique_ptr<TGIFImage>& gif) {
  TMoviePlan plan;
  plan.LoadedFrames = gif->Frames().size();
  if (plan.LoadedFrames > 1 && ColorsFitOneTable(*gif)) gif->OptimizeColorMaps();
  if (gif->GlobalColorMap().Count() > 0) plan.Background = gif->BackgroundColor();
  plan.FirstFrameTransparent = FirstFrameTransparent(*gif);
  const bool layered = ChooseLayers(*gif, plan.FirstFrameTransparent);
  OptimizeFrames(gif, layered);
  LiftBlackTransparentColours(*gif);
  plan.Layers = PlanLayers(*gif);
  const bool hugeScreen = std::int64_t{gif->Width()} * gif->Height() > kMaxCanvasPixels;
  plan.Layered = (layered && plan.Layers.Exact) || hugeScreen;
  return plan;
}

// Character ids, depths and the frame count of a movie are 16-bit: why the
// GIF does not fit, or empty when it does. Each picture takes two ids (its
// bitmap and its rectangle), the link button two more.
std::string LimitProblem(const TGIFImage& gif, const TMoviePlan& plan, bool link) {
  constexpr std::uint64_t kMax = 0xFFFF;
  const std::uint64_t frames = gif.Frames().size();
  std::uint64_t pictures = 0, movieFrames = 0;
  for (const auto& f : gif.Frames()) {
    if (f->IsEmpty()) continue;
    ++pictures;
    movieFrames += std::max<std::uint16_t>(FrameLength(*f), 1);
  }
  const std::uint64_t characters = 2 * pictures + (link ? 2 : 0);
  std::uint64_t deepest = frames > 0 ? 2 * (frames - 1) : 0;
  if (link) deepest = std::max<std::uint64_t>(deepest, 2 * plan.LoadedFrames);
  if (characters > kMax || deepest > kMax) {
    return "too many frames: " + std::to_string(std::max<std::uint64_t>(frames, plan.LoadedFrames)) +
           " (a movie holds at most 32767, or 32766 with a link)";
  }
  if (movieFrames > kMax) {
    return "the frames last " + std::to_string(movieFrames) + " movie frames (a movie holds at most 65535)";
  }
  return {};
}

// Adds the link button and every frame's picture to the movie.
void BuildMovie(TFlashMovie& movie, TGIFImage& gif, const TMoviePlan& plan, const std::string& url,
                IConvertProgress* progress) {
  if (!url.empty()) {
    AddLinkButton(movie, url, gif.Width(), gif.Height(), static_cast<std::uint16_t>(2 * plan.LoadedFrames));
  }
  const TFrameProgress frames(progress, gif.Frames().size());
  if (plan.Layered) {
    PlaceLayers(movie, gif, plan.Layers, plan.FirstFrameTransparent, frames);
  } else {
    ComposeFullFrames(movie, gif, plan.Background, frames);
  }
  frames.Done(gif.Frames().size());
}

// Writes the movie under a temporary name beside the target and renames it
// onto the target once it is complete: a failed or interrupted write loses
// no earlier movie, and a movie to keep is kept even when it appeared
// during the conversion. False with the error's message.
bool SaveMovie(TFlashMovie& movie, const std::filesystem::path& target, TOverwrite overwrite, bool& written,
               std::string& reason) {
  try {
    movie.BuildBody();
    TPartialFile partial(target);
    movie.SaveFile(partial.Path());
    written = partial.Commit(overwrite == TOverwrite::Replace);
    return true;
  } catch (const std::filesystem::filesystem_error& e) {
    reason = e.what();
  } catch (const StreamError& e) {
    reason = e.what();
  }
  return false;
}

}  // namespace

std::filesystem::path MovieFileName(const std::filesystem::path& folder, const std::filesystem::path& gif) {
  std::filesystem::path movie = folder / gif.filename();
  movie.replace_extension(".swf");
  return movie;
}

std::filesystem::path MovieSubfolder(const std::filesystem::path& output, const std::string& subFolder) {
  if (subFolder.empty()) return output;
  std::error_code ec;
  std::filesystem::create_directory(output / subFolder, ec);
  return output / subFolder;
}

namespace {

TConvertOutcome ConvertOne(const TConvertOptions& options, IConvertProgress* progress) {
  TConvertOutcome outcome;
  outcome.Movie = options.Movie;
  std::error_code ec;
  if (options.Overwrite == TOverwrite::Keep && std::filesystem::exists(options.Movie, ec)) return outcome;

  auto gif = std::make_unique<TGIFImage>();
  if (!LoadGif(options.Gif, *gif, outcome.Reason)) {
    outcome.Code = crLoadError;
    return outcome;
  }
  outcome.Width = gif->Width();
  outcome.Height = gif->Height();
  if (progress != nullptr) progress->FramesDone(0, gif->Frames().size());
  const TMoviePlan plan = PrepareGif(gif);
  outcome.FirstFrameTransparent = plan.FirstFrameTransparent;
  outcome.Reason = LimitProblem(*gif, plan, !options.Url.empty());
  if (!outcome.Reason.empty()) {
    outcome.Code = crLoadError;
    return outcome;
  }

  TFlashMovie movie(0, 0, outcome.Width * 20, outcome.Height * 20, kFrameRate, false);
  movie.SetPixelUnits(true);
  movie.SetVersion(6);
  movie.SetCompressed(options.Compress);
  movie.Protect = false;
  movie.CompactImages = options.Compact;
  // Pictures compress on every core while the next one is composed; the
  // movie is built once, so written pictures need not be kept.
  if (options.CompressionThreads != 1) movie.SetCompressionThreads(options.CompressionThreads);
  movie.ReleaseImageData = true;
  BuildMovie(movie, *gif, plan, options.Url, progress);
  gif.reset();

  if (!SaveMovie(movie, options.Movie, options.Overwrite, outcome.Written, outcome.Reason)) {
    outcome.Code = crWriteError;
  }
  return outcome;
}

}  // namespace

TConvertOutcome ConvertGif(const TConvertOptions& options, IConvertProgress* progress) {
  // What does not fit in memory or in a movie's fields is this file's
  // failure; the run it is part of goes on.
  TConvertOutcome failed;
  failed.Movie = options.Movie;
  failed.Code = crLoadError;
  try {
    return ConvertOne(options, progress);
  } catch (const std::bad_alloc&) {
    failed.Reason = "out of memory";
  } catch (const std::length_error& e) {
    failed.Reason = e.what();
  }
  return failed;
}

}  // namespace movara::app
