#include "swf/builder/FlashShape.h"

#include <cmath>
#include <cstdlib>

#include "swf/builder/FlashImage.h"
#include "swf/builder/FlashMovie.h"

namespace movara::swf {

TFlashEdges::TFlashEdges(std::vector<std::unique_ptr<TSWFShapeRecord>>& records, TFlashMovie* movie)
    : Movie(movie), records_(records) {
  CurrentStyleChange().StateFillStyle1 = true;
}

std::int32_t TFlashEdges::Scale() const { return Movie != nullptr ? Movie->UnitScale() : 1; }

TSWFStyleChangeRecord& TFlashEdges::CurrentStyleChange() {
  if (!records_.empty()) {
    if (auto* last = dynamic_cast<TSWFStyleChangeRecord*>(records_.back().get())) return *last;
  }
  records_.push_back(std::make_unique<TSWFStyleChangeRecord>());
  return static_cast<TSWFStyleChangeRecord&>(*records_.back());
}

TSWFStyleChangeRecord& TFlashEdges::MoveTo(std::int32_t x, std::int32_t y) {
  TSWFStyleChangeRecord& r = CurrentStyleChange();
  const std::int32_t s = Scale();
  if (x * s == PenX && y * s == PenY && records_.size() <= 1) return r;
  PenX = x * s;
  PenY = y * s;
  r.SetMoveTo(PenX, PenY);
  return r;
}

TSWFStraightEdgeRecord* TFlashEdges::LineDelta(std::int32_t dx, std::int32_t dy) {
  if (dx == 0 && dy == 0) return nullptr;
  const std::int64_t s = Scale();
  const double tx = static_cast<double>(dx * s);
  const double ty = static_cast<double>(dy * s);
  const auto pieces = static_cast<int>(std::max(std::ceil(std::fabs(tx) / 65535.0), std::ceil(std::fabs(ty) / 65535.0)));
  TSWFStraightEdgeRecord* last = nullptr;
  for (int g = 1; g <= pieces; ++g) {
    const auto at = [pieces](double total, int k) { return static_cast<std::int32_t>(std::nearbyint(total / pieces * k)); };
    auto edge = std::make_unique<TSWFStraightEdgeRecord>(at(tx, g) - at(tx, g - 1), at(ty, g) - at(ty, g - 1));
    last = edge.get();
    records_.push_back(std::move(edge));
  }
  PenX += static_cast<std::int32_t>(tx);
  PenY += static_cast<std::int32_t>(ty);
  return last;
}

void TFlashEdges::MakeRectangle(std::int32_t w, std::int32_t h) {
  LineDelta(w, 0);
  LineDelta(0, h);
  LineDelta(-w, 0);
  LineDelta(0, -h);
}

void TFlashEdges::EndEdges() { records_.push_back(std::make_unique<TSWFEndShapeRecord>()); }

TFlashShape::TFlashShape(TFlashMovie* movie) : TFlashVisualObject(movie), Edges(Tag.Records, movie) {}

void TFlashShape::SetCharacterId(std::uint16_t value) {
  TFlashVisualObject::SetCharacterId(value);
  Tag.ShapeID = value;
}

void TFlashShape::SetShapeBound(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  const std::int32_t s = UnitScaleOf();
  Bounds.SetRect(left * s, top * s, right * s, bottom * s);
}

TSWFStyleChangeRecord* TFlashShape::FirstRecord() {
  return Tag.Records.empty() ? nullptr : dynamic_cast<TSWFStyleChangeRecord*>(Tag.Records.front().get());
}

void TFlashShape::SetFillStyle0(std::uint16_t index) {
  auto* r = FirstRecord();
  fillStyle0_ = r != nullptr ? index : 0;
  if (r != nullptr) r->SetFillStyle0(index);
}

void TFlashShape::SetFillStyle1(std::uint16_t index) {
  auto* r = FirstRecord();
  fillStyle1_ = r != nullptr ? index : 0;
  if (r != nullptr) r->SetFillStyle1(index);
}

void TFlashShape::SetLineStyle(std::uint16_t index) {
  auto* r = FirstRecord();
  lineStyle_ = r != nullptr ? index : 0;
  if (r != nullptr) r->SetLineStyle(index);
}

TSWFFillStyle& TFlashShape::AddFillStyle(std::unique_ptr<TSWFFillStyle> style) {
  Tag.FillStyles.push_back(std::move(style));
  SetFillStyle1(static_cast<std::uint16_t>(Tag.FillStyles.size()));
  return *Tag.FillStyles.back();
}

TSWFFillStyle& TFlashShape::SelectFillStyle(const TSWFFillStyle& style) {
  for (std::size_t i = 0; i < Tag.FillStyles.size(); ++i) {
    if (Tag.FillStyles[i].get() == &style) {
      SetFillStyle1(static_cast<std::uint16_t>(i + 1));
      return *Tag.FillStyles[i];
    }
  }
  throw std::invalid_argument("fill style of another shape");
}

TSWFColorFill& TFlashShape::SetSolidColor(std::uint32_t rgba) {
  if ((rgba >> 24) < 0xFF) HasAlpha = true;
  auto fill = std::make_unique<TSWFColorFill>();
  fill->Color = TSWFRGBA(true);
  fill->Color.SetRGBA(rgba);
  return static_cast<TSWFColorFill&>(AddFillStyle(std::move(fill)));
}

TSWFColorFill& TFlashShape::SetSolidColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
  return SetSolidColor(PackRGBA(r, g, b, a));
}

TSWFImageFill& TFlashShape::SetImageFill(TFlashImage& image, std::uint8_t mode, double scaleX, double scaleY) {
  auto fill = std::make_unique<TSWFImageFill>();
  fill->BitmapID = image.CharacterId();
  const auto place = [&](double sx, double sy) {
    fill->Matrix.SetTranslate(Bounds.XMin - 5, Bounds.YMin - 5);
    fill->Matrix.SetScale(sx, sy);
  };
  switch (mode) {
    case 0: place(scaleX * 20, scaleY * 20); break;
    case 1: {
      // Stretched over the bounds; a picture without size cannot be.
      const double w = image.Width() > 0 ? static_cast<double>(Width(true)) / image.Width() : 20.0;
      const double h = image.Height() > 0 ? static_cast<double>(Height(true)) / image.Height() : 20.0;
      place(w + 15.0 / 4096, h + 15.0 / 4096);
      break;
    }
    case 2:
      fill->FillStyleType = 0x40;
      place(scaleX * 20, scaleY * 20);
      break;
    default: break;
  }
  return static_cast<TSWFImageFill&>(AddFillStyle(std::move(fill)));
}

void TFlashShape::AssignFrom(const TBasedSWFObject& source) {
  TFlashVisualObject::AssignFrom(source);
  const auto* s = dynamic_cast<const TFlashShape*>(&source);
  if (s == nullptr) return;
  Bounds = s->Bounds;
  Tag.AssignFrom(s->Tag);
  SetFillStyle0(s->fillStyle0_);
  SetFillStyle1(s->fillStyle1_);
  SetLineStyle(s->lineStyle_);
  HasAlpha = s->HasAlpha;
}

void TFlashShape::WriteToStream(TBitsEngine& be) {
  std::uint16_t widest = 0;
  for (const auto& l : Tag.LineStyles) widest = std::max(widest, l.Width);
  const std::int32_t h = widest / 2;
  TSWFRect bounds;
  bounds.SetRect(Bounds.XMin - h, Bounds.YMin - h, Bounds.XMax + h, Bounds.YMax + h);
  const TLentValue<std::uint16_t> code(Tag.TagCode, HasAlpha ? tagDefineShape3 : tagDefineShape2);
  const TLentValue<bool> alpha(Tag.HasAlpha, HasAlpha);
  const TLentValue<TSWFRect> shapeBounds(Tag.ShapeBounds, bounds);
  Tag.WriteToStream(be);
}

}  // namespace movara::swf
