#include "swf/core/ButtonTags.h"

#include "base/MemoryStream.h"

namespace movara::swf {

namespace {

// Condition bits in the order they are written, first byte first.
constexpr std::uint16_t kConditionOrder[8] = {bcIdleToOverDown, bcOutDownToIdle, bcOutDownToOverDown,
                                              bcOverDownToOutDown, bcOverDownToOverUp, bcOverUpToOverDown,
                                              bcOverUpToIdle, bcIdleToOverUp};

void ReadRecords(TBitsEngine& be, TButtonRecords& records, bool withColorTransform) {
  records.clear();
  for (;;) {
    const std::uint8_t flags = be.ReadByte();
    if (flags == 0) return;
    auto record = std::make_unique<TSWFButtonRecord>();
    record->States = static_cast<std::uint8_t>(((flags & 0x08) ? bsHitTest : 0) | ((flags & 0x04) ? bsDown : 0) |
                                               ((flags & 0x02) ? bsOver : 0) | ((flags & 0x01) ? bsUp : 0));
    record->ReadFromStream(be, withColorTransform);
    records.push_back(std::move(record));
  }
}

}  // namespace

TSWFMatrix& TSWFButtonRecord::Matrix() {
  if (!matrix_) matrix_ = std::make_unique<TSWFMatrix>();
  return *matrix_;
}

TSWFColorTransform& TSWFButtonRecord::ColorTransform() {
  if (!colorTransform_) {
    colorTransform_ = std::make_unique<TSWFColorTransform>();
    colorTransform_->HasAlpha = true;
  }
  HasColorTransform = true;
  return *colorTransform_;
}

void TSWFButtonRecord::WriteToStream(TBitsEngine& be) {
  be.WriteByteBits(0, 4);
  be.WriteBit((States & bsHitTest) != 0);
  be.WriteBit((States & bsDown) != 0);
  be.WriteBit((States & bsOver) != 0);
  be.WriteBit((States & bsUp) != 0);
  be.WriteWord(CharacterId);
  be.WriteWord(PlaceDepth);
  if (matrix_) {
    matrix_->WriteToStream(be);
  } else {
    TSWFMatrix().WriteToStream(be);
  }
  if (HasColorTransform) ColorTransform().WriteToStream(be);
}

void TSWFButtonRecord::ReadFromStream(TBitsEngine& be, bool withColorTransform) {
  CharacterId = be.ReadWord();
  PlaceDepth = be.ReadWord();
  Matrix().ReadFromStream(be);
  if (withColorTransform) ColorTransform().ReadFromStream(be, true);
}

TSWFButtonRecord& TSWFBasedButton::AddRecord(std::uint16_t characterId, std::uint16_t depth, std::uint8_t states) {
  auto record = std::make_unique<TSWFButtonRecord>();
  record->CharacterId = characterId;
  record->PlaceDepth = depth;
  record->States = states;
  Records.push_back(std::move(record));
  return *Records.back();
}

void TSWFBasedButton::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFBasedButton*>(&source)) {
    ButtonId = s->ButtonId;
    ParseActions = s->ParseActions;
    Records = s->Records;
  }
}

void TSWFDefineButton::AssignFrom(const TBasedSWFObject& source) {
  TSWFBasedButton::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFDefineButton*>(&source)) Actions = s->Actions.Clone();
}

void TSWFDefineButton::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(ButtonId);
  for (auto& r : Records) r->WriteToStream(be);
  be.WriteByte(0);
  Actions.WriteActions(be);
  be.WriteByte(0);
}

void TSWFDefineButton::ReadFromStream(TBitsEngine& be) {
  ButtonId = be.ReadWord();
  ReadRecords(be, Records, false);
  const std::vector<std::uint8_t> rest = be.ReadRest();
  std::size_t consumed = 0;
  Actions = TSWFActionList::ReadTerminated(rest, ParseActions, consumed);
  if (consumed != rest.size()) throw SWFFormatError("bytes after the actions of a button");
}

TSWFButtonCondAction& TSWFDefineButton2::AddCondAction(std::uint16_t conditions) {
  auto cond = std::make_unique<TSWFButtonCondAction>();
  cond->Conditions = conditions;
  Actions.push_back(std::move(cond));
  return *Actions.back();
}

void TSWFDefineButton2::AssignFrom(const TBasedSWFObject& source) {
  TSWFBasedButton::AssignFrom(source);
  const auto* s = dynamic_cast<const TSWFDefineButton2*>(&source);
  if (s == nullptr) return;
  TrackAsMenu = s->TrackAsMenu;
  Actions.clear();
  for (const auto& c : s->Actions) {
    TSWFButtonCondAction& copy = AddCondAction(c->Conditions);
    copy.KeyCode = c->KeyCode;
    copy.Actions = c->Actions.Clone();
  }
}

void TSWFDefineButton2::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(ButtonId);
  be.WriteByte(TrackAsMenu ? 1 : 0);
  const std::uint64_t offsetAt = be.Stream.Position();
  be.WriteWord(0);
  for (auto& r : Records) {
    r->HasColorTransform = true;
    r->WriteToStream(be);
  }
  be.WriteByte(0);
  if (Actions.empty()) return;
  const auto patch = [&be](std::uint64_t at, std::uint64_t value) {
    const std::uint64_t end = be.Stream.Position();
    be.Stream.Seek(at);
    be.WriteWord(static_cast<std::uint16_t>(value));
    be.Stream.Seek(end);
  };
  patch(offsetAt, be.Stream.Position() - offsetAt);
  for (std::size_t i = 0; i < Actions.size(); ++i) {
    const TSWFButtonCondAction& cond = *Actions[i];
    const std::uint64_t sizeAt = be.Stream.Position();
    be.WriteWord(0);
    for (const std::uint16_t bit : kConditionOrder) be.WriteBit((cond.Conditions & bit) != 0);
    be.WriteBits(cond.KeyCode, 7);
    be.WriteBit((cond.Conditions & bcOverDownToIdle) != 0);
    cond.Actions.WriteActions(be);
    be.WriteByte(0);
    if (i + 1 < Actions.size()) patch(sizeAt, be.Stream.Position() - sizeAt);
  }
}

void TSWFDefineButton2::ReadFromStream(TBitsEngine& be) {
  ButtonId = be.ReadWord();
  TrackAsMenu = (be.ReadByte() & 1) != 0;
  const std::uint16_t actionOffset = be.ReadWord();
  ReadRecords(be, Records, true);
  Actions.clear();
  const std::vector<std::uint8_t> rest = be.ReadRest();
  if (actionOffset == 0) {
    if (!rest.empty()) throw SWFFormatError("bytes after the records of a button without actions");
    return;
  }
  std::span<const std::uint8_t> left(rest);
  for (;;) {
    if (left.size() < 4) throw SWFFormatError("button condition action cut short");
    const std::uint16_t size = static_cast<std::uint16_t>(left[0] | (left[1] << 8));
    if (size != 0 && (size < 4 || size > left.size())) throw SWFFormatError("button condition size out of range");
    const auto block = size == 0 ? left : left.first(size);
    auto cond = std::make_unique<TSWFButtonCondAction>();
    for (int i = 0; i < 8; ++i) {
      if ((block[2] >> (7 - i)) & 1) cond->Conditions |= kConditionOrder[i];
    }
    cond->KeyCode = static_cast<std::uint8_t>(block[3] >> 1);
    if (block[3] & 1) cond->Conditions |= bcOverDownToIdle;
    std::size_t consumed = 0;
    cond->Actions = TSWFActionList::ReadTerminated(block.subspan(4), ParseActions, consumed);
    if (consumed != block.size() - 4) throw SWFFormatError("bytes after the actions of a button condition");
    Actions.push_back(std::move(cond));
    if (size == 0) return;
    left = left.subspan(size);
  }
}

TSWFStartSound& TSWFDefineButtonSound::Sound(Slot slot) {
  if (!sounds_[slot]) sounds_[slot] = std::make_unique<TSWFStartSound>();
  return *sounds_[slot];
}

void TSWFDefineButtonSound::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  const auto* s = dynamic_cast<const TSWFDefineButtonSound*>(&source);
  if (s == nullptr) return;
  ButtonId = s->ButtonId;
  for (std::size_t i = 0; i < sounds_.size(); ++i) {
    sounds_[i].reset();
    if (s->sounds_[i]) Sound(static_cast<Slot>(i)).CopyFields(*s->sounds_[i]);
  }
}

void TSWFDefineButtonSound::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(ButtonId);
  for (auto& sound : sounds_) {
    if (sound && sound->SoundId != 0) {
      sound->WriteTagBody(be);
    } else {
      be.WriteWord(0);
    }
  }
}

void TSWFDefineButtonSound::ReadFromStream(TBitsEngine& be) {
  ButtonId = be.ReadWord();
  for (std::size_t i = 0; i < sounds_.size(); ++i) {
    sounds_[i].reset();
    const std::uint16_t id = be.ReadWord();
    if (id == 0) continue;
    // The sound id has been read; put it back in front of the sound info.
    be.Stream.Seek(be.Stream.Position() - 2);
    Sound(static_cast<Slot>(i)).ReadFromStream(be);
  }
}

}  // namespace movara::swf
