// Loading a GIF and planning its movie: the mode, the optimisations, and
// whether the frames come from the whole image or from a second reading.
#include "convert/MoviePlan.h"

#include <algorithm>

#include "base/Stream.h"
#include "convert/GifSurvey.h"
#include "convert/MovieTime.h"
#include "imaging/GIFException.h"

namespace movara::convert {

namespace {

using imaging::TGIFImage;

// Full-frame pictures of a larger screen would not fit in memory; such a GIF
// is placed as layers, each of its frame's own size.
constexpr std::int64_t kMaxCanvasPixels = std::int64_t{1} << 26;

bool HugeScreen(const imaging::TGIFImage& gif) { return std::int64_t{gif.Width()} * gif.Height() > kMaxCanvasPixels; }

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

// Every movie's frames are optimised; layers also trim transparent borders
// when the trimming keeps every frame.
void OptimizeFrames(std::unique_ptr<TGIFImage>& gif, bool layered) {
  const std::size_t frameCount = gif->Frames().size();
  if (frameCount <= 1) return;
  if (layered) {
    auto trial = std::make_unique<TGIFImage>();
    trial->AssignFrom(*gif);
    trial->Optimize(imaging::ooLayerSteps, imaging::rmNone);
    if (trial->Frames().size() == frameCount) {
      gif = std::move(trial);
      return;
    }
  }
  gif->Optimize(imaging::ooFrameSteps, imaging::rmNone);
}

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
  plan.Layered = (layered && plan.Layers.Exact) || HugeScreen(*gif);
  for (const auto& f : gif->Frames()) plan.Frames.push_back(FactsOf(*f));
  return plan;
}

// The plan of a GIF whose frames a first reading gave back: the same
// decisions as for the whole image, taken from the facts the reading kept;
// none when they do not suffice.
std::optional<TMoviePlan> PlanStreamed(TGIFImage& gif, TStreamedOptimiser& optimiser) {
  TMoviePlan plan;
  plan.LoadedFrames = optimiser.ReadFrames();
  if (plan.LoadedFrames > 1 && optimiser.ColorsFitOneTable()) optimiser.MergeColorTables();
  if (gif.GlobalColorMap().Count() > 0) plan.Background = gif.BackgroundColor();
  plan.FirstFrameTransparent = FirstFrameTransparent(gif);
  const bool layered = ChooseLayers(gif, plan.FirstFrameTransparent);
  if (!optimiser.Optimize(layered)) return std::nullopt;
  // Frames the clean-up takes away have no control extension: lifting
  // colours sees the same frames as with the whole image.
  LiftBlackTransparentColours(gif);
  plan.Layers = PlanLayers(optimiser.Shapes(), gif.Width(), gif.Height());
  plan.Layered = (layered && plan.Layers.Exact) || HugeScreen(gif);
  plan.Frames = optimiser.Facts();
  return plan;
}

}  // namespace

std::string LimitProblem(const TMoviePlan& plan, bool link, std::uint64_t movieFrames) {
  const std::uint64_t frames = plan.Frames.size();
  const std::uint64_t pictures = static_cast<std::uint64_t>(
      std::count_if(plan.Frames.begin(), plan.Frames.end(), [](const TFrameFacts& f) { return !f.Empty; }));
  const std::uint64_t characters = 2 * pictures + (link ? 2 : 0);
  std::uint64_t deepest = frames > 0 ? 2 * (frames - 1) : 0;
  if (link) deepest = std::max<std::uint64_t>(deepest, 2 * plan.LoadedFrames);
  if (characters > kMaxMovieField || deepest > kMaxMovieField) {
    return "too many frames: " + std::to_string(std::max<std::uint64_t>(frames, plan.LoadedFrames)) +
           " (a movie holds at most 32767, or 32766 with a link)";
  }
  if (movieFrames > kMaxMovieField) {
    return "the frames last " + std::to_string(movieFrames) + " movie frames (a movie holds at most 65535)";
  }
  return {};
}

bool LoadAndPlan(const TConvertOptions& options, std::unique_ptr<TGIFImage>& gif,
                 std::unique_ptr<TStreamedOptimiser>& optimiser, TMoviePlan& plan, IConvertProgress* progress,
                 std::string& reason) {
  bool released = false;
  std::optional<std::uint16_t> loopCount;
  {
    TGifSurvey survey(*gif, options.HeldFrameBytes);
    if (!LoadGif(options.Gif, *gif, reason)) return false;
    loopCount = GifLoopCount(*gif);
    released = survey.Released();
    if (released && survey.Complete()) {
      optimiser = std::make_unique<TStreamedOptimiser>(*gif, survey.TakeFrames());
    }
  }
  if (progress != nullptr) progress->FramesDone(0, gif->Frames().size());
  if (optimiser != nullptr) {
    if (auto streamed = PlanStreamed(*gif, *optimiser)) {
      plan = std::move(*streamed);
      plan.LoopCount = loopCount;
      return true;
    }
    optimiser.reset();
  }
  // The optimisations need the whole image: read again when the survey gave
  // frames back.
  if (released && !LoadGif(options.Gif, *gif, reason)) return false;
  plan = PrepareGif(gif);
  plan.LoopCount = loopCount;
  return true;
}

}  // namespace movara::convert
