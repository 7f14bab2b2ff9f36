#include "swf/builder/DefinitionOrder.h"

#include <algorithm>
#include <string>

#include "swf/builder/BuildError.h"

namespace movara::swf {

void TDefinitionOrder::NoteWritten(const TBasedSWFObject& object) {
  const std::uint16_t id = object.DefinedCharacter();
  if (id == 0) return;
  if (written_[id]) throw FlashCharacterError("character " + std::to_string(id) + " is defined twice");
  written_[id] = true;
}

TBasedSWFObject* TDefinitionOrder::Find(std::uint16_t id, const TObjects& objects, std::size_t from,
                                        std::uint64_t changes) {
  // One pass over what is left of the list for each state of it, so that
  // many uses ahead of their definitions cost no more than one.
  if (!indexed_ || indexedAt_ != changes) {
    unwritten_.clear();
    for (std::size_t i = from; i < objects.size(); ++i) {
      const std::uint16_t defined = objects[i]->DefinedCharacter();
      if (defined != 0 && !written_[defined] && !ahead_.contains(objects[i].get())) {
        unwritten_.try_emplace(defined, objects[i].get());
      }
    }
    indexed_ = true;
    indexedAt_ = changes;
  }
  const auto found = unwritten_.find(id);
  return found == unwritten_.end() ? nullptr : found->second;
}

TDefinitionOrder::TOpen::TOpen(TDefinitionOrder& order, const TBasedSWFObject& object) : order_(order) {
  order_.open_.push_back(&object);
}

bool TDefinitionOrder::IsOpen(const TBasedSWFObject& object) const {
  return std::find(open_.begin(), open_.end(), &object) != open_.end();
}

}  // namespace movara::swf
