#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/Cloneable.h"
#include "swf/core/ActionList.h"
#include "swf/core/Records.h"
#include "swf/core/SWFObject.h"
#include "swf/core/SoundTags.h"
#include "swf/core/TagCodes.h"

namespace movara::swf {

// Button states of a record.
enum TButtonState : std::uint8_t { bsUp = 1, bsDown = 2, bsOver = 4, bsHitTest = 8 };

// One character shown in some states of a button.
class TSWFButtonRecord {
 public:
  std::uint8_t States = 0;
  std::uint16_t CharacterId = 0;
  std::uint16_t PlaceDepth = 0;
  bool HasColorTransform = false;

  TSWFMatrix& Matrix();
  TSWFColorTransform& ColorTransform();
  void WriteToStream(TBitsEngine& be);
  // withColorTransform: the record carries a colour transform (DefineButton2).
  void ReadFromStream(TBitsEngine& be, bool withColorTransform);

 private:
  TDeepPtr<TSWFMatrix> matrix_;
  TDeepPtr<TSWFColorTransform> colorTransform_;
};

// Button condition bits.
enum TButtonCondition : std::uint16_t {
  bcIdleToOverUp = 0x01, bcOverUpToIdle = 0x02, bcOverUpToOverDown = 0x04, bcOverDownToOverUp = 0x08,
  bcOutDownToOverDown = 0x10, bcOverDownToOutDown = 0x20, bcOutDownToIdle = 0x40, bcIdleToOverDown = 0x80,
  bcOverDownToIdle = 0x100,
};

// An action list run on some state transitions of a DefineButton2.
class TSWFButtonCondAction {
 public:
  TSWFActionList Actions;
  std::uint16_t Conditions = 0;
  std::uint8_t KeyCode = 0;  // 7 bits
};

using TButtonRecords = TOwningList<TSWFButtonRecord>;

class TSWFBasedButton : public TSWFObject {
 public:
  std::uint16_t ButtonId = 0;
  TButtonRecords Records;
  // Whether reading parses the actions or keeps them as raw bytes.
  bool ParseActions = true;

  TSWFButtonRecord& AddRecord(std::uint16_t characterId, std::uint16_t depth, std::uint8_t states);
  std::uint8_t MinVersion() const override { return 3; }
  void AssignFrom(const TBasedSWFObject& source) override;
  std::uint16_t DefinedCharacter() const override { return ButtonId; }
  // The characters its records show.
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override {
    for (const auto& record : Records) AddUsed(ids, record->CharacterId);
  }

 protected:
  using TSWFObject::TSWFObject;
};

// DefineButton: records and one action list run on release.
class TSWFDefineButton final : public TSWFBasedButton {
 public:
  TSWFDefineButton() : TSWFBasedButton(tagDefineButton) {}
  TSWFActionList Actions;
  std::uint8_t MinVersion() const override { return Actions.MinVersion(); }
  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;
};

// DefineButton2: records with colour transforms and condition action lists.
class TSWFDefineButton2 final : public TSWFBasedButton {
 public:
  TSWFDefineButton2() : TSWFBasedButton(tagDefineButton2) {}
  bool TrackAsMenu = false;
  std::vector<std::unique_ptr<TSWFButtonCondAction>> Actions;
  TSWFButtonCondAction& AddCondAction(std::uint16_t conditions);
  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;
};

// The sounds a button plays on four transitions.
class TSWFDefineButtonSound final : public TSWFObject {
 public:
  enum Slot { OverUpToIdle = 0, IdleToOverUp = 1, OverUpToOverDown = 2, OverDownToOverUp = 3 };
  TSWFDefineButtonSound() : TSWFObject(tagDefineButtonSound) {}
  std::uint16_t ButtonId = 0;
  TSWFStartSound& Sound(Slot slot);
  const TSWFStartSound* SoundIfAny(Slot slot) const { return sounds_[slot].get(); }
  std::uint8_t MinVersion() const override { return 2; }
  void AssignFrom(const TBasedSWFObject& source) override;
  // The button, and the sounds it plays.
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override {
    AddUsed(ids, ButtonId);
    AddSounds(ids);
  }
  void AddSounds(std::vector<std::uint16_t>& ids) const {
    for (const auto& sound : sounds_) {
      if (sound) AddUsed(ids, sound->SoundId);
    }
  }
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;

 private:
  std::array<std::unique_ptr<TSWFStartSound>, 4> sounds_;
};

}  // namespace movara::swf
