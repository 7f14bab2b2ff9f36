#include "swf/builder/FlashObject.h"

#include "swf/builder/FlashMovie.h"

namespace movara::swf {

void TFlashIDObject::AssignFrom(const TBasedSWFObject& source) {
  if (const auto* s = dynamic_cast<const TFlashIDObject*>(&source)) {
    if (Owner() == nullptr) SetOwner(s->Owner());
    SetCharacterId(s->CharacterId());
  }
}

std::int32_t TFlashVisualObject::UnitScaleOf() const {
  return IgnoreOwnerUnits || Owner() == nullptr ? 1 : Owner()->UnitScale();
}

void TFlashVisualObject::AssignFrom(const TBasedSWFObject& source) {
  TFlashIDObject::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TFlashVisualObject*>(&source)) IgnoreOwnerUnits = s->IgnoreOwnerUnits;
}

}  // namespace movara::swf
