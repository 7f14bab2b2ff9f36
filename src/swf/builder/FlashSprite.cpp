#include "swf/builder/FlashSprite.h"

#include <algorithm>
#include <stdexcept>

#include "base/MemoryStream.h"
#include "swf/builder/FlashMovie.h"
#include "swf/core/ActionList.h"
#include "swf/core/ControlTags.h"
#include "swf/core/TagCodes.h"

namespace movara::swf {

TFlashSprite::TFlashSprite(TFlashMovie* owner)
    : TFlashVisualObject(owner), TFlashTimeline(owner, TLabelOrder::AfterPending) {}

TFlashPlaceObject& TFlashSprite::PlaceObject(TFlashVisualObject& visual, std::uint16_t depth) {
  return AddPlacement(visual, depth);
}

TFlashActionScript& TFlashSprite::AddActions() {
  return static_cast<TFlashActionScript&>(AppendObject(std::make_unique<TFlashActionScript>(Owner(), nullptr)));
}

void TFlashSprite::ShowFrame(std::uint16_t count) {
  if (count == 0) count = 1;
  // The sprite's frame count is 16-bit.
  if (count > 0xFFFF - sprite_.FrameCount) throw std::length_error("a sprite holds at most 65535 frames");
  sprite_.FrameCount = static_cast<std::uint16_t>(CloseFrame(count));
  currentFrame_ = sprite_.FrameCount - 1;
}

TFlashActionScript& TFlashSprite::InitActions() {
  if (!initActions_) initActions_ = std::make_unique<TFlashActionScript>(Owner(), nullptr);
  return *initActions_;
}

TFlashPlaceVideo& TFlashSprite::PlaceVideo(TFlashVideo& video, std::uint16_t depth, bool repeat) {
  return AddVideoPlacement(video, depth, repeat);
}

void TFlashSprite::SetCharacterId(std::uint16_t value) {
  TFlashVisualObject::SetCharacterId(value);
  sprite_.SpriteID = value;
}

std::uint8_t TFlashSprite::MinVersion() const {
  std::uint8_t v = 3;
  for (const auto& object : Objects()) v = std::max(v, object->MinVersion());
  if (initActions_) v = std::max<std::uint8_t>(v, 6);
  return HasStreamSound() ? std::max(v, StreamedSound()->MinVersion()) : v;
}

void TFlashSprite::UsedCharacters(std::vector<std::uint16_t>& ids) const {
  for (const auto& object : Objects()) object->UsedCharacters(ids);
  for (std::size_t i = 0; i < VideoCount(); ++i) Video(i)->UsedCharacters(ids);
  // A timeline without frames is written with its open one.
  if (sprite_.FrameCount == 0 && PendingFrameObject) PendingFrameObject->UsedCharacters(ids);
}

void TFlashSprite::WriteToStream(TBitsEngine& be) {
  // A sprite shows at least one frame: without any, the frame being built
  // is written as closed, and stays open.
  const bool open = sprite_.FrameCount == 0;
  TMemoryStream body;
  TBitsEngine out(body);
  out.WriteWord(sprite_.SpriteID);
  out.WriteWord(open ? 1 : sprite_.FrameCount);
  TWriteCursor at;
  at.Version = Owner() != nullptr ? Owner()->Version() : sprite_.SWFVersion;
  WriteStart(out, Owner() != nullptr ? Owner()->FrameRate() : 0, at);
  WriteObjects(out, at, Objects().size());
  if (open) WriteOpenFrame(out, at);
  WriteEnd(out);
  out.FlushBits(true);
  WriteTag(be, tagDefineSprite, body);
  if (!initActions_) return;
  // The tag borrows the script's actions for the write.
  TSWFDoInitAction init;
  init.SpriteID = CharacterId();
  std::swap(init.Actions, initActions_->ActionList());
  struct TGiveBack {
    TSWFActionList& a;
    TSWFActionList& b;
    ~TGiveBack() { std::swap(a, b); }
  } giveBack{init.Actions, initActions_->ActionList()};
  init.WriteToStream(be);
}

}  // namespace movara::swf
