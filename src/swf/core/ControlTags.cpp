#include "swf/core/ControlTags.h"

#include <crypt.h>

#include <random>

namespace movara::swf {

void TSWFSetBackgroundColor::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  AssignSame(*this, source);
}

void TSWFFrameLabel::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  AssignSame(*this, source);
}

void TSWFFrameLabel::ReadFromStream(TBitsEngine& be) {
  Name = be.ReadText();
  // The anchor flag is a single byte that only follows the name when set.
  NamedAnchor = be.Stream.Remaining() == 1 && be.ReadByte() != 0;
}

void TSWFFrameLabel::WriteTagBody(TBitsEngine& be) {
  be.WriteText(Name, true, false);
  if (NamedAnchor) be.WriteByte(1);
}

void TSWFProtect::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  AssignSame(*this, source);
}

void TSWFProtect::ReadFromStream(TBitsEngine& be) {
  Password.clear();
  Hash.clear();
  if (be.Stream.Remaining() == 0) return;
  be.ReadWord();
  // The hash runs to its terminating zero, or to the end of the body.
  while (be.Stream.Remaining() > 0) {
    const std::uint8_t b = be.ReadByte();
    if (b == 0) break;
    Hash += static_cast<char>(b);
  }
}

void TSWFProtect::WriteTagBody(TBitsEngine& be) {
  if (!Password.empty()) Hash = MakePasswordHash(Password);
  if (Hash.empty()) return;
  be.WriteWord(0);
  be.WriteText(Hash, true, false);
}

std::string MakePasswordHash(const std::string& password) {
  static constexpr char kAlphabet[] = "./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::random_device rd;
  std::uniform_int_distribution<int> pick(0, 63);
  std::string setting = "$1$";
  setting += kAlphabet[pick(rd)];
  setting += kAlphabet[pick(rd)];
  setting += '$';
  crypt_data data{};
  const char* hash = crypt_r(password.c_str(), setting.c_str(), &data);
  if (hash == nullptr || hash[0] != '$') throw std::runtime_error("the system cannot make an MD5 password hash");
  return hash;
}

}  // namespace movara::swf
