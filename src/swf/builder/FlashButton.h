#pragma once

#include <cstdint>
#include <memory>

#include "swf/builder/FlashActionScript.h"
#include "swf/builder/FlashObject.h"
#include "swf/core/ButtonTags.h"

namespace movara::swf {

class TFlashShape;
class TFlashSound;

// The builder's button character: a DefineButton2 (advanced) or DefineButton
// tag, its sounds, and a script that adds actions to it.
class TFlashButton : public TFlashVisualObject {
 public:
  // The condition bit of the release event (over-down to over-up).
  static constexpr std::uint8_t kReleaseEvent = 3;

  TFlashButton(TFlashMovie* owner, bool trackAsMenu, bool advanced);

  bool Advanced() const { return advanced_; }
  TSWFBasedButton& ButtonTag() { return *buttonTag_; }
  TSWFDefineButtonSound& ButtonSound() { return buttonSound_; }
  TFlashActionScript& Actions() { return actions_; }

  TSWFButtonRecord& AddRecord(const TFlashShape& shape, std::uint8_t states, std::uint16_t depth);
  TSWFButtonRecord& AddRecord(std::uint16_t characterId, std::uint8_t states, std::uint16_t depth);
  // A new condition action list for the events (bits 0 to 8 kept). Only an
  // advanced button has condition lists: a plain one throws std::logic_error.
  TSWFButtonCondAction& AddCondAction(std::uint16_t events);
  // The first condition list that has the event, or a new one for it; a
  // plain button throws std::logic_error.
  TSWFButtonCondAction& ActionsForEvent(std::uint8_t event);
  // Plays an event sound on a state transition; the returned sound info
  // takes the playing options.
  TSWFStartSound& SetSound(TSWFDefineButtonSound::Slot slot, const TFlashSound& sound);
  // The script switched to the release list.
  TFlashActionScript& OnRelease();

  void SetCharacterId(std::uint16_t value) override;
  std::uint8_t MinVersion() const override { return advanced_ ? 3 : 1; }
  // The characters of its records and the sounds it plays.
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override {
    buttonTag_->UsedCharacters(ids);
    buttonSound_.AddSounds(ids);
  }
  void AssignFrom(const TBasedSWFObject& source) override;
  void WriteToStream(TBitsEngine& be) override;

 private:
  TSWFDefineButton2& AdvancedTag();

  std::unique_ptr<TSWFBasedButton> buttonTag_;
  bool advanced_;
  TSWFDefineButtonSound buttonSound_;
  TFlashActionScript actions_;
};

}  // namespace movara::swf
