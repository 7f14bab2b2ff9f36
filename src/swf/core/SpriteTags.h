#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "swf/core/SWFObject.h"
#include "swf/core/TagCodes.h"

namespace movara::swf {

// DefineSprite: a character with a timeline of its own, a nested sequence of
// control tags ending with End.
class TSWFDefineSprite final : public TSWFObject {
 public:
  TSWFDefineSprite() : TSWFObject(tagDefineSprite) {}

  std::uint16_t SpriteID = 0;
  std::uint16_t FrameCount = 0;
  // Tags, or builder objects that write tags; End is not kept here.
  std::vector<std::unique_ptr<TBasedSWFObject>> ControlTags;
  // The file's version, which the layout of nested placements depends on.
  std::uint8_t SWFVersion = 6;

  // Hooks of a writer that adds tags of its own: after the sprite's id and
  // frame count, and ahead of each ShowFrame with the number of the frame it
  // closes, counted from 0.
  std::function<void(TBitsEngine& be)> OnStart;
  std::function<void(TBitsEngine& be, std::uint16_t frame)> OnShowFrame;

  // The largest MinVersion of the control tags, at least 3.
  std::uint8_t MinVersion() const override;
  // Control tags are not copied: builder objects cannot be.
  void AssignFrom(const TBasedSWFObject& source) override;
  std::uint16_t DefinedCharacter() const override { return SpriteID; }
  // What its control tags use.
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override {
    for (const auto& tag : ControlTags) tag->UsedCharacters(ids);
  }
  void ReadFromStream(TBitsEngine& be) override;
  // The control tags, then End unless the last of them is an End tag.
  void WriteTagBody(TBitsEngine& be) override;
};

}  // namespace movara::swf
