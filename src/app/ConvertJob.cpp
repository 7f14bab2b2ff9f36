// The conversion of one GIF into a movie.
#include <memory>
#include <system_error>

#include "app/FrameComposer.h"
#include "app/MainForm.h"
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
    if (gce->TransparentIndex < map.Count() && (map.Colors()[gce->TransparentIndex] & 0xFFFFFF) == 0) {
      map.SetColorAt(gce->TransparentIndex, imaging::MakeColor(0, 0, 1));
    }
  }
}

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
void ComposeFullFrames(TFlashMovie& movie, TGIFImage& gif, imaging::TColor background, IMainView& view) {
  const int w = gif.Width(), h = gif.Height();
  const imaging::TARGB clear = imaging::ColorToARGB(background, 0);
  TBitmap canvas(w, h, imaging::TPixelFormat::pf32bit);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) canvas.SetPixelARGB(x, y, clear);
  int lastDepth = -1;
  const auto& frames = gif.Frames();
  for (std::size_t k = 0; k < frames.size(); ++k) {
    const TGIFSubImage& frame = *frames[k];
    if (frame.IsEmpty()) continue;
    const std::uint8_t disposal = FrameDisposal(frame);
    TBitmap before;
    if (disposal == 3) before = canvas;
    DrawFrame(canvas, frame, MakeFramePalette(frame));
    view.ProcessMessages();
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
                 IMainView& view) {
  const auto& frames = gif.Frames();
  for (std::size_t k = 0; k < frames.size(); ++k) {
    TGIFSubImage& frame = *frames[k];
    if (frame.IsEmpty()) continue;
    const bool opaque = k == 0 && !firstFrameTransparent;
    const TBitmap picture = FrameRaster(frame, MakeFramePalette(frame), opaque);
    view.ProcessMessages();
    swf::TFlashShape& shape = AddPicture(movie, picture, frame.Width(), frame.Height());
    for (const std::size_t gone : plan.Removals[k]) movie.RemoveObject(static_cast<std::uint16_t>(2 * gone), &shape);
    movie.PlaceObject(shape, static_cast<std::uint16_t>(2 * k)).SetTranslate(frame.Left, frame.Top);
    movie.ShowFrame(FrameLength(frame));
    ReleasePixels(frame);
  }
}

}  // namespace

int TfrmMain::ConvertNow(const std::filesystem::path& gifFileName, const std::string& subFolder) {
  std::error_code ec;
  if (OutputFolder.empty() || !std::filesystem::is_directory(OutputFolder, ec)) OutputFolder = programFolder_;
  std::filesystem::path out = OutputFolder;
  if (!subFolder.empty()) {
    const std::filesystem::path sub = out / subFolder;
    if (std::filesystem::is_directory(sub, ec) || std::filesystem::create_directory(sub, ec)) out = sub;
  }
  std::filesystem::path target = out / gifFileName.filename();
  target.replace_extension(".swf");

  const bool single = view_.SingleFileMode();
  if (std::filesystem::exists(target, ec) && !CommandLineMode && single) {
    int selected = 0;
    for (const auto& item : view_.ListItems()) selected += item.Selected ? 1 : 0;
    if (selected == 1 &&
        !view_.MessageBox("The file " + target.filename().string() + " already exists. Do you want to owerwrite it?",
                          IMainView::MessageKind::Question)) {
      return crOk;
    }
  }
  if (single) {
    view_.SetStatusText(msg::kConverting);
    view_.SetBusyCursor(true);
  }
  view_.ProcessMessages();

  int code = crOk;
  bool firstFrameTransparent = false;
  std::int32_t width = 0, height = 0;
  auto gif = std::make_unique<TGIFImage>();
  try {
    gif->LoadFile(gifFileName);
  } catch (const imaging::GIFException&) {
    code = crLoadError;
  } catch (const StreamError&) {
    code = crLoadError;
  }

  if (code == crOk) {
    const auto& frames = gif->Frames();
    const std::size_t frameCount = frames.size();
    if (frameCount > 1 && ColorsFitOneTable(*gif)) gif->OptimizeColorMaps();
    width = gif->Width();
    height = gif->Height();
    TFlashMovie movie(0, 0, width * 20, height * 20, kFrameRate, false);
    movie.SetPixelUnits(true);
    movie.SetVersion(6);
    movie.SetCompressed(false);
    movie.Protect = false;
    // Pictures compress on every core while the next one is composed; the
    // movie is built once, so written pictures need not be kept.
    if (CompressionThreads != 1) movie.SetCompressionThreads(CompressionThreads);
    movie.ReleaseImageData = true;
    // A GIF without a global table has no background colour: black serves,
    // as it only fills transparent parts of the canvas.
    const imaging::TColor background = gif->GlobalColorMap().Count() > 0 ? gif->BackgroundColor() : 0;

    const std::string url = view_.UrlText();
    if (view_.UrlEnabled() && !url.empty() && url != "http://") {
      swf::TFlashButton& button = movie.AddButton(false, true);
      swf::TFlashShape& rect = movie.AddRectangle(0, 0, width - 1, height - 1);
      rect.SetSolidColor(0, 0, 0, 0);
      button.AddRecord(rect, swf::bsUp | swf::bsHitTest, 1);
      button.AddRecord(rect, swf::bsOver | swf::bsHitTest, 1);
      button.AddRecord(rect, swf::bsDown | swf::bsHitTest, 1);
      button.OnRelease().GetUrl(url, "_blank");
      movie.PlaceObject(button, static_cast<std::uint16_t>(2 * frameCount));
    }

    const int overlap = MaximumOverlap(*gif, kMaxLayers);
    firstFrameTransparent = !frames.empty() && frames[0]->GraphicControlExtension() != nullptr &&
                            frames[0]->GraphicControlExtension()->Transparent();
    bool layered = overlap <= kMaxLayers;
    for (const auto& f : frames) {
      const std::uint8_t d = FrameDisposal(*f);
      if (d == 2 && !firstFrameTransparent) layered = false;
      if (d == 1) layered = true;
    }

    if (layered && frameCount > 1) {
      // Trimming is used only when it keeps every frame.
      auto trial = std::make_unique<TGIFImage>();
      trial->AssignFrom(*gif);
      trial->Optimize(0x1F, 0);
      if (trial->Frames().size() != frameCount) {
        gif->Optimize(0x1E, 0);
      } else {
        gif = std::move(trial);
      }
    } else if (frameCount > 1) {
      gif->Optimize(0x1E, 0);
    }
    LiftBlackTransparentColours(*gif);
    const bool hugeScreen = std::int64_t{width} * height > kMaxCanvasPixels;
    const TLayerPlan plan = PlanLayers(*gif);
    if ((layered && plan.Exact) || hugeScreen) {
      PlaceLayers(movie, *gif, plan, firstFrameTransparent, view_);
    } else {
      ComposeFullFrames(movie, *gif, background, view_);
    }

    // The movie replaces the target only once it is complete, so a failed
    // write loses no earlier movie.
    std::filesystem::path partial = target;
    partial += ".partial";
    try {
      movie.BuildBody();
      movie.SaveFile(partial);
      std::filesystem::rename(partial, target);
    } catch (const std::exception&) {
      std::filesystem::remove(partial, ec);
      code = crWriteError;
    }
  }

  if (single) {
    view_.SetStatusText("");
    view_.SetBusyCursor(false);
  }
  if (code == crOk && std::filesystem::exists(target, ec)) {
    if (!CommandLineMode && single) {
      view_.MessageBox("The file " + target.filename().string() + " has been successfully created.",
                       IMainView::MessageKind::Information);
      if (WriteHtmlPage) ShowHTML(target, std::to_string(width), std::to_string(height), firstFrameTransparent);
    }
  } else if (code != crOk && !CommandLineMode && single) {
    view_.MessageBox(code == crLoadError ? msg::kError1 : msg::kError6, IMainView::MessageKind::Error);
  }
  if (CommandLineMode) view_.CloseWindow();
  return code;
}

}  // namespace movara::app
