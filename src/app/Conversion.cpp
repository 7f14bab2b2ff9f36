// The conversion of one GIF into a movie.
#include "app/Conversion.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <system_error>

#include "app/FrameComposer.h"
#include "app/DrawnOver.h"
#include "app/GifSurvey.h"
#include "app/StreamedOptimiser.h"
#include "app/MovieTime.h"
#include "base/FileStream.h"
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

// More frames over one pixel than this make layers too deep to show.
constexpr int kMaxLayers = 11;
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
  // The frames as they become pictures.
  std::vector<TFrameFacts> Frames;
  // The count of the GIF's last loop extension, read before the
  // optimisations, which keep only the first frame's.
  std::optional<std::uint16_t> LoopCount;
};

// Adds a frame picture: its image and a rectangle of the given size filled
// with it.
swf::TFlashShape& AddPicture(TFlashMovie& movie, const TBitmap& picture, std::int32_t width, std::int32_t height) {
  swf::TFlashImage& image = movie.AddImage(picture);
  swf::TFlashShape& shape = movie.AddRectangle(0, 0, width, height);
  shape.SetImageFill(image, 1, 1.0, 1.0);
  return shape;
}

// Full-frame mode: every movie frame a complete picture of the screen,
// composed as a GIF viewer composes it, one GIF frame after the other.
class TFullFrames {
 public:
  TFullFrames(TFlashMovie& movie, int width, int height, imaging::TColor background, const TMovieTime& time)
      : movie_(movie),
        time_(time),
        canvas_(width, height, imaging::TPixelFormat::pf32bit),
        clear_(imaging::ColorToARGB(background, 0)) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) canvas_.SetPixelARGB(x, y, clear_);
  }

  // Frame k's picture, for its time; a frame without a picture keeps the
  // last one on the stage for its time.
  void Add(const TGIFSubImage& frame, std::size_t k) {
    if (frame.IsEmpty()) {
      time_.ShowFrame(movie_, k);
      return;
    }
    const std::uint8_t disposal = frame.Disposal();
    TBitmap before;
    if (disposal == 3) before = canvas_;
    DrawFrame(canvas_, frame, MakeFramePalette(frame));
    swf::TFlashShape& shape = AddPicture(movie_, canvas_, canvas_.Width(), canvas_.Height());
    // The picture replaces the one placed last, whatever depth that was.
    if (lastDepth_ >= 0) movie_.RemoveObject(static_cast<std::uint16_t>(lastDepth_), &shape);
    const auto depth = static_cast<std::uint16_t>(2 * k);
    movie_.PlaceObject(shape, depth).SetTranslate(0, 0);
    lastDepth_ = depth;
    time_.ShowFrame(movie_, k);
    if (disposal == 2) ClearRect(canvas_, frame, clear_);
    if (disposal == 3) canvas_ = std::move(before);
  }

 private:
  TFlashMovie& movie_;
  const TMovieTime& time_;
  TBitmap canvas_;
  imaging::TARGB clear_;
  int lastDepth_ = -1;
};

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

// Makes each optimised frame's picture in the plan's mode: full frames on a
// canvas of the screen, or layers, which need no canvas (a huge screen could
// not have one).
class TPictures {
 public:
  TPictures(TFlashMovie& movie, int width, int height, const TMoviePlan& plan, const TMovieTime& time)
      : movie_(movie), plan_(plan), time_(time) {
    if (!plan.Layered) full_.emplace(movie, width, height, plan.Background, time);
  }

  void Add(const TGIFSubImage& frame, std::size_t k) {
    if (full_) {
      full_->Add(frame, k);
    } else {
      PlaceLayer(movie_, frame, k, plan_, time_);
    }
  }

 private:
  TFlashMovie& movie_;
  const TMoviePlan& plan_;
  const TMovieTime& time_;
  std::optional<TFullFrames> full_;
};

// The pictures of the whole image, loaded and optimised.
void ComposeLoaded(TFlashMovie& movie, TGIFImage& gif, const TMoviePlan& plan, const TMovieTime& time,
                   const TFrameProgress& progress) {
  TPictures pictures(movie, gif.Width(), gif.Height(), plan, time);
  const auto& frames = gif.Frames();
  for (std::size_t k = 0; k < frames.size(); ++k) {
    progress.Done(k);
    pictures.Add(*frames[k], k);
    ReleasePixels(*frames[k]);
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

// Character ids, depths and the frame count of a movie are 16-bit: why the
// GIF does not fit, or empty when it does. Each picture takes two ids (its
// bitmap and its rectangle), the link button two more.
std::string LimitProblem(const TMoviePlan& plan, bool link, std::uint64_t movieFrames) {
  constexpr std::uint64_t kMax = 0xFFFF;
  const std::uint64_t frames = plan.Frames.size();
  const std::uint64_t pictures = static_cast<std::uint64_t>(
      std::count_if(plan.Frames.begin(), plan.Frames.end(), [](const TFrameFacts& f) { return !f.Empty; }));
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

// The second reading of a GIF whose frames the first gave back: each frame
// becomes its optimised self and its picture as the reader hands it over,
// then gives its pixels back.
void ComposeWhileReading(TFlashMovie& movie, const std::filesystem::path& file, const TGIFImage& surveyed,
                         const TStreamedOptimiser& optimiser, const TMoviePlan& plan, const TMovieTime& time,
                         const TFrameProgress& progress) {
  TPictures pictures(movie, surveyed.Width(), surveyed.Height(), plan, time);
  TDrawnOver over;
  TGIFImage gif;
  std::size_t read = 0, k = 0;
  const auto changed = [] { return imaging::GIFException("the GIF changed while it was converted"); };
  gif.FrameHandler = [&](TGIFSubImage& frame) {
    if (read >= optimiser.ReadFrames() || frame.IsEmpty() != optimiser.Empty(read) ||
        frame.ScreenRect() != surveyed.Frames()[read]->ScreenRect()) {
      throw changed();
    }
    const TPixelsSeen* drawnOver = over.Over(read > 0 ? surveyed.Frames()[read - 1]->Disposal() : 0);
    over.Add(optimiser.Apply(frame, read, drawnOver, over.TakeSpare()));
    if (!optimiser.Erased(read)) {
      progress.Done(k);
      pictures.Add(frame, k++);
    }
    ReleasePixels(frame);
    frame.ColorMap().Clear();
    ++read;
  };
  gif.LoadFile(file);
  if (read != optimiser.ReadFrames()) throw changed();
}

// Adds the link button and every frame's picture to the movie.
void BuildMovie(TFlashMovie& movie, TGIFImage& gif, const TStreamedOptimiser* optimiser, const TMoviePlan& plan,
                const TMovieTime& time, const TConvertOptions& options, IConvertProgress* progress) {
  if (!options.Url.empty()) {
    AddLinkButton(movie, options.Url, gif.Width(), gif.Height(), static_cast<std::uint16_t>(2 * plan.LoadedFrames));
  }
  const TFrameProgress frames(progress, plan.Frames.size());
  if (optimiser != nullptr) {
    ComposeWhileReading(movie, options.Gif, gif, *optimiser, plan, time, frames);
  } else {
    ComposeLoaded(movie, gif, plan, time, frames);
  }
  frames.Done(plan.Frames.size());
}

// Writes a movie through `write` into a temporary file beside the target,
// which takes the target's place only once it is complete, so that a failed
// or interrupted write loses no earlier movie; a movie to keep is kept even
// when it appeared during the conversion. Whether the movie was written.
bool CommitMovie(const std::filesystem::path& target, TOverwrite overwrite,
                 const std::function<void(TStream&)>& write) {
  TPartialFile partial(target);
  TFileStream file(partial.Path(), TFileStream::Mode::Create);
  write(file);
  file.Close();
  return partial.Commit(overwrite == TOverwrite::Replace);
}

// Streams the movie into its file as the frames are made: crOk, or
// crWriteError with the error's message when the file cannot be written
// (crLoadError when a second reading of the GIF fails).
int WriteMovie(TFlashMovie& movie, TGIFImage& gif, const TStreamedOptimiser* optimiser, const TMoviePlan& plan,
               const TMovieTime& time, const TConvertOptions& options, IConvertProgress* progress, bool& written,
               std::string& reason) {
  try {
    written = CommitMovie(options.Movie, options.Overwrite, [&](TStream& out) {
      movie.BeginStream(out, static_cast<std::uint16_t>(time.Frames()));
      BuildMovie(movie, gif, optimiser, plan, time, options, progress);
      movie.EndStream();
    });
    return crOk;
  } catch (const imaging::GIFException& e) {
    reason = e.what();
    return crLoadError;
  } catch (const StreamError& e) {
    reason = e.what();
  } catch (const std::filesystem::filesystem_error& e) {
    reason = e.what();
  }
  return crWriteError;
}

// Reads the GIF frame by frame and plans its movie: made from a second
// reading when the GIF's pixels did not fit in what a conversion holds and
// the first reading's facts suffice, else from the whole image, optimised.
// False with the reader's message when it cannot be read.
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
  const unsigned fps = options.Timing.FramesPerSecond;
  if (fps < kMinFrameRate || fps > kMaxFrameRate) throw std::invalid_argument("frame rate out of range");
  TConvertOutcome outcome;
  outcome.Movie = options.Movie;
  std::error_code ec;
  if (options.Overwrite == TOverwrite::Keep && std::filesystem::exists(options.Movie, ec)) return outcome;

  auto gif = std::make_unique<TGIFImage>();
  std::unique_ptr<TStreamedOptimiser> optimiser;
  TMoviePlan plan;
  if (!LoadAndPlan(options, gif, optimiser, plan, progress, outcome.Reason)) {
    outcome.Code = crLoadError;
    return outcome;
  }
  outcome.Width = gif->Width();
  outcome.Height = gif->Height();
  outcome.FirstFrameTransparent = plan.FirstFrameTransparent;
  const std::uint32_t passes = options.Timing.GifLoop ? GifPasses(plan.LoopCount) : 0;
  const TMovieTime time(ScheduleFrames(FrameDurations(plan.Frames), fps), passes);
  outcome.Reason = LimitProblem(plan, !options.Url.empty(), time.Frames());
  if (!outcome.Reason.empty()) {
    outcome.Code = crLoadError;
    return outcome;
  }

  TFlashMovie movie(0, 0, outcome.Width * 20, outcome.Height * 20, fps, false);
  movie.SetPixelUnits(true);
  movie.SetVersion(6);
  movie.SetCompressed(options.Compress);
  movie.Protect = false;
  movie.CompactImages = options.Compact;
  // Pictures compress on every core while the next one is composed.
  if (options.CompressionThreads != 1) movie.SetCompressionThreads(options.CompressionThreads);
  outcome.Code = WriteMovie(movie, *gif, optimiser.get(), plan, time, options, progress, outcome.Written, outcome.Reason);
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
