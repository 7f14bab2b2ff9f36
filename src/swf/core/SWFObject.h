#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/MemoryStream.h"
#include "swf/core/BitsEngine.h"

namespace movara::swf {

// Root of everything that can stand in a movie's object list: plain tags
// (ObjectKind 0) and the movie builder's own objects (ObjectKind 1).
class TBasedSWFObject {
 public:
  virtual ~TBasedSWFObject() = default;
  TBasedSWFObject() = default;
  TBasedSWFObject(const TBasedSWFObject&) = delete;
  TBasedSWFObject& operator=(const TBasedSWFObject&) = delete;

  virtual void AssignFrom(const TBasedSWFObject& source) = 0;
  virtual std::uint8_t ObjectKind() const { return 0; }
  virtual std::uint8_t MinVersion() const { return 1; }
  virtual void WriteToStream(TBitsEngine& be) = 0;
  // The character the object defines, 0 for none.
  virtual std::uint16_t DefinedCharacter() const { return 0; }
  // Appends the characters the object refers to, which a movie must define
  // ahead of it (0 stands for none and is not appended).
  virtual void UsedCharacters(std::vector<std::uint16_t>& /*ids*/) const {}
};

// Appends a character to a list of used ones unless it is 0 (none).
inline void AddUsed(std::vector<std::uint16_t>& ids, std::uint16_t id) {
  if (id != 0) ids.push_back(id);
}

// A tag: its body is written into memory first, then framed with a short or
// long record header.
class TSWFObject : public TBasedSWFObject {
 public:
  explicit TSWFObject(std::uint16_t tagCode) : TagCode(tagCode) {}

  std::uint32_t BodySize = 0;
  std::uint16_t TagCode;

  void AssignFrom(const TBasedSWFObject& source) override;
  void WriteToStream(TBitsEngine& be) override;
  // Reads the body from an engine on a stream of exactly the body's length.
  virtual void ReadFromStream(TBitsEngine&) {}
  virtual void WriteTagBody(TBitsEngine&) {}
};

// Whether a tag of this code and body size takes the long record header.
bool UsesLongHeader(std::uint16_t tagCode, std::uint32_t bodySize);
// Frames an already-built body; length 0 means the whole stream.
void WriteTag(TBitsEngine& be, std::uint16_t tagCode, TMemoryStream& body, std::uint32_t length = 0);
// Frames a whole body with the long header whatever its size (MP3 stream
// blocks take it).
void WriteLongTag(TBitsEngine& be, std::uint16_t tagCode, const TMemoryStream& body);

// Copies the fields of a source of the same class; other classes leave the
// target as it is, as assigning across tag kinds has no meaning.
template <class T>
void AssignSame(T& target, const TBasedSWFObject& source) {
  if (const auto* same = dynamic_cast<const T*>(&source)) target.CopyFields(*same);
}

}  // namespace movara::swf
