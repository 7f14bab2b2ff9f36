#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "swf/core/SWFObject.h"

namespace movara::swf {

class TFlashMovie;

// Gives a field of a tag the value one write needs, and the field its own
// value back after the write, so that writing leaves the object as it was.
template <class T>
class TLentValue {
 public:
  TLentValue(T& field, T value) : field_(field), own_(std::exchange(field, std::move(value))) {}
  ~TLentValue() { field_ = std::move(own_); }
  TLentValue(const TLentValue&) = delete;
  TLentValue& operator=(const TLentValue&) = delete;

 private:
  T& field_;
  T own_;
};

// A builder object: it belongs to a movie and writes one or more tags.
class TFlashObject : public TBasedSWFObject {
 public:
  explicit TFlashObject(TFlashMovie* owner) : owner_(owner) {}

  TFlashMovie* Owner() const { return owner_; }
  void SetOwner(TFlashMovie* owner) {
    owner_ = owner;
    OwnerChanged();
  }
  std::uint8_t ObjectKind() const override { return 1; }
  virtual void OwnerChanged() {}

 private:
  TFlashMovie* owner_;
};

// A builder object that defines a character and so has an identifier.
class TFlashIDObject : public TFlashObject {
 public:
  using TFlashObject::TFlashObject;
  std::uint16_t CharacterId() const { return characterId_; }
  virtual void SetCharacterId(std::uint16_t value) { characterId_ = value; }
  void AssignFrom(const TBasedSWFObject& source) override;
  std::uint16_t DefinedCharacter() const override { return characterId_; }

 private:
  std::uint16_t characterId_ = 0;
};

// A character that can be placed; coordinates handed to it are in the
// movie's units unless IgnoreOwnerUnits is set.
class TFlashVisualObject : public TFlashIDObject {
 public:
  using TFlashIDObject::TFlashIDObject;
  bool IgnoreOwnerUnits = false;
  // 1, or the owner's unit scale (20 when the movie works in pixels).
  std::int32_t UnitScaleOf() const;
  void AssignFrom(const TBasedSWFObject& source) override;
};

// A typed index over objects the movie owns.
template <class T>
class TFlashObjectList {
 public:
  std::size_t Add(T* object) {
    items_.push_back(object);
    return items_.size() - 1;
  }
  std::size_t Count() const { return items_.size(); }
  T* operator[](std::size_t i) const { return items_[i]; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<T*> items_;
};

class TFlashButton;
class TFlashImage;
class TFlashShape;
using TFlashButtonList = TFlashObjectList<TFlashButton>;
using TFlashImageList = TFlashObjectList<TFlashImage>;
using TFlashShapeList = TFlashObjectList<TFlashShape>;

}  // namespace movara::swf
