#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "swf/core/SWFObject.h"

namespace movara::swf {

// What a movie's writing knows of its characters, so that every definition
// goes out ahead of the first object that uses it: the characters written,
// the definitions written ahead of their place in the object list (skipped
// when the writing gets there), and where the definitions not yet written
// stand.
class TDefinitionOrder {
 public:
  using TObjects = std::vector<std::unique_ptr<TBasedSWFObject>>;

  bool Written(std::uint16_t id) const { return written_[id]; }
  // Notes a definition written; a second definition of a character is
  // refused.
  void NoteWritten(const TBasedSWFObject& object);
  void NoteWrittenAhead(const TBasedSWFObject& object) { ahead_.insert(&object); }
  // Whether the object was written ahead of its place, which it then leaves.
  bool TakeWrittenAhead(const TBasedSWFObject& object) { return ahead_.erase(&object) != 0; }
  // The first definition of a character among objects[from...] that is not
  // written yet, or none. Where the definitions stand is looked up once for
  // each state of the list, which `changes` (a count of its changes) tells.
  TBasedSWFObject* Find(std::uint16_t id, const TObjects& objects, std::size_t from, std::uint64_t changes);

  // Marks an object as being written (its uses first) while it lives: a
  // use of a character whose definition is open is a cycle.
  class TOpen {
   public:
    TOpen(TDefinitionOrder& order, const TBasedSWFObject& object);
    ~TOpen() { order_.open_.pop_back(); }
    TOpen(const TOpen&) = delete;
    TOpen& operator=(const TOpen&) = delete;

   private:
    TDefinitionOrder& order_;
  };
  bool IsOpen(const TBasedSWFObject& object) const;

 private:
  std::vector<bool> written_ = std::vector<bool>(0x10000);
  std::unordered_set<const TBasedSWFObject*> ahead_;
  std::unordered_map<std::uint16_t, TBasedSWFObject*> unwritten_;
  bool indexed_ = false;
  std::uint64_t indexedAt_ = 0;
  std::vector<const TBasedSWFObject*> open_;
};

}  // namespace movara::swf
