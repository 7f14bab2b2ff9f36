#include "convert/FrameComposer.h"

#include <algorithm>

namespace movara::convert {

using imaging::TARGB;
using imaging::TBitmap;
using imaging::TGIFImage;
using imaging::TGIFRect;
using imaging::TGIFSubImage;

TFramePalette MakeFramePalette(const TGIFSubImage& frame) {
  TFramePalette p;
  const auto& colors = frame.EffectiveColorMap().Colors();
  // An index beyond the table renders black.
  for (std::size_t i = 0; i < 256; ++i) p.Color[i] = imaging::ColorToARGB(i < colors.size() ? colors[i] : 0, 255);
  const auto* gce = frame.GraphicControlExtension();
  if (gce != nullptr && gce->Transparent()) {
    const TARGB clear = p.Color[gce->TransparentIndex];
    for (std::size_t i = 0; i < 256; ++i) p.Transparent[i] = p.Color[i] == clear;
  }
  return p;
}

TFrameFacts FactsOf(const TGIFSubImage& frame, bool empty) {
  const auto* gce = frame.GraphicControlExtension();
  const bool control = gce != nullptr && !gce->Added;
  return {empty, control, control ? gce->Delay : std::uint16_t{0}};
}

TFrameFacts FactsOf(const TGIFSubImage& frame) { return FactsOf(frame, frame.IsEmpty()); }

int MaximumOverlap(const TGIFImage& gif, int enough) {
  const auto& frames = gif.Frames();
  if (frames.size() <= 11) return static_cast<int>(frames.size());
  const int w = gif.Width(), h = gif.Height();
  int best = 1;
  // Per row, the frames whose open interval of rows contains it; per pixel
  // of the row, a running count from column events.
  std::vector<int> delta(static_cast<std::size_t>(w) + 1);
  for (int y = 0; y < h; ++y) {
    std::fill(delta.begin(), delta.end(), 0);
    int rowFrames = 0;
    for (const auto& f : frames) {
      const TGIFRect r = f->ScreenRect();
      if (!(r.Top < y && y < r.Bottom)) continue;
      const int from = std::max(r.Left + 1, 0);
      const int to = std::min(r.Right, w);  // exclusive: x < Right
      if (from >= to) continue;
      ++delta[static_cast<std::size_t>(from)];
      --delta[static_cast<std::size_t>(to)];
      ++rowFrames;
    }
    if (rowFrames <= best) continue;
    int count = 0;
    for (int x = 0; x < w; ++x) {
      count += delta[static_cast<std::size_t>(x)];
      best = std::max(best, count);
    }
    if (best > enough || best == static_cast<int>(frames.size())) return best;
  }
  return best;
}

void TColorsInUse::Add(const std::vector<imaging::TColor>& table, int transparent, std::uint8_t index) {
  if (index == transparent) {
    transparency_ = true;
  } else {
    colors_.insert(index < table.size() ? imaging::RGBOnly(table[index]) : 0);
  }
}

bool ColorsFitOneTable(const TGIFImage& gif) {
  TColorsInUse colors;
  for (const auto& f : gif.Frames()) {
    if (f->IsEmpty()) continue;
    std::array<bool, 256> used{};
    for (const std::uint8_t p : f->PixelData()) used[p] = true;
    for (std::size_t i = 0; i < used.size(); ++i) {
      if (used[i]) colors.Add(f->EffectiveColorMap().Colors(), f->TransparentIndex(), static_cast<std::uint8_t>(i));
    }
  }
  return colors.FitOneTable();
}

namespace {

TGIFRect Clip(const TGIFRect& r, int w, int h) { return imaging::Intersection(r, {0, 0, w, h}); }

}  // namespace

TLayerPlan PlanLayers(const std::vector<TFrameShape>& frames, int w, int h) {
  TLayerPlan plan;
  plan.Removals.resize(frames.size());
  struct TLayer {
    std::size_t Frame;
    TGIFRect Rect;  // the visible part, on the screen
  };
  std::vector<TLayer> shown;
  const TFrameShape* previous = nullptr;
  for (std::size_t k = 0; k < frames.size(); ++k) {
    const TFrameShape& frame = frames[k];
    if (frame.Empty) continue;
    // The previous frame's disposal happens as this one is shown.
    const std::uint8_t d = previous != nullptr ? previous->Disposal : 0;
    if (d == 2 || d == 3) {
      plan.Removals[k].push_back(shown.back().Frame);
      shown.pop_back();
    }
    if (d == 2) {
      const TGIFRect cleared = Clip(previous->Rect, w, h);
      std::vector<TLayer> kept;
      for (const TLayer& layer : shown) {
        const TGIFRect common = imaging::Intersection(layer.Rect, cleared);
        if (layer.Rect.IsEmpty() || common.IsEmpty()) {
          kept.push_back(layer);
        } else if (common == layer.Rect) {
          plan.Removals[k].push_back(layer.Frame);
        } else {
          plan.Exact = false;  // only part of this layer is cleared
          kept.push_back(layer);
        }
      }
      shown = std::move(kept);
    }
    shown.push_back({k, Clip(frame.Rect, w, h)});
    previous = &frame;
  }
  return plan;
}

TLayerPlan PlanLayers(const TGIFImage& gif) {
  std::vector<TFrameShape> shapes;
  for (const auto& f : gif.Frames()) shapes.push_back({f->ScreenRect(), f->IsEmpty(), f->Disposal()});
  return PlanLayers(shapes, gif.Width(), gif.Height());
}

void DrawFrame(TBitmap& canvas, const TGIFSubImage& frame, const TFramePalette& palette) {
  const TGIFRect r = Clip(frame.ScreenRect(), canvas.Width(), canvas.Height());
  for (int y = r.Top; y < r.Bottom; ++y) {
    const std::uint8_t* src = frame.PixelData().data() + static_cast<std::size_t>(y - frame.Top) * frame.Width();
    auto* dst = reinterpret_cast<std::uint8_t*>(canvas.ScanLine(y));
    for (int x = r.Left; x < r.Right; ++x) {
      const std::uint8_t index = src[x - frame.Left];
      if (palette.Transparent[index]) continue;
      const TARGB c = palette.Color[index];
      std::uint8_t* px = dst + 4 * static_cast<std::size_t>(x);
      px[0] = static_cast<std::uint8_t>(c), px[1] = static_cast<std::uint8_t>(c >> 8);
      px[2] = static_cast<std::uint8_t>(c >> 16), px[3] = static_cast<std::uint8_t>(c >> 24);
    }
  }
}

void ClearRect(TBitmap& canvas, const TGIFSubImage& frame, TARGB clear) {
  const TGIFRect r = Clip(frame.ScreenRect(), canvas.Width(), canvas.Height());
  for (int y = r.Top; y < r.Bottom; ++y) {
    for (int x = r.Left; x < r.Right; ++x) canvas.SetPixelARGB(x, y, clear);
  }
}

TBitmap FrameRaster(const TGIFSubImage& frame, const TFramePalette& palette, bool opaque) {
  TBitmap raster(frame.Width(), frame.Height(), opaque ? imaging::TPixelFormat::pf24bit : imaging::TPixelFormat::pf32bit);
  for (int y = 0; y < frame.Height(); ++y) {
    const std::uint8_t* src = frame.PixelData().data() + static_cast<std::size_t>(y) * frame.Width();
    for (int x = 0; x < frame.Width(); ++x) {
      const std::uint8_t index = src[x];
      const TARGB c = palette.Color[index];
      raster.SetPixelARGB(x, y, opaque || !palette.Transparent[index] ? c : (c & 0x00FFFFFF));
    }
  }
  return raster;
}

}  // namespace movara::convert
