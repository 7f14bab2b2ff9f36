#include "swf/builder/FlashPlaceObject.h"

#include "swf/builder/FlashMovie.h"

namespace movara::swf {

TFlashPlaceObject::TFlashPlaceObject(TFlashMovie* owner, TFlashVisualObject* visual, std::uint16_t depth)
    : TFlashObject(owner), visual_(visual) {
  placeTag_.Depth = depth;
  if (visual != nullptr) placeTag_.SetCharacterId(visual->CharacterId());
}

void TFlashPlaceObject::SetTranslate(std::int32_t x, std::int32_t y) {
  if (x == 0 && y == 0 && !placeTag_.HasMatrix && !placeTag_.Move) return;
  const std::int32_t s = Owner() != nullptr ? Owner()->UnitScale() : 1;
  placeTag_.Matrix().SetTranslate(x * s, y * s);
}

void TFlashPlaceObject::WriteToStream(TBitsEngine& be, std::uint8_t version) {
  const TLentValue<std::uint8_t> lent(placeTag_.SWFVersion, version);
  placeTag_.WriteToStream(be);
}

void TFlashPlaceObject::AssignFrom(const TBasedSWFObject& source) {
  const auto* s = dynamic_cast<const TFlashPlaceObject*>(&source);
  if (s == nullptr) return;
  if (Owner() == nullptr) SetOwner(s->Owner());
  placeTag_.AssignFrom(s->placeTag_);
  visual_ = s->visual_;
}

}  // namespace movara::swf
