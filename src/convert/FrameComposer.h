#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <vector>

#include "imaging/Colors.h"
#include "imaging/GIFImage.h"
#include "imaging/Raster.h"

namespace movara::convert {

// The colours a frame's indices show, and which of them count as
// transparent: those whose colour equals the frame's transparent colour
// (the converter compares colours, not indices).
struct TFramePalette {
  std::array<imaging::TARGB, 256> Color{};  // opaque ARGB
  std::array<bool, 256> Transparent{};
};
TFramePalette MakeFramePalette(const imaging::TGIFSubImage& frame);

// What the movie needs of a GIF frame beyond its pixels, gathered as the
// frames are read.
struct TFrameFacts {
  bool Empty = false;
  // Whether it has a graphic control extension of its own (not one the
  // optimiser gave it), and the delay that gives.
  bool HasControl = false;
  std::uint16_t Delay = 0;
};
TFrameFacts FactsOf(const imaging::TGIFSubImage& frame);
// The same of a frame whose pixels are not held, told whether it is empty.
TFrameFacts FactsOf(const imaging::TGIFSubImage& frame, bool empty);

// The largest number of frames covering one screen pixel (frame edges
// excluded: Left < x < Right, Top < y < Bottom). Counts above `enough` all
// decide alike, so the scan stops at the first one.
int MaximumOverlap(const imaging::TGIFImage& gif, int enough);

// The colours frames show, gathered index by index, and whether they fit
// one table of 256 (255 and a transparent entry when some frame shows
// transparency): then merging the tables loses no colour.
class TColorsInUse {
 public:
  // An index a frame's pixels use, with the frame's table and transparent
  // index (-1: none).
  void Add(const std::vector<imaging::TColor>& table, int transparent, std::uint8_t index);
  bool FitOneTable() const { return colors_.size() <= (transparency_ ? 255u : 256u); }

 private:
  std::set<imaging::TColor> colors_;
  bool transparency_ = false;
};
bool ColorsFitOneTable(const imaging::TGIFImage& gif);

// The layers to take away as each frame is placed as a layer of its own:
// Removals[k] lists the frames whose layers go when frame k is shown (the
// previous frame's for its disposal 2 or 3, and for disposal 2 every earlier
// layer wholly inside the cleared rectangle). Exact is false when a
// disposal-2 frame clears part of an earlier layer still shown, which layers
// cannot show.
struct TLayerPlan {
  std::vector<std::vector<std::size_t>> Removals;
  bool Exact = true;
};
// What the layer plan needs of a frame.
struct TFrameShape {
  imaging::TGIFRect Rect;
  bool Empty = false;
  std::uint8_t Disposal = 0;
};
TLayerPlan PlanLayers(const std::vector<TFrameShape>& frames, int width, int height);
TLayerPlan PlanLayers(const imaging::TGIFImage& gif);

// Draws a frame onto an ARGB canvas of the screen's size, clipped.
void DrawFrame(imaging::TBitmap& canvas, const imaging::TGIFSubImage& frame, const TFramePalette& palette);
// Clears a frame's rectangle of the canvas to a transparent colour.
void ClearRect(imaging::TBitmap& canvas, const imaging::TGIFSubImage& frame, imaging::TARGB clear);
// A frame alone: 24-bit opaque, or 32-bit with alpha 0 where it is transparent.
imaging::TBitmap FrameRaster(const imaging::TGIFSubImage& frame, const TFramePalette& palette, bool opaque);

}  // namespace movara::convert
