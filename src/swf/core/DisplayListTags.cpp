#include "swf/core/DisplayListTags.h"

#include "base/MemoryStream.h"

namespace movara::swf {

void TSWFBasedPlaceObject::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFBasedPlaceObject*>(&source)) {
    CharacterId = s->CharacterId;
    Depth = s->Depth;
  }
}

void TSWFClipActionRecord::SetKeyCode(std::uint8_t code) {
  keyCode_ = code;
  EventFlags = code != 0 ? EventFlags | ceKeyPress : EventFlags & ~std::uint32_t{ceKeyPress};
}

TSWFClipActionRecord& TSWFClipActions::AddRecord(std::uint32_t eventFlags, std::uint8_t keyCode) {
  auto record = std::make_unique<TSWFClipActionRecord>();
  record->EventFlags = eventFlags;
  if (keyCode != 0) record->SetKeyCode(keyCode);
  AllEventFlags |= record->EventFlags;
  Records.push_back(std::move(record));
  return *Records.back();
}

void TSWFPlaceObject2::SetCharacterId(std::uint16_t value) {
  CharacterId = value;
  HasCharacter = true;
}

TSWFMatrix& TSWFPlaceObject2::Matrix() {
  if (!matrix_) matrix_ = std::make_unique<TSWFMatrix>();
  HasMatrix = true;
  return *matrix_;
}

TSWFColorTransform& TSWFPlaceObject2::ColorTransform() {
  if (!colorTransform_) {
    colorTransform_ = std::make_unique<TSWFColorTransform>();
    colorTransform_->HasAlpha = true;
  }
  HasColorTransform = true;
  return *colorTransform_;
}

TSWFClipActions& TSWFPlaceObject2::ClipActions() {
  if (!clipActions_) clipActions_ = std::make_unique<TSWFClipActions>();
  HasClipActions = true;
  return *clipActions_;
}

void TSWFPlaceObject2::AssignFrom(const TBasedSWFObject& source) {
  TSWFBasedPlaceObject::AssignFrom(source);
  const auto* s = dynamic_cast<const TSWFPlaceObject2*>(&source);
  if (s == nullptr) return;
  HasCharacter = s->HasCharacter, HasClipActions = s->HasClipActions, HasClipDepth = s->HasClipDepth;
  HasColorTransform = s->HasColorTransform, HasMatrix = s->HasMatrix, HasRatio = s->HasRatio, Move = s->Move;
  SWFVersion = s->SWFVersion;
  matrix_ = s->matrix_ ? std::make_unique<TSWFMatrix>(*s->matrix_) : nullptr;
  colorTransform_ = s->colorTransform_ ? std::make_unique<TSWFColorTransform>(*s->colorTransform_) : nullptr;
  clipActions_.reset();
  if (s->clipActions_) {
    clipActions_ = std::make_unique<TSWFClipActions>();
    clipActions_->AllEventFlags = s->clipActions_->AllEventFlags;
    for (const auto& r : s->clipActions_->Records) {
      auto copy = std::make_unique<TSWFClipActionRecord>();
      copy->EventFlags = r->EventFlags;
      copy->SetKeyCode(r->KeyCode());
      copy->EventFlags = r->EventFlags;
      copy->Actions = r->Actions.Clone();
      clipActions_->Records.push_back(std::move(copy));
    }
  }
  clipDepth_ = s->clipDepth_;
  ratio_ = s->ratio_;
  name_ = s->name_;
}

std::uint8_t TSWFPlaceObject2::MinVersion() const {
  if (!WritesClipActions()) return 3;
  return std::max<std::uint8_t>(SWFVersion, 5);
}

void TSWFPlaceObject2::WriteEventFlags(TBitsEngine& be, std::uint32_t flags) const {
  for (int bit = 0; bit < 16; ++bit) be.WriteBit((flags >> bit) & 1);
  if (SWFVersion >= 6) {
    be.WriteBits(0, 5);
    for (int bit = 16; bit < 19; ++bit) be.WriteBit((flags >> bit) & 1);
    be.WriteBits(0, 8);
  }
}

std::uint32_t TSWFPlaceObject2::ReadEventFlags(TBitsEngine& be) const {
  std::uint32_t flags = 0;
  for (int bit = 0; bit < 16; ++bit) flags |= std::uint32_t{be.ReadBit()} << bit;
  if (SWFVersion >= 6) {
    be.ReadBits(5);
    for (int bit = 16; bit < 19; ++bit) flags |= std::uint32_t{be.ReadBit()} << bit;
    be.ReadBits(8);
  }
  return flags;
}

void TSWFPlaceObject2::WriteTagBody(TBitsEngine& be) {
  const bool clip = WritesClipActions();
  for (const bool flag : {clip, HasClipDepth, HasName(), HasRatio, HasColorTransform, HasMatrix, HasCharacter, Move}) {
    be.WriteBit(flag);
  }
  be.WriteWord(Depth);
  if (HasCharacter) be.WriteWord(CharacterId);
  if (HasMatrix) Matrix().WriteToStream(be);
  if (HasColorTransform) ColorTransform().WriteToStream(be);
  if (HasRatio) be.WriteWord(ratio_);
  if (HasName()) be.WriteText(name_);
  if (HasClipDepth) be.WriteWord(clipDepth_);
  if (!clip) return;
  SWFVersion = std::max(SWFVersion, MinVersion());
  be.WriteWord(0);
  WriteEventFlags(be, clipActions_->AllEventFlags);
  be.FlushBits(true);
  for (const auto& record : clipActions_->Records) {
    WriteEventFlags(be, record->EventFlags);
    be.FlushBits(true);
    const std::uint64_t sizeAt = be.Stream.Position();
    be.WriteDWord(std::uint32_t{0});
    if ((record->EventFlags & ceKeyPress) != 0) be.WriteByte(record->KeyCode());
    if (record->Actions.Empty()) {
      be.WriteByte(0);
    } else {
      record->Actions.WriteActions(be);
      if (record->Actions.NeedsEndByte()) be.WriteByte(0);
    }
    const std::uint64_t end = be.Stream.Position();
    be.Stream.Seek(sizeAt);
    be.WriteDWord(static_cast<std::uint32_t>(end - sizeAt - 4));
    be.Stream.Seek(end);
  }
  if (SWFVersion < 6) {
    be.WriteWord(0);
  } else {
    be.WriteDWord(std::uint32_t{0});
  }
}

void TSWFPlaceObject2::ReadFromStream(TBitsEngine& be) {
  const bool clip = be.ReadBit();
  HasClipDepth = be.ReadBit();
  const bool hasName = be.ReadBit();
  HasRatio = be.ReadBit();
  HasColorTransform = be.ReadBit();
  HasMatrix = be.ReadBit();
  HasCharacter = be.ReadBit();
  Move = be.ReadBit();
  Depth = be.ReadWord();
  if (HasCharacter) CharacterId = be.ReadWord();
  if (HasMatrix) Matrix().ReadFromStream(be);
  if (HasColorTransform) ColorTransform().ReadFromStream(be, true);
  if (HasRatio) ratio_ = be.ReadWord();
  if (hasName) name_ = be.ReadText();
  if (HasClipDepth) clipDepth_ = be.ReadWord();
  if (!clip) return;
  TSWFClipActions& actions = ClipActions();
  be.ReadWord();
  actions.AllEventFlags = ReadEventFlags(be);
  be.FlushBits(false);
  for (;;) {
    const std::uint32_t flags = ReadEventFlags(be);
    be.FlushBits(false);
    if (flags == 0) break;  // the end flag
    const std::uint32_t size = be.ReadDWord();
    if (size > be.Stream.Remaining()) throw SWFFormatError("clip action record runs past its tag");
    std::vector<std::uint8_t> bytes(size);
    be.ReadBytes(bytes.data(), bytes.size());
    auto record = std::make_unique<TSWFClipActionRecord>();
    record->EventFlags = flags;
    std::span<const std::uint8_t> rest(bytes);
    if ((flags & ceKeyPress) != 0) {
      if (rest.empty()) throw SWFFormatError("clip action record without its key code");
      record->SetKeyCode(rest[0]);
      record->EventFlags = flags;
      rest = rest.subspan(1);
    }
    std::size_t consumed = 0;
    record->Actions = TSWFActionList::ReadTerminated(rest, true, consumed);
    if (consumed != rest.size()) throw SWFFormatError("bytes after the actions of a clip action record");
    actions.Records.push_back(std::move(record));
  }
}

void TSWFRemoveObject::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  AssignSame(*this, source);
}

void TSWFRemoveObject::ReadFromStream(TBitsEngine& be) {
  CharacterId = be.ReadWord();
  Depth = be.ReadWord();
}

void TSWFRemoveObject::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(CharacterId);
  be.WriteWord(Depth);
}

void TSWFRemoveObject2::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  AssignSame(*this, source);
}

}  // namespace movara::swf
