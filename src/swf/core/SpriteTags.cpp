#include "swf/core/SpriteTags.h"

#include <algorithm>
#include <string>

#include "swf/core/ControlTags.h"
#include "swf/core/TagReader.h"

namespace movara::swf {

std::uint8_t TSWFDefineSprite::MinVersion() const {
  std::uint8_t v = 3;
  for (const auto& object : ControlTags) v = std::max(v, object->MinVersion());
  return v;
}

void TSWFDefineSprite::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFDefineSprite*>(&source)) {
    SpriteID = s->SpriteID, FrameCount = s->FrameCount, SWFVersion = s->SWFVersion;
  }
}

void TSWFDefineSprite::ReadFromStream(TBitsEngine& be) {
  SpriteID = be.ReadWord();
  FrameCount = be.ReadWord();
  ControlTags.clear();
  for (;;) {
    if (be.Stream.Remaining() == 0) throw SWFFormatError("sprite " + std::to_string(SpriteID) + " without End tag");
    const TTagHeader header = ReadTagHeader(be);
    // A sprite cannot hold another; refusing it here also bounds the nesting.
    if (header.Code == tagDefineSprite) throw SWFFormatError("sprite " + std::to_string(SpriteID) + " holds a sprite");
    const std::vector<std::uint8_t> body = ReadTagBytes(be, header);
    if (header.Code == tagEnd && body.empty()) return;
    auto tag = CreateTag(header.Code, SWFVersion);
    ReadTagBody(*tag, body);
    ControlTags.push_back(std::move(tag));
  }
}

void TSWFDefineSprite::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(SpriteID);
  be.WriteWord(FrameCount);
  if (OnStart) OnStart(be);
  std::uint16_t frame = 0;
  for (const auto& object : ControlTags) {
    const auto* tag = dynamic_cast<const TSWFObject*>(object.get());
    if (tag != nullptr && tag->TagCode == tagShowFrame) {
      if (OnShowFrame) OnShowFrame(be, frame);
      ++frame;
    }
    object->WriteToStream(be);
  }
  const auto* last = ControlTags.empty() ? nullptr : dynamic_cast<const TSWFObject*>(ControlTags.back().get());
  if (last == nullptr || last->TagCode != tagEnd) TSWFEnd().WriteToStream(be);
}

}  // namespace movara::swf
