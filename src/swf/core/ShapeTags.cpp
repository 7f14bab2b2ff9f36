#include "swf/core/ShapeTags.h"

namespace movara::swf {

namespace {

void WriteColor(TBitsEngine& be, const TSWFRGBA& c, bool hasAlpha) {
  if (hasAlpha) {
    be.WriteRGBA(c.RGBA());
  } else {
    be.WriteRGB(c.RGB());
  }
}

void ReadColor(TBitsEngine& be, TSWFRGBA& c, bool hasAlpha) {
  c = TSWFRGBA(hasAlpha);
  if (hasAlpha) {
    c.SetRGBA(be.ReadRGBA());
  } else {
    c.SetRGB(be.ReadRGB());
  }
}

void WriteStyleCount(TBitsEngine& be, std::size_t count) {
  if (count <= 254) {
    be.WriteByte(static_cast<std::uint8_t>(count));
  } else {
    be.WriteByte(0xFF);
    be.WriteWord(static_cast<std::uint16_t>(count));
  }
}

std::size_t ReadStyleCount(TBitsEngine& be) {
  const std::uint8_t count = be.ReadByte();
  return count == 0xFF ? be.ReadWord() : count;
}

void WriteStyleArrays(TBitsEngine& be, TFillStyles& fills, TLineStyles& lines, bool hasAlpha) {
  WriteStyleCount(be, fills.size());
  for (auto& f : fills) {
    f->HasAlpha = hasAlpha;
    f->WriteToStream(be);
  }
  WriteStyleCount(be, lines.size());
  for (auto& l : lines) {
    l.Color.HasAlpha = hasAlpha;
    if (!hasAlpha) l.Color.A = 255;
    l.WriteToStream(be);
  }
}

void ReadStyleArrays(TBitsEngine& be, TFillStyles& fills, TLineStyles& lines, bool hasAlpha) {
  fills.clear();
  lines.clear();
  const std::size_t fillCount = ReadStyleCount(be);
  for (std::size_t i = 0; i < fillCount; ++i) {
    const std::uint8_t type = be.ReadByte();
    auto style = CreateFillStyle(type);
    if (style == nullptr) throw SWFFormatError("unknown fill style type " + std::to_string(type));
    style->HasAlpha = hasAlpha;
    style->ReadFromStream(be);
    fills.push_back(std::move(style));
  }
  const std::size_t lineCount = ReadStyleCount(be);
  for (std::size_t i = 0; i < lineCount; ++i) {
    TSWFLineStyle line;
    line.ReadFromStream(be, hasAlpha);
    lines.push_back(line);
  }
}

}  // namespace

std::uint8_t StyleBits(std::size_t count) {
  std::uint8_t bits = 0;
  while (count >> bits) ++bits;
  return bits;
}

std::unique_ptr<TSWFFillStyle> CreateFillStyle(std::uint8_t type) {
  switch (type) {
    case 0x00: return std::make_unique<TSWFColorFill>();
    case 0x10:
    case 0x12: return std::make_unique<TSWFGradientFill>(type);
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43: return std::make_unique<TSWFImageFill>(type);
    default: return nullptr;
  }
}

// The type byte has been read by the caller.
void TSWFColorFill::ReadFromStream(TBitsEngine& be) { ReadColor(be, Color, HasAlpha); }

void TSWFColorFill::WriteToStream(TBitsEngine& be) const {
  be.WriteByte(FillStyleType);
  WriteColor(be, Color, HasAlpha);
}

void TSWFGradientFill::ReadFromStream(TBitsEngine& be) {
  Matrix.ReadFromStream(be);
  Entries.resize(be.ReadByte());
  for (auto& e : Entries) {
    e.Ratio = be.ReadByte();
    ReadColor(be, e.Color, HasAlpha);
  }
}

void TSWFGradientFill::WriteToStream(TBitsEngine& be) const {
  be.WriteByte(FillStyleType);
  Matrix.WriteToStream(be);
  be.WriteByte(static_cast<std::uint8_t>(Entries.size()));
  for (const auto& e : Entries) {
    be.WriteByte(e.Ratio);
    WriteColor(be, e.Color, HasAlpha);
  }
}

void TSWFImageFill::ReadFromStream(TBitsEngine& be) {
  BitmapID = be.ReadWord();
  Matrix.ReadFromStream(be);
}

void TSWFImageFill::WriteToStream(TBitsEngine& be) const {
  be.WriteByte(FillStyleType);
  be.WriteWord(BitmapID);
  Matrix.WriteToStream(be);
}

void TSWFLineStyle::ReadFromStream(TBitsEngine& be, bool hasAlpha) {
  Width = be.ReadWord();
  ReadColor(be, Color, hasAlpha);
}

void TSWFLineStyle::WriteToStream(TBitsEngine& be) const {
  be.WriteWord(Width);
  WriteColor(be, Color, Color.HasAlpha);
}

void TSWFStraightEdgeRecord::WriteToStream(TBitsEngine& be) {
  if (DeltaX == 0 && DeltaY == 0) return;
  be.WriteBit(true);
  be.WriteBit(true);
  const std::uint32_t n = GetBitsCount(MaxAbs(DeltaX, DeltaY), 1);
  be.WriteBits(n - 2, 4);
  if (DeltaX != 0 && DeltaY != 0) {
    be.WriteBit(true);
    be.WriteSBits(DeltaX, n);
    be.WriteSBits(DeltaY, n);
  } else {
    be.WriteBit(false);
    be.WriteBit(DeltaX == 0);
    be.WriteSBits(DeltaX == 0 ? DeltaY : DeltaX, n);
  }
}

void TSWFCurvedEdgeRecord::WriteToStream(TBitsEngine& be) {
  if (AnchorDeltaX == 0 && AnchorDeltaY == 0 && ControlDeltaX == 0 && ControlDeltaY == 0) return;
  be.WriteBit(true);
  be.WriteBit(false);
  const std::uint32_t n = GetBitsCount(MaxAbs(ControlDeltaX, ControlDeltaY, AnchorDeltaX, AnchorDeltaY), 1);
  be.WriteBits(n - 2, 4);
  be.WriteSBits(ControlDeltaX, n);
  be.WriteSBits(ControlDeltaY, n);
  be.WriteSBits(AnchorDeltaX, n);
  be.WriteSBits(AnchorDeltaY, n);
}

void TSWFStyleChangeRecord::WriteToStream(TBitsEngine& be) {
  be.WriteBit(false);
  be.WriteBit(StateNewStyles);
  be.WriteBit(StateLineStyle);
  be.WriteBit(StateFillStyle1);
  be.WriteBit(StateFillStyle0);
  const bool moveTo = StateFillStyle0 || StateFillStyle1 || StateLineStyle ? StateMoveTo : true;
  be.WriteBit(moveTo);
  if (moveTo) {
    const std::uint32_t n = GetBitsCount(MaxAbs(DeltaX, DeltaY), 1);
    be.WriteBits(n, 5);
    be.WriteSBits(DeltaX, n);
    be.WriteSBits(DeltaY, n);
  }
  if (StateFillStyle0) be.WriteWordBits(fillStyle0_, NumFillBits);
  if (StateFillStyle1) be.WriteWordBits(fillStyle1_, NumFillBits);
  if (StateLineStyle) be.WriteWordBits(lineStyle_, NumLineBits);
  if (StateNewStyles) {
    be.FlushBits(true);
    WriteStyleArrays(be, newFillStyles_, newLineStyles_, HasAlpha);
    NumFillBits = StyleBits(newFillStyles_.size());
    NumLineBits = StyleBits(newLineStyles_.size());
    be.WriteBits(NumFillBits, 4);
    be.WriteBits(NumLineBits, 4);
  }
}

void TSWFDefineShape::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  const auto* s = dynamic_cast<const TSWFDefineShape*>(&source);
  if (s == nullptr) return;
  ShapeID = s->ShapeID;
  ShapeBounds = s->ShapeBounds;
  FillStyles = s->FillStyles;
  LineStyles = s->LineStyles;
  Records = s->Records;
  HasAlpha = s->HasAlpha;
}

namespace {

// Players take a bitmap fill of bitmap 65535 as one without a bitmap.
constexpr std::uint16_t kNoBitmap = 0xFFFF;

void AddBitmapsOf(const TFillStyles& fills, std::vector<std::uint16_t>& ids) {
  for (const auto& fill : fills) {
    const auto* image = dynamic_cast<const TSWFImageFill*>(fill.get());
    if (image != nullptr && image->BitmapID != kNoBitmap) AddUsed(ids, image->BitmapID);
  }
}

}  // namespace

void TSWFDefineShape::UsedCharacters(std::vector<std::uint16_t>& ids) const {
  AddBitmapsOf(FillStyles, ids);
  for (const auto& record : Records) {
    const auto* change = dynamic_cast<const TSWFStyleChangeRecord*>(record.get());
    if (change != nullptr && change->NewFillStylesIfAny() != nullptr) AddBitmapsOf(*change->NewFillStylesIfAny(), ids);
  }
}

void TSWFDefineShape::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(ShapeID);
  ShapeBounds.WriteToStream(be);
  WriteStyleArrays(be, FillStyles, LineStyles, HasAlpha);
  std::uint8_t fillBits = StyleBits(FillStyles.size());
  std::uint8_t lineBits = StyleBits(LineStyles.size());
  be.WriteWordBits(fillBits, 4);
  be.WriteWordBits(lineBits, 4);
  for (std::size_t i = 0; i < Records.size(); ++i) {
    TSWFShapeRecord& record = *Records[i];
    const bool last = i + 1 == Records.size();
    if (auto* change = dynamic_cast<TSWFStyleChangeRecord*>(&record)) {
      change->HasAlpha = HasAlpha;
      change->NumFillBits = fillBits;
      change->NumLineBits = lineBits;
      if (!change->StateNewStyles) {
        if (fillBits == 0) change->StateFillStyle0 = change->StateFillStyle1 = false;
        if (lineBits == 0) change->StateLineStyle = false;
      }
      change->WriteToStream(be);
      if (change->StateNewStyles) fillBits = change->NumFillBits, lineBits = change->NumLineBits;
    } else if (record.Kind != 0 || last) {
      record.WriteToStream(be);
    }
  }
  if (Records.empty() || Records.back()->Kind != 0) TSWFEndShapeRecord().WriteToStream(be);
  be.FlushBits(true);
}

void TSWFDefineShape::ReadFromStream(TBitsEngine& be) {
  ShapeID = be.ReadWord();
  ShapeBounds.ReadFromStream(be);
  ReadStyleArrays(be, FillStyles, LineStyles, HasAlpha);
  std::uint8_t fillBits = static_cast<std::uint8_t>(be.ReadBits(4));
  std::uint8_t lineBits = static_cast<std::uint8_t>(be.ReadBits(4));
  Records.clear();
  for (;;) {
    if (be.ReadBit()) {
      if (be.ReadBit()) {
        const std::uint32_t n = be.ReadBits(4) + 2;
        auto edge = std::make_unique<TSWFStraightEdgeRecord>();
        if (be.ReadBit()) {
          edge->DeltaX = be.ReadSBits(n);
          edge->DeltaY = be.ReadSBits(n);
        } else if (be.ReadBit()) {
          edge->DeltaY = be.ReadSBits(n);
        } else {
          edge->DeltaX = be.ReadSBits(n);
        }
        Records.push_back(std::move(edge));
      } else {
        const std::uint32_t n = be.ReadBits(4) + 2;
        auto curve = std::make_unique<TSWFCurvedEdgeRecord>();
        curve->ControlDeltaX = be.ReadSBits(n);
        curve->ControlDeltaY = be.ReadSBits(n);
        curve->AnchorDeltaX = be.ReadSBits(n);
        curve->AnchorDeltaY = be.ReadSBits(n);
        Records.push_back(std::move(curve));
      }
      continue;
    }
    const std::uint32_t flags = be.ReadBits(5);
    if (flags == 0) {
      Records.push_back(std::make_unique<TSWFEndShapeRecord>());
      break;
    }
    auto change = std::make_unique<TSWFStyleChangeRecord>();
    change->HasAlpha = HasAlpha;
    change->NumFillBits = fillBits;
    change->NumLineBits = lineBits;
    const bool newStyles = (flags & 0x10) != 0;
    if (flags & 0x01) {
      change->StateMoveTo = true;
      const std::uint32_t n = be.ReadBits(5);
      change->DeltaX = be.ReadSBits(n);
      change->DeltaY = be.ReadSBits(n);
    }
    if (flags & 0x02) change->SetFillStyle0(static_cast<std::uint16_t>(be.ReadBits(fillBits)));
    if (flags & 0x04) change->SetFillStyle1(static_cast<std::uint16_t>(be.ReadBits(fillBits)));
    if (flags & 0x08) change->SetLineStyle(static_cast<std::uint16_t>(be.ReadBits(lineBits)));
    if (newStyles) {
      be.FlushBits(false);
      ReadStyleArrays(be, change->NewFillStyles(), change->NewLineStyles(), HasAlpha);
      fillBits = static_cast<std::uint8_t>(be.ReadBits(4));
      lineBits = static_cast<std::uint8_t>(be.ReadBits(4));
      change->NumFillBits = fillBits;
      change->NumLineBits = lineBits;
    }
    Records.push_back(std::move(change));
  }
  be.FlushBits(false);
}

}  // namespace movara::swf
