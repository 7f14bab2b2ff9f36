#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "swf/core/ActionRecords.h"
#include "swf/core/SWFObject.h"
#include "swf/core/TagCodes.h"

namespace movara::swf {

// The owning list of actions in execution order, offset markers included.
class TSWFActionList {
 public:
  TSWFActionList() = default;
  TSWFActionList(const TSWFActionList&) = delete;
  TSWFActionList& operator=(const TSWFActionList&) = delete;
  TSWFActionList(TSWFActionList&&) = default;
  TSWFActionList& operator=(TSWFActionList&&) = default;

  template <class T, class... Args>
  T& Add(Args&&... args) {
    auto action = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *action;
    items_.push_back(std::move(action));
    return ref;
  }
  TSWFAction& Add(std::unique_ptr<TSWFAction> action);
  // Moves every action of another list to the end of this one; offsets keep
  // their markers.
  void Append(TSWFActionList&& other);
  // A marker at the current end of the list.
  TSWFOffsetMarker& AddMarker() { return Add<TSWFOffsetMarker>(); }

  std::size_t Count() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }
  TSWFAction& operator[](std::size_t i) const { return *items_[i]; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }
  void Clear() { items_.clear(); }

  // The largest MinVersion of the actions, at least 3.
  std::uint8_t MinVersion() const;
  // Writes every action in order (markers patch their referrers).
  void WriteActions(TBitsEngine& be) const;
  // Whether a terminating 0 byte is still needed after the actions: not when
  // the last is an End action, a marker, or raw bytes ending in 0.
  bool NeedsEndByte() const;
  // A deep copy, with markers re-linked to the copied referrers.
  TSWFActionList Clone() const;

  // Parses action records from bytes up to a 0 code or their end, then
  // places markers where branch and block offsets point.
  static TSWFActionList Read(std::span<const std::uint8_t> bytes);
  // Parses actions up to and including their terminating 0 byte (or the end
  // of bytes); `consumed` tells how many bytes that took. Unparsed, the
  // actions are kept as one raw-bytecode action.
  static TSWFActionList ReadTerminated(std::span<const std::uint8_t> bytes, bool parse, std::size_t& consumed);

 private:
  std::vector<std::unique_ptr<TSWFAction>> items_;
};

// DoAction: an action list run when its frame is reached.
class TSWFDoAction : public TSWFObject {
 public:
  TSWFDoAction() : TSWFObject(tagDoAction) {}
  // Whether reading parses the actions or keeps them as raw bytes.
  bool ParseActions = true;
  TSWFActionList Actions;

  void AssignFrom(const TBasedSWFObject& source) override;
  std::uint8_t MinVersion() const override { return Actions.MinVersion(); }
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;

 protected:
  explicit TSWFDoAction(std::uint16_t code) : TSWFObject(code) {}
};

// DoInitAction: actions run once when a sprite is first defined.
class TSWFDoInitAction final : public TSWFDoAction {
 public:
  TSWFDoInitAction() : TSWFDoAction(tagDoInitAction) {}
  std::uint16_t SpriteID = 0;

  void AssignFrom(const TBasedSWFObject& source) override;
  std::uint8_t MinVersion() const override { return std::max<std::uint8_t>(6, Actions.MinVersion()); }
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override { AddUsed(ids, SpriteID); }
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;
};

}  // namespace movara::swf
