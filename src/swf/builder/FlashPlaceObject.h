#pragma once

#include <cstdint>

#include "swf/builder/FlashObject.h"
#include "swf/core/DisplayListTags.h"

namespace movara::swf {

// One display-list entry: a visual object placed at a depth, optionally
// moved by a translation.
class TFlashPlaceObject : public TFlashObject {
 public:
  TFlashPlaceObject(TFlashMovie* owner, TFlashVisualObject* visual, std::uint16_t depth);

  TFlashVisualObject* Visual() const { return visual_; }
  TSWFPlaceObject2& PlaceTag() { return placeTag_; }
  const TSWFPlaceObject2& PlaceTag() const { return placeTag_; }
  std::uint16_t CharacterId() const { return placeTag_.CharacterId; }
  std::uint16_t Depth() const { return placeTag_.Depth; }
  bool Move() const { return placeTag_.Move; }
  void SetMove(bool value) { placeTag_.Move = value; }
  void SetRatio(std::uint16_t value) { placeTag_.SetRatio(value); }
  // A translation in movie units. At the origin of a tag without a matrix
  // (and not moving) nothing is written at all.
  void SetTranslate(std::int32_t x, std::int32_t y);

  void AssignFrom(const TBasedSWFObject& source) override;
  std::uint8_t MinVersion() const override { return placeTag_.HasClipActions ? 5 : 3; }
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override { placeTag_.UsedCharacters(ids); }
  void WriteToStream(TBitsEngine& be) override { WriteToStream(be, placeTag_.SWFVersion); }
  // Writes the tag as a movie of `version` reads it; the tag keeps its own
  // version (which writing clip actions would raise).
  void WriteToStream(TBitsEngine& be, std::uint8_t version);

 private:
  TFlashVisualObject* visual_;
  TSWFPlaceObject2 placeTag_;
};

}  // namespace movara::swf
