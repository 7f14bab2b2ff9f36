#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/Cloneable.h"
#include "swf/core/Records.h"
#include "swf/core/SWFObject.h"
#include "swf/core/TagCodes.h"

namespace movara::swf {

// Fill styles. HasAlpha is imposed by the owning shape or record just
// before writing or reading. Each class derives through TCloneable.
class TSWFFillStyle {
 public:
  explicit TSWFFillStyle(std::uint8_t type) : FillStyleType(type) {}
  virtual ~TSWFFillStyle() = default;
  bool HasAlpha = false;
  std::uint8_t FillStyleType;
  virtual std::unique_ptr<TSWFFillStyle> Clone() const = 0;
  virtual void ReadFromStream(TBitsEngine& be) = 0;
  virtual void WriteToStream(TBitsEngine& be) const = 0;

 protected:
  TSWFFillStyle(const TSWFFillStyle&) = default;
};

class TSWFColorFill final : public TCloneable<TSWFColorFill, TSWFFillStyle> {
 public:
  TSWFColorFill() : TCloneable(0x00) {}
  TSWFRGBA Color;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteToStream(TBitsEngine& be) const override;
};

class TSWFGradientFill final : public TCloneable<TSWFGradientFill, TSWFFillStyle> {
 public:
  explicit TSWFGradientFill(std::uint8_t type = 0x10) : TCloneable(type) {}
  struct Entry {
    std::uint8_t Ratio = 0;
    TSWFRGBA Color;
  };
  TSWFMatrix Matrix;
  std::vector<Entry> Entries;  // 1..8
  void ReadFromStream(TBitsEngine& be) override;
  void WriteToStream(TBitsEngine& be) const override;
};

class TSWFImageFill final : public TCloneable<TSWFImageFill, TSWFFillStyle> {
 public:
  explicit TSWFImageFill(std::uint8_t type = 0x41) : TCloneable(type) {}
  std::uint16_t BitmapID = 0;
  TSWFMatrix Matrix;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteToStream(TBitsEngine& be) const override;
};

// The fill style class for a FillStyleType, or none for an unknown type.
std::unique_ptr<TSWFFillStyle> CreateFillStyle(std::uint8_t type);

struct TSWFLineStyle {
  std::uint16_t Width = 0;
  TSWFRGBA Color{false};
  void ReadFromStream(TBitsEngine& be, bool hasAlpha);
  void WriteToStream(TBitsEngine& be) const;
};

using TFillStyles = TOwningList<TSWFFillStyle>;
using TLineStyles = std::vector<TSWFLineStyle>;

class TSWFShapeRecord {
 public:
  explicit TSWFShapeRecord(std::uint8_t kind) : Kind(kind) {}
  virtual ~TSWFShapeRecord() = default;
  std::uint8_t Kind;
  virtual std::unique_ptr<TSWFShapeRecord> Clone() const = 0;
  virtual void WriteToStream(TBitsEngine& be) = 0;

 protected:
  TSWFShapeRecord(const TSWFShapeRecord&) = default;
};

class TSWFEndShapeRecord final : public TCloneable<TSWFEndShapeRecord, TSWFShapeRecord> {
 public:
  TSWFEndShapeRecord() : TCloneable(0) {}
  void WriteToStream(TBitsEngine& be) override { be.WriteByteBits(0, 6); }
};

class TSWFStraightEdgeRecord : public TCloneable<TSWFStraightEdgeRecord, TSWFShapeRecord> {
 public:
  TSWFStraightEdgeRecord() : TCloneable(2) {}
  TSWFStraightEdgeRecord(std::int32_t dx, std::int32_t dy) : TCloneable(2), DeltaX(dx), DeltaY(dy) {}
  std::int32_t DeltaX = 0;
  std::int32_t DeltaY = 0;
  void WriteToStream(TBitsEngine& be) override;

 protected:
  explicit TSWFStraightEdgeRecord(std::uint8_t kind) : TCloneable(kind) {}
};

class TSWFCurvedEdgeRecord final : public TCloneable<TSWFCurvedEdgeRecord, TSWFShapeRecord> {
 public:
  TSWFCurvedEdgeRecord() : TCloneable(3) {}
  std::int32_t AnchorDeltaX = 0;
  std::int32_t AnchorDeltaY = 0;
  std::int32_t ControlDeltaX = 0;
  std::int32_t ControlDeltaY = 0;
  void WriteToStream(TBitsEngine& be) override;
};

// A style change; its move deltas are DeltaX and DeltaY of the base.
class TSWFStyleChangeRecord final : public TCloneable<TSWFStyleChangeRecord, TSWFStraightEdgeRecord> {
 public:
  TSWFStyleChangeRecord() : TCloneable(1) {}
  std::uint8_t NumFillBits = 0;
  std::uint8_t NumLineBits = 0;
  bool StateFillStyle0 = false;
  bool StateFillStyle1 = false;
  bool StateLineStyle = false;
  bool StateMoveTo = false;
  bool StateNewStyles = false;
  bool HasAlpha = false;

  std::uint16_t FillStyle0() const { return fillStyle0_; }
  std::uint16_t FillStyle1() const { return fillStyle1_; }
  std::uint16_t LineStyle() const { return lineStyle_; }
  void SetFillStyle0(std::uint16_t v) { fillStyle0_ = v, StateFillStyle0 = true; }
  void SetFillStyle1(std::uint16_t v) { fillStyle1_ = v, StateFillStyle1 = true; }
  void SetLineStyle(std::uint16_t v) { lineStyle_ = v, StateLineStyle = true; }
  void SetMoveTo(std::int32_t x, std::int32_t y) { DeltaX = x, DeltaY = y, StateMoveTo = true; }
  TFillStyles& NewFillStyles() { return StateNewStyles = true, newFillStyles_; }
  const TFillStyles* NewFillStylesIfAny() const { return StateNewStyles ? &newFillStyles_ : nullptr; }
  TLineStyles& NewLineStyles() { return StateNewStyles = true, newLineStyles_; }

  void WriteToStream(TBitsEngine& be) override;

 private:
  std::uint16_t fillStyle0_ = 0;
  std::uint16_t fillStyle1_ = 0;
  std::uint16_t lineStyle_ = 0;
  TFillStyles newFillStyles_;
  TLineStyles newLineStyles_;
};

// DefineShape (code 2); the owner may switch the code to 22 or 32 and set
// HasAlpha to match before writing.
class TSWFDefineShape : public TSWFObject {
 public:
  TSWFDefineShape() : TSWFObject(tagDefineShape) {}
  std::uint16_t ShapeID = 0;
  TSWFRect ShapeBounds;
  TFillStyles FillStyles;
  TLineStyles LineStyles;
  TOwningList<TSWFShapeRecord> Records;
  bool HasAlpha = false;

  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;
  std::uint16_t DefinedCharacter() const override { return ShapeID; }
  // The bitmaps of its bitmap fills, the shape's own and the records' new
  // ones.
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override;

 protected:
  TSWFDefineShape(std::uint16_t code, bool hasAlpha) : TSWFObject(code), HasAlpha(hasAlpha) {}
};

class TSWFDefineShape3 final : public TSWFDefineShape {
 public:
  TSWFDefineShape3() : TSWFDefineShape(tagDefineShape3, true) {}
  std::uint8_t MinVersion() const override { return 3; }
};

// Bits needed for a style count as an unsigned value.
std::uint8_t StyleBits(std::size_t count);

}  // namespace movara::swf
