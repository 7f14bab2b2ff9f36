#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/core/ActionList.h"
#include "swf/core/Records.h"
#include "swf/core/SWFObject.h"
#include "swf/core/TagCodes.h"

namespace movara::swf {

class TSWFBasedPlaceObject : public TSWFObject {
 public:
  using TSWFObject::TSWFObject;
  std::uint16_t CharacterId = 0;
  std::uint16_t Depth = 0;
  virtual void SetCharacterId(std::uint16_t value) { CharacterId = value; }
  void AssignFrom(const TBasedSWFObject& source) override;
};

// Clip event bits of a clip action record.
enum TClipEvent : std::uint32_t {
  ceKeyUp = 1u << 0, ceKeyDown = 1u << 1, ceMouseUp = 1u << 2, ceMouseDown = 1u << 3, ceMouseMove = 1u << 4,
  ceUnload = 1u << 5, ceEnterFrame = 1u << 6, ceLoad = 1u << 7, ceDragOver = 1u << 8, ceRollOut = 1u << 9,
  ceRollOver = 1u << 10, ceReleaseOutside = 1u << 11, ceRelease = 1u << 12, cePress = 1u << 13,
  ceInitialize = 1u << 14, ceData = 1u << 15, ceConstruct = 1u << 16, ceKeyPress = 1u << 17, ceDragOut = 1u << 18,
};

class TSWFClipActionRecord {
 public:
  TSWFActionList Actions;
  std::uint32_t EventFlags = 0;
  std::uint8_t KeyCode() const { return keyCode_; }
  // A non-zero key code sets the key-press event, 0 clears it.
  void SetKeyCode(std::uint8_t code);

 private:
  std::uint8_t keyCode_ = 0;
};

class TSWFClipActions {
 public:
  std::vector<std::unique_ptr<TSWFClipActionRecord>> Records;
  std::uint32_t AllEventFlags = 0;
  TSWFClipActionRecord& AddRecord(std::uint32_t eventFlags, std::uint8_t keyCode = 0);
};

// PlaceObject2: places or modifies the character at a depth.
class TSWFPlaceObject2 final : public TSWFBasedPlaceObject {
 public:
  TSWFPlaceObject2() : TSWFBasedPlaceObject(tagPlaceObject2) {}

  bool HasCharacter = false;
  bool HasClipActions = false;
  bool HasClipDepth = false;
  bool HasColorTransform = false;
  bool HasMatrix = false;
  bool HasRatio = false;
  bool Move = false;
  std::uint8_t SWFVersion = 3;

  void SetCharacterId(std::uint16_t value) override;
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override {
    if (HasCharacter) AddUsed(ids, CharacterId);
  }
  TSWFMatrix& Matrix();
  TSWFColorTransform& ColorTransform();
  TSWFClipActions& ClipActions();
  const TSWFMatrix* MatrixIfAny() const { return matrix_.get(); }
  std::uint16_t ClipDepth() const { return clipDepth_; }
  void SetClipDepth(std::uint16_t v) { clipDepth_ = v, HasClipDepth = true; }
  std::uint16_t Ratio() const { return ratio_; }
  void SetRatio(std::uint16_t v) { ratio_ = v, HasRatio = true; }
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  bool HasName() const { return !name_.empty(); }

  void AssignFrom(const TBasedSWFObject& source) override;
  std::uint8_t MinVersion() const override;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;

 private:
  bool WritesClipActions() const { return HasClipActions && clipActions_ && !clipActions_->Records.empty(); }
  void WriteEventFlags(TBitsEngine& be, std::uint32_t flags) const;
  std::uint32_t ReadEventFlags(TBitsEngine& be) const;

  std::unique_ptr<TSWFMatrix> matrix_;
  std::unique_ptr<TSWFColorTransform> colorTransform_;
  std::unique_ptr<TSWFClipActions> clipActions_;
  std::uint16_t clipDepth_ = 0;
  std::uint16_t ratio_ = 0;
  std::string name_;
};

class TSWFRemoveObject final : public TSWFObject {
 public:
  TSWFRemoveObject() : TSWFObject(tagRemoveObject) {}
  TSWFRemoveObject(std::uint16_t characterId, std::uint16_t depth)
      : TSWFObject(tagRemoveObject), CharacterId(characterId), Depth(depth) {}
  std::uint16_t CharacterId = 0;
  std::uint16_t Depth = 0;
  void AssignFrom(const TBasedSWFObject& source) override;
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override { AddUsed(ids, CharacterId); }
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;
  void CopyFields(const TSWFRemoveObject& s) { CharacterId = s.CharacterId, Depth = s.Depth; }
};

class TSWFRemoveObject2 final : public TSWFObject {
 public:
  TSWFRemoveObject2() : TSWFObject(tagRemoveObject2) {}
  explicit TSWFRemoveObject2(std::uint16_t depth) : TSWFObject(tagRemoveObject2), Depth(depth) {}
  std::uint16_t Depth = 0;
  std::uint8_t MinVersion() const override { return 3; }
  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override { Depth = be.ReadWord(); }
  void WriteTagBody(TBitsEngine& be) override { be.WriteWord(Depth); }
  void CopyFields(const TSWFRemoveObject2& s) { Depth = s.Depth; }
};

}  // namespace movara::swf
