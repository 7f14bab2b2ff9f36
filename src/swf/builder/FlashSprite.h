#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/builder/FlashActionScript.h"
#include "swf/builder/FlashObject.h"
#include "swf/builder/FlashPlaceObject.h"
#include "swf/builder/FlashSound.h"
#include "swf/builder/FlashVideo.h"
#include "swf/core/SpriteTags.h"

namespace movara::swf {

class TFlashShape;

// A nested timeline: a sprite character with frames of its own, built like
// a small movie (placements, removals, actions, labels and frames), with
// actions run once when it is defined, a stream sound and video placements
// of its own.
// The characters it places are defined in the movie.
class TFlashSprite final : public TFlashVisualObject {
 public:
  explicit TFlashSprite(TFlashMovie* owner);

  // Label of the frame that the next ShowFrame closes.
  std::string FrameLabel;
  // Added to the timeline by the next ShowFrame, ahead of the label.
  std::unique_ptr<TBasedSWFObject> PendingFrameObject;

  std::uint16_t FrameCount() const { return sprite_.FrameCount; }
  // The frame last closed by ShowFrame.
  std::int32_t CurrentFrame() const { return currentFrame_; }
  TSWFDefineSprite& SpriteTag() { return sprite_; }
  const std::vector<std::unique_ptr<TBasedSWFObject>>& ControlTags() const { return sprite_.ControlTags; }

  // Adds a control tag, or a builder object that writes one, to the timeline.
  TBasedSWFObject& AppendObject(std::unique_ptr<TBasedSWFObject> object);
  // Places a character of the movie; its definition is moved ahead of the
  // sprite's when it came later.
  TFlashPlaceObject& PlaceObject(TFlashVisualObject& visual, std::uint16_t depth);
  // RemoveObject with the shape's identifier, or RemoveObject2 without one.
  void RemoveObject(std::uint16_t depth, const TFlashShape* shape);
  // Actions run when the frame being built is reached.
  TFlashActionScript& AddActions();
  void ShowFrame(std::uint16_t count = 1);
  // Actions run once, when the sprite is defined (before it first shows);
  // created on first access.
  TFlashActionScript& InitActions();
  bool HasInitActions() const { return initActions_ != nullptr; }

  // The sprite's streamed sound, created on first access without a file and
  // looping, as the movie's is; from then on the sprite streams it along its
  // own frames. Load a file into it with LoadFile.
  TFlashSound& StreamSound();
  bool HasStreamSound() const { return streamSound_ != nullptr; }

  // A video placed from the frame being built on.
  TFlashPlaceVideo& PlaceVideo(TFlashVideo& video, std::uint16_t depth, bool repeat);
  std::size_t VideoCount() const { return videos_.size(); }
  TFlashPlaceVideo* Video(std::size_t index) const {
    return index < videos_.size() ? videos_[index].get() : nullptr;
  }

  void SetCharacterId(std::uint16_t value) override;
  // The control tags' largest version, at least 3; 6 with init actions,
  // which need it to run; and what its stream sound needs.
  std::uint8_t MinVersion() const override;
  // DefineSprite (completing an empty timeline with one frame), then
  // DoInitAction when there are init actions.
  void WriteToStream(TBitsEngine& be) override;

 private:
  TSWFDefineSprite sprite_;
  std::int32_t currentFrame_ = 0;
  std::unique_ptr<TFlashActionScript> initActions_;
  std::unique_ptr<TFlashSound> streamSound_;
  std::vector<std::unique_ptr<TFlashPlaceVideo>> videos_;
};

}  // namespace movara::swf
