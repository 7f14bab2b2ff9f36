#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/builder/FlashActionScript.h"
#include "swf/builder/FlashObject.h"
#include "swf/builder/FlashPlaceObject.h"
#include "swf/builder/FlashSound.h"
#include "swf/builder/FlashTimeline.h"
#include "swf/builder/FlashVideo.h"
#include "swf/core/SpriteTags.h"

namespace movara::swf {

class TFlashShape;

// A nested timeline: a sprite character with frames of its own, built like
// a small movie (placements, removals, actions, labels and frames, a stream
// sound and video placements, on the timeline the movie also uses), with
// actions run once when it is defined.
// The characters it places are defined in the movie.
class TFlashSprite final : public TFlashVisualObject, public TFlashTimeline {
 public:
  explicit TFlashSprite(TFlashMovie* owner);

  std::uint16_t FrameCount() const { return sprite_.FrameCount; }
  // The frame last closed by ShowFrame.
  std::int32_t CurrentFrame() const { return currentFrame_; }
  TSWFDefineSprite& SpriteTag() { return sprite_; }
  const std::vector<std::unique_ptr<TBasedSWFObject>>& ControlTags() const { return Objects(); }

  // Places a character of the movie; the movie writes its definition ahead
  // of the sprite's.
  TFlashPlaceObject& PlaceObject(TFlashVisualObject& visual, std::uint16_t depth);
  // Actions run when the frame being built is reached.
  TFlashActionScript& AddActions();
  // Closes the frame: the pending object, then the label, then the frames.
  void ShowFrame(std::uint16_t count = 1);
  // Actions run once, when the sprite is defined (before it first shows);
  // created on first access.
  TFlashActionScript& InitActions();
  bool HasInitActions() const { return initActions_ != nullptr; }

  // A video placed from the frame being built on.
  TFlashPlaceVideo& PlaceVideo(TFlashVideo& video, std::uint16_t depth, bool repeat);

  void SetCharacterId(std::uint16_t value) override;
  // The control tags' largest version, at least 3; 6 with init actions,
  // which need it to run; and what its stream sound needs.
  std::uint8_t MinVersion() const override;
  // The characters its timeline places (the movie defines them).
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override;
  // DefineSprite (completing an empty timeline with one frame), then
  // DoInitAction when there are init actions.
  void WriteToStream(TBitsEngine& be) override;

 private:
  // The tag's id, frame count and version; the timeline holds its tags.
  TSWFDefineSprite sprite_;
  std::int32_t currentFrame_ = 0;
  std::unique_ptr<TFlashActionScript> initActions_;
};

}  // namespace movara::swf
