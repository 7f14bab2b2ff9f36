#include "swf/core/ActionList.h"

#include <algorithm>
#include <map>

#include "base/MemoryStream.h"

namespace movara::swf {

namespace {

// The offset fields of an action that branch or size a block, in the order
// their targets follow one another.
std::vector<TOffsetField*> OffsetFields(TSWFAction& action) {
  if (auto* j = dynamic_cast<TSWFActionJump*>(&action)) return {&j->BranchOffset};
  if (auto* w = dynamic_cast<TSWFActionWith*>(&action)) return {&w->Size};
  if (auto* f = dynamic_cast<TSWFActionDefineFunction*>(&action)) return {&f->CodeSize};
  if (auto* f2 = dynamic_cast<TSWFActionDefineFunction2*>(&action)) return {&f2->CodeSize};
  if (auto* t = dynamic_cast<TSWFActionTry*>(&action)) {
    std::vector<TOffsetField*> fields = {&t->TrySize};
    if (t->CatchBlock) fields.push_back(&t->CatchSize);
    if (t->FinallyBlock) fields.push_back(&t->FinallySize);
    return fields;
  }
  return {};
}

std::uint16_t Word(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// Walks the records from the start of bytes; returns the offset of the
// terminating 0 code, or bytes.size() when there is none.
std::size_t FindEnd(std::span<const std::uint8_t> bytes) {
  std::size_t pos = 0;
  while (pos < bytes.size() && bytes[pos] != 0) {
    if (bytes[pos] < 0x80) {
      ++pos;
    } else {
      if (bytes.size() - pos < 3) throw SWFFormatError("action record header cut short");
      const std::size_t length = Word(bytes, pos + 1);
      if (bytes.size() - pos - 3 < length) throw SWFFormatError("action payload runs past its block");
      pos += 3 + length;
    }
  }
  return pos;
}

std::unique_ptr<TSWFAction> ParseRecord(std::span<const std::uint8_t> bytes, std::size_t& pos) {
  const std::uint8_t code = bytes[pos];
  // 254 and 255 are this library's own pseudo-actions; in a file they are
  // just codes nobody knows.
  std::unique_ptr<TSWFAction> action = code >= 254 ? nullptr : CreateAction(code);
  if (action == nullptr) action = std::make_unique<TSWFActionUnknown>(code);
  if (code < 0x80) {
    ++pos;
    return action;
  }
  const std::uint16_t length = Word(bytes, pos + 1);
  const auto payload = bytes.subspan(pos + 3, length);
  TMemoryViewStream stream(payload);
  TBitsEngine be(stream);
  action->ReadData(be);
  if (stream.Remaining() > 0) throw SWFFormatError("action payload longer than its fields");
  action->Length = length;
  pos += 3 + length;
  return action;
}

}  // namespace

TSWFAction& TSWFActionList::Add(std::unique_ptr<TSWFAction> action) {
  items_.push_back(std::move(action));
  return *items_.back();
}

void TSWFActionList::Append(TSWFActionList&& other) {
  for (auto& a : other.items_) items_.push_back(std::move(a));
  other.items_.clear();
}

std::uint8_t TSWFActionList::MinVersion() const {
  std::uint8_t v = 3;
  for (const auto& a : items_) v = std::max(v, a->MinVersion());
  return v;
}

void TSWFActionList::WriteActions(TBitsEngine& be) const {
  for (const auto& a : items_) {
    if (auto* m = dynamic_cast<TSWFOffsetMarker*>(a.get())) m->Reset();
  }
  for (const auto& a : items_) a->WriteToStream(be);
}

bool TSWFActionList::NeedsEndByte() const {
  if (items_.empty()) return true;
  const TSWFAction& last = *items_.back();
  if (last.ActionCode == 0 || last.ActionCode == TSWFOffsetMarker::kCode) return false;
  if (const auto* raw = dynamic_cast<const TSWFActionByteCode*>(&last)) return raw->Data.empty() || raw->Data.back() != 0;
  return true;
}

TSWFActionList TSWFActionList::Clone() const {
  TSWFActionList copy;
  std::map<const TSWFOffsetMarker*, TSWFOffsetMarker*> markers;
  for (const auto& a : items_) {
    TSWFAction& c = copy.Add(a->Clone());
    if (const auto* m = dynamic_cast<const TSWFOffsetMarker*>(a.get())) markers[m] = static_cast<TSWFOffsetMarker*>(&c);
  }
  for (const auto& a : copy.items_) {
    for (TOffsetField* field : OffsetFields(*a)) {
      if (field->Marker != nullptr) {
        const auto found = markers.find(field->Marker);
        field->Marker = found != markers.end() ? found->second : nullptr;
      }
    }
  }
  return copy;
}

TSWFActionList TSWFActionList::Read(std::span<const std::uint8_t> bytes) {
  const std::size_t end = FindEnd(bytes);
  TSWFActionList parsed;
  std::vector<std::size_t> starts;
  std::size_t pos = 0;
  while (pos < end) {
    starts.push_back(pos);
    parsed.items_.push_back(ParseRecord(bytes, pos));
  }
  starts.push_back(end);

  // Markers go where offsets point, when that is the start of an action or
  // the end of the list; offsets into the middle of an action stay explicit.
  std::vector<std::pair<std::size_t, std::unique_ptr<TSWFOffsetMarker>>> placed;
  for (std::size_t i = 0; i < parsed.items_.size(); ++i) {
    std::int64_t target = static_cast<std::int64_t>(starts[i + 1]);
    for (TOffsetField* field : OffsetFields(*parsed.items_[i])) {
      target += field->Value;
      const auto at = std::find(starts.begin(), starts.end(), target);
      if (target < 0 || at == starts.end()) continue;
      auto marker = std::make_unique<TSWFOffsetMarker>();
      marker->IsBefore = target <= static_cast<std::int64_t>(starts[i]);
      field->Marker = marker.get();
      placed.emplace_back(static_cast<std::size_t>(at - starts.begin()), std::move(marker));
    }
  }
  if (placed.empty()) return parsed;
  std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  TSWFActionList merged;
  std::size_t next = 0;
  for (std::size_t i = 0; i <= parsed.items_.size(); ++i) {
    for (; next < placed.size() && placed[next].first == i; ++next) merged.items_.push_back(std::move(placed[next].second));
    if (i < parsed.items_.size()) merged.items_.push_back(std::move(parsed.items_[i]));
  }
  return merged;
}

TSWFActionList TSWFActionList::ReadTerminated(std::span<const std::uint8_t> bytes, bool parse, std::size_t& consumed) {
  const std::size_t end = FindEnd(bytes);
  consumed = end < bytes.size() ? end + 1 : end;
  if (parse) return Read(bytes.first(end));
  TSWFActionList raw;
  if (end > 0) raw.Add<TSWFActionByteCode>().Data.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(end));
  return raw;
}

void TSWFDoAction::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFDoAction*>(&source)) {
    ParseActions = s->ParseActions;
    Actions = s->Actions.Clone();
  }
}

void TSWFDoAction::ReadFromStream(TBitsEngine& be) {
  const std::vector<std::uint8_t> body = be.ReadRest();
  std::size_t consumed = 0;
  Actions = TSWFActionList::ReadTerminated(body, ParseActions, consumed);
  if (consumed != body.size()) throw SWFFormatError("bytes after the actions of a DoAction tag");
}

void TSWFDoAction::WriteTagBody(TBitsEngine& be) {
  Actions.WriteActions(be);
  be.WriteByte(0);
}

void TSWFDoInitAction::AssignFrom(const TBasedSWFObject& source) {
  TSWFDoAction::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFDoInitAction*>(&source)) SpriteID = s->SpriteID;
}

void TSWFDoInitAction::ReadFromStream(TBitsEngine& be) {
  SpriteID = be.ReadWord();
  TSWFDoAction::ReadFromStream(be);
}

void TSWFDoInitAction::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(SpriteID);
  TSWFDoAction::WriteTagBody(be);
}

}  // namespace movara::swf
