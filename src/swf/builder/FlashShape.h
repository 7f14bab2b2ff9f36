#pragma once

#include <cstdint>
#include <vector>

#include "swf/builder/FlashObject.h"
#include "swf/core/ShapeTags.h"

namespace movara::swf {

class TFlashImage;

// The pen of a shape: moves and relative lines in movie units become
// style-change and straight-edge records in twips.
class TFlashEdges {
 public:
  TFlashEdges(std::vector<std::unique_ptr<TSWFShapeRecord>>& records, TFlashMovie* movie);

  std::int32_t PenX = 0;
  std::int32_t PenY = 0;
  TFlashMovie* Movie;

  // The last record when it is a style change, else a new one appended.
  TSWFStyleChangeRecord& CurrentStyleChange();
  TSWFStyleChangeRecord& MoveTo(std::int32_t x, std::int32_t y);
  // A line split into edges of at most 65535 twips; none for (0, 0).
  TSWFStraightEdgeRecord* LineDelta(std::int32_t dx, std::int32_t dy);
  void MakeRectangle(std::int32_t w, std::int32_t h);
  void EndEdges();

 private:
  std::int32_t Scale() const;
  std::vector<std::unique_ptr<TSWFShapeRecord>>& records_;
};

// The builder's vector character: bounds, an outline of straight edges and
// one fill, written as DefineShape2, or DefineShape3 when a colour has alpha.
class TFlashShape : public TFlashVisualObject {
 public:
  explicit TFlashShape(TFlashMovie* movie);

  TSWFRect Bounds;
  TSWFDefineShape3 Tag;
  TFlashEdges Edges;
  bool HasAlpha = false;

  std::uint16_t FillStyle0() const { return fillStyle0_; }
  std::uint16_t FillStyle1() const { return fillStyle1_; }
  std::uint16_t LineStyle() const { return lineStyle_; }

  void OwnerChanged() override { Edges.Movie = Owner(); }
  void SetCharacterId(std::uint16_t value) override;
  void SetShapeBound(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
  std::int32_t XMin() const { return Bounds.XMin / UnitScaleOf(); }
  std::int32_t XMax() const { return Bounds.XMax / UnitScaleOf(); }
  std::int32_t YMin() const { return Bounds.YMin / UnitScaleOf(); }
  std::int32_t YMax() const { return Bounds.YMax / UnitScaleOf(); }
  std::int32_t Width(bool inTwips) const { return (XMax() - XMin()) * (inTwips ? UnitScaleOf() : 1); }
  std::int32_t Height(bool inTwips) const { return (YMax() - YMin()) * (inTwips ? UnitScaleOf() : 1); }

  // Adds a fill style once (the shape keeps it) and selects it as fill 1.
  TSWFFillStyle& AddFillStyle(std::unique_ptr<TSWFFillStyle> style);
  TSWFFillStyle& SelectFillStyle(const TSWFFillStyle& style);
  void SetFillStyle0(std::uint16_t index);
  void SetFillStyle1(std::uint16_t index);
  void SetLineStyle(std::uint16_t index);
  TSWFColorFill& SetSolidColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
  TSWFColorFill& SetSolidColor(std::uint32_t rgba);
  // Mode 0 clipped at the given scale, 1 stretched over the bounds,
  // 2 repeating at the given scale, any other a plain clipped fill.
  TSWFImageFill& SetImageFill(TFlashImage& image, std::uint8_t mode, double scaleX, double scaleY);

  std::uint8_t MinVersion() const override { return HasAlpha ? 3 : 2; }
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override { Tag.UsedCharacters(ids); }
  void AssignFrom(const TBasedSWFObject& source) override;
  void WriteToStream(TBitsEngine& be) override;

 private:
  TSWFStyleChangeRecord* FirstRecord();
  std::uint16_t fillStyle0_ = 0;
  std::uint16_t fillStyle1_ = 0;
  std::uint16_t lineStyle_ = 0;
};

}  // namespace movara::swf
