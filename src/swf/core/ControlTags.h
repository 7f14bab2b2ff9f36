#pragma once

#include <string>

#include "swf/core/Records.h"
#include "swf/core/SWFObject.h"
#include "swf/core/TagCodes.h"

namespace movara::swf {

class TSWFEnd final : public TSWFObject {
 public:
  TSWFEnd() : TSWFObject(tagEnd) {}
};

class TSWFShowFrame final : public TSWFObject {
 public:
  TSWFShowFrame() : TSWFObject(tagShowFrame) {}
};

class TSWFSetBackgroundColor final : public TSWFObject {
 public:
  TSWFSetBackgroundColor() : TSWFObject(tagSetBackgroundColor) {}

  TSWFRGB Color;

  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override { Color.ReadFromStream(be); }
  void WriteTagBody(TBitsEngine& be) override { Color.WriteToStream(be); }
  void CopyFields(const TSWFSetBackgroundColor& s) { Color = s.Color; }
};

class TSWFFrameLabel final : public TSWFObject {
 public:
  TSWFFrameLabel() : TSWFObject(tagFrameLabel) {}
  explicit TSWFFrameLabel(std::string name) : TSWFObject(tagFrameLabel), Name(std::move(name)) {}

  std::string Name;
  bool NamedAnchor = false;

  void AssignFrom(const TBasedSWFObject& source) override;
  std::uint8_t MinVersion() const override { return NamedAnchor ? 6 : 3; }
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;
  void CopyFields(const TSWFFrameLabel& s) { Name = s.Name, NamedAnchor = s.NamedAnchor; }
};

// Protect: a movie that refuses to be imported without the password. The
// hash is the MD5-crypt string of the password, made anew on each write.
class TSWFProtect final : public TSWFObject {
 public:
  TSWFProtect() : TSWFObject(tagProtect) {}

  std::string Password;
  std::string Hash;

  void AssignFrom(const TBasedSWFObject& source) override;
  std::uint8_t MinVersion() const override { return Password.empty() && Hash.empty() ? 2 : 5; }
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;
  void CopyFields(const TSWFProtect& s) { Password = s.Password, Hash = s.Hash; }
};

// The MD5-crypt string ("$1$" + salt + "$" + 22 characters) of a password
// with a random two-character salt.
std::string MakePasswordHash(const std::string& password);

}  // namespace movara::swf
