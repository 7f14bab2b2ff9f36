#include "swf/core/SWFObject.h"

#include <stdexcept>

namespace movara::swf {

void TSWFObject::AssignFrom(const TBasedSWFObject& source) {
  if (const auto* tag = dynamic_cast<const TSWFObject*>(&source)) BodySize = tag->BodySize;
}

bool UsesLongHeader(std::uint16_t tagCode, std::uint32_t bodySize) {
  // Lossless bitmaps and video streams take the long form whatever their size.
  return bodySize >= 63 || tagCode == 20 || tagCode == 36 || tagCode == 60;
}

namespace {

void WriteRecordHeader(TBitsEngine& be, std::uint16_t tagCode, std::uint32_t size, bool longForm) {
  if (longForm) {
    be.WriteWord(static_cast<std::uint16_t>(tagCode * 64 + 63));
    be.WriteDWord(size);
  } else {
    be.WriteWord(static_cast<std::uint16_t>(tagCode * 64 + size));
  }
}

}  // namespace

void WriteTag(TBitsEngine& be, std::uint16_t tagCode, TMemoryStream& body, std::uint32_t length) {
  const std::uint32_t size = length != 0 ? length : static_cast<std::uint32_t>(body.Size());
  if (size > body.Size()) throw std::logic_error("tag length beyond its body");
  WriteRecordHeader(be, tagCode, size, UsesLongHeader(tagCode, size));
  if (size > 0) be.WriteBytes(body.Bytes().data(), size);
}

void WriteLongTag(TBitsEngine& be, std::uint16_t tagCode, const TMemoryStream& body) {
  WriteRecordHeader(be, tagCode, static_cast<std::uint32_t>(body.Size()), true);
  be.WriteBytes(body.Bytes().data(), body.Bytes().size());
}

void TSWFObject::WriteToStream(TBitsEngine& be) {
  TMemoryStream body;
  TBitsEngine bodyEngine(body);
  WriteTagBody(bodyEngine);
  bodyEngine.FlushBits(true);
  BodySize = static_cast<std::uint32_t>(body.Size());
  WriteTag(be, TagCode, body, BodySize);
}

}  // namespace movara::swf
