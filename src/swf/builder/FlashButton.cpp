#include "swf/builder/FlashButton.h"

#include <stdexcept>

#include "swf/builder/FlashShape.h"
#include "swf/builder/FlashSound.h"

namespace movara::swf {

TFlashButton::TFlashButton(TFlashMovie* owner, bool trackAsMenu, bool advanced)
    : TFlashVisualObject(owner), advanced_(advanced), actions_(owner, nullptr) {
  if (advanced) {
    auto tag = std::make_unique<TSWFDefineButton2>();
    tag->TrackAsMenu = trackAsMenu;
    buttonTag_ = std::move(tag);
    actions_.Retarget(ActionsForEvent(kReleaseEvent).Actions);
  } else {
    auto tag = std::make_unique<TSWFDefineButton>();
    actions_.Retarget(tag->Actions);
    buttonTag_ = std::move(tag);
  }
}

TSWFStartSound& TFlashButton::SetSound(TSWFDefineButtonSound::Slot slot, const TFlashSound& sound) {
  TSWFStartSound& info = buttonSound_.Sound(slot);
  info.SoundId = sound.CharacterId();
  return info;
}

TSWFButtonRecord& TFlashButton::AddRecord(const TFlashShape& shape, std::uint8_t states, std::uint16_t depth) {
  return AddRecord(shape.CharacterId(), states, depth);
}

TSWFButtonRecord& TFlashButton::AddRecord(std::uint16_t characterId, std::uint8_t states, std::uint16_t depth) {
  TSWFButtonRecord& r = buttonTag_->AddRecord(characterId, depth, states);
  if (advanced_) r.ColorTransform();
  return r;
}

TSWFDefineButton2& TFlashButton::AdvancedTag() {
  if (!advanced_) throw std::logic_error("a plain button has one action list, run on release: use OnRelease");
  return static_cast<TSWFDefineButton2&>(*buttonTag_);
}

TSWFButtonCondAction& TFlashButton::AddCondAction(std::uint16_t events) {
  return AdvancedTag().AddCondAction(events & 0x1FF);
}

TSWFButtonCondAction& TFlashButton::ActionsForEvent(std::uint8_t event) {
  TSWFDefineButton2& tag = AdvancedTag();
  const std::uint16_t bit = static_cast<std::uint16_t>(1u << event);
  for (auto& cond : tag.Actions) {
    if (cond->Conditions & bit) return *cond;
  }
  return AddCondAction(bit);
}

TFlashActionScript& TFlashButton::OnRelease() {
  if (advanced_) actions_.Retarget(ActionsForEvent(kReleaseEvent).Actions);
  return actions_;
}

void TFlashButton::SetCharacterId(std::uint16_t value) {
  TFlashVisualObject::SetCharacterId(value);
  buttonTag_->ButtonId = value;
  buttonSound_.ButtonId = value;
}

void TFlashButton::AssignFrom(const TBasedSWFObject& source) {
  TFlashVisualObject::AssignFrom(source);
  const auto* s = dynamic_cast<const TFlashButton*>(&source);
  if (s == nullptr) return;
  advanced_ = s->advanced_;
  if (advanced_) {
    buttonTag_ = std::make_unique<TSWFDefineButton2>();
  } else {
    buttonTag_ = std::make_unique<TSWFDefineButton>();
  }
  buttonTag_->AssignFrom(*s->buttonTag_);
  buttonSound_.AssignFrom(s->buttonSound_);
  if (advanced_) {
    actions_.Retarget(ActionsForEvent(kReleaseEvent).Actions);
  } else {
    actions_.Retarget(static_cast<TSWFDefineButton&>(*buttonTag_).Actions);
  }
}

void TFlashButton::WriteToStream(TBitsEngine& be) {
  buttonTag_->WriteToStream(be);
  bool anySound = false;
  for (int slot = 0; slot < 4; ++slot) {
    anySound = anySound || buttonSound_.SoundIfAny(static_cast<TSWFDefineButtonSound::Slot>(slot)) != nullptr;
  }
  if (anySound) buttonSound_.WriteToStream(be);
}

}  // namespace movara::swf
