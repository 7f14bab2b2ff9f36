#include "swf/builder/FlashSprite.h"

#include <algorithm>
#include <stdexcept>

#include "swf/builder/FlashMovie.h"
#include "swf/core/ActionList.h"
#include "swf/core/ControlTags.h"

namespace movara::swf {

TFlashSprite::TFlashSprite(TFlashMovie* owner) : TFlashVisualObject(owner) {
  sprite_.OnStart = [this](TBitsEngine& be) {
    if (!streamSound_) return;
    // Filling the head also starts the stream again from its beginning.
    TSWFSoundStreamHead2 head;
    streamSound_->FillStreamHead(head, Owner() != nullptr ? Owner()->FrameRate() : 0);
    head.WriteToStream(be);
  };
  sprite_.OnShowFrame = [this](TBitsEngine& be, std::uint16_t frame) {
    for (const auto& video : videos_) video->WriteFrame(be, frame);
    if (streamSound_ && streamSound_->StartFrame <= frame) streamSound_->WriteStreamBlock(be);
  };
}

TBasedSWFObject& TFlashSprite::AppendObject(std::unique_ptr<TBasedSWFObject> object) {
  sprite_.ControlTags.push_back(std::move(object));
  return *sprite_.ControlTags.back();
}

TFlashPlaceObject& TFlashSprite::PlaceObject(TFlashVisualObject& visual, std::uint16_t depth) {
  if (Owner() != nullptr) Owner()->MoveBefore(visual, *this);
  return static_cast<TFlashPlaceObject&>(AppendObject(std::make_unique<TFlashPlaceObject>(Owner(), &visual, depth)));
}

void TFlashSprite::RemoveObject(std::uint16_t depth, const TFlashShape* shape) {
  if (shape != nullptr) {
    AppendObject(std::make_unique<TSWFRemoveObject>(shape->CharacterId(), depth));
  } else {
    AppendObject(std::make_unique<TSWFRemoveObject2>(depth));
  }
}

TFlashActionScript& TFlashSprite::AddActions() {
  return static_cast<TFlashActionScript&>(AppendObject(std::make_unique<TFlashActionScript>(Owner(), nullptr)));
}

void TFlashSprite::ShowFrame(std::uint16_t count) {
  if (count == 0) count = 1;
  // The sprite's frame count is 16-bit.
  if (count > 0xFFFF - sprite_.FrameCount) throw std::length_error("a sprite holds at most 65535 frames");
  sprite_.FrameCount = static_cast<std::uint16_t>(sprite_.FrameCount + count);
  if (PendingFrameObject) sprite_.ControlTags.push_back(std::move(PendingFrameObject));
  if (!FrameLabel.empty()) {
    sprite_.ControlTags.push_back(std::make_unique<TSWFFrameLabel>(FrameLabel));
    FrameLabel.clear();
  }
  for (std::uint16_t i = 0; i < count; ++i) sprite_.ControlTags.push_back(std::make_unique<TSWFShowFrame>());
  currentFrame_ = sprite_.FrameCount - 1;
}

TFlashActionScript& TFlashSprite::InitActions() {
  if (!initActions_) initActions_ = std::make_unique<TFlashActionScript>(Owner(), nullptr);
  return *initActions_;
}

TFlashSound& TFlashSprite::StreamSound() {
  if (!streamSound_) {
    streamSound_ = std::make_unique<TFlashSound>(Owner(), std::filesystem::path());
    streamSound_->Loop = true;
  }
  return *streamSound_;
}

TFlashPlaceVideo& TFlashSprite::PlaceVideo(TFlashVideo& video, std::uint16_t depth, bool repeat) {
  if (Owner() != nullptr) Owner()->MoveBefore(video, *this);
  videos_.push_back(std::make_unique<TFlashPlaceVideo>(Owner(), video, depth, repeat));
  videos_.back()->FirstFrame = sprite_.FrameCount;
  return *videos_.back();
}

void TFlashSprite::SetCharacterId(std::uint16_t value) {
  TFlashVisualObject::SetCharacterId(value);
  sprite_.SpriteID = value;
}

std::uint8_t TFlashSprite::MinVersion() const {
  std::uint8_t v = sprite_.MinVersion();
  if (initActions_) v = std::max<std::uint8_t>(v, 6);
  return streamSound_ ? std::max(v, streamSound_->MinVersion()) : v;
}

void TFlashSprite::WriteToStream(TBitsEngine& be) {
  if (sprite_.FrameCount == 0) ShowFrame(1);
  const std::uint8_t version = Owner() != nullptr ? Owner()->Version() : sprite_.SWFVersion;
  for (const auto& object : sprite_.ControlTags) {
    if (auto* place = dynamic_cast<TFlashPlaceObject*>(object.get())) place->PlaceTag().SWFVersion = version;
  }
  sprite_.WriteToStream(be);
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
