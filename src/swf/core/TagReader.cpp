#include "swf/core/TagReader.h"

#include <string>

#include "base/MemoryStream.h"
#include "base/ZlibStream.h"
#include "swf/core/ActionList.h"
#include "swf/core/BitmapTags.h"
#include "swf/core/ButtonTags.h"
#include "swf/core/ControlTags.h"
#include "swf/core/DisplayListTags.h"
#include "swf/core/ShapeTags.h"
#include "swf/core/SoundTags.h"
#include "swf/core/SpriteTags.h"
#include "swf/core/TagCodes.h"

namespace movara::swf {

void TSWFUnknownTag::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  AssignSame(*this, source);
}

void TSWFUnknownTag::ReadFromStream(TBitsEngine& be) { Data = be.ReadRest(); }

TTagHeader ReadTagHeader(TBitsEngine& be) {
  const std::uint16_t word = be.ReadWord();
  TTagHeader h;
  h.Code = word >> 6;
  h.Length = word & 0x3F;
  if (h.Length == 0x3F) {
    h.Length = be.ReadDWord();
    h.LongForm = true;
  }
  return h;
}

std::unique_ptr<TSWFObject> CreateTag(std::uint16_t code, std::uint8_t version) {
  switch (code) {
    case tagEnd: return std::make_unique<TSWFEnd>();
    case tagShowFrame: return std::make_unique<TSWFShowFrame>();
    case tagSetBackgroundColor: return std::make_unique<TSWFSetBackgroundColor>();
    case tagFrameLabel: return std::make_unique<TSWFFrameLabel>();
    case tagProtect: return std::make_unique<TSWFProtect>();
    case tagDoAction: return std::make_unique<TSWFDoAction>();
    case tagDoInitAction: return std::make_unique<TSWFDoInitAction>();
    case tagPlaceObject2: {
      auto place = std::make_unique<TSWFPlaceObject2>();
      place->SWFVersion = version;
      return place;
    }
    case tagRemoveObject: return std::make_unique<TSWFRemoveObject>();
    case tagRemoveObject2: return std::make_unique<TSWFRemoveObject2>();
    case tagDefineShape:
    case tagDefineShape2: {
      auto shape = std::make_unique<TSWFDefineShape>();
      shape->TagCode = code;
      return shape;
    }
    case tagDefineShape3: return std::make_unique<TSWFDefineShape3>();
    case tagDefineBits: return std::make_unique<TSWFDefineBits>();
    case tagDefineBitsJPEG2: return std::make_unique<TSWFDefineBitsJPEG2>();
    case tagDefineBitsJPEG3: return std::make_unique<TSWFDefineBitsJPEG3>();
    case tagDefineBitsLossless: return std::make_unique<TSWFDefineBitsLossless>();
    case tagDefineBitsLossless2: return std::make_unique<TSWFDefineBitsLossless2>();
    case tagDefineButton: return std::make_unique<TSWFDefineButton>();
    case tagDefineButton2: return std::make_unique<TSWFDefineButton2>();
    case tagDefineButtonSound: return std::make_unique<TSWFDefineButtonSound>();
    case tagDefineSound: return std::make_unique<TSWFDefineSound>();
    case tagStartSound: return std::make_unique<TSWFStartSound>();
    case tagSoundStreamHead: return std::make_unique<TSWFSoundStreamHead>();
    case tagSoundStreamHead2: return std::make_unique<TSWFSoundStreamHead2>();
    case tagDefineVideoStream: return std::make_unique<TSWFDefineVideoStream>();
    case tagVideoFrame: return std::make_unique<TSWFVideoFrame>();
    case tagDefineSprite: {
      auto sprite = std::make_unique<TSWFDefineSprite>();
      sprite->SWFVersion = version;
      return sprite;
    }
    default: return std::make_unique<TSWFUnknownTag>(code);
  }
}

void ReadTagBody(TSWFObject& tag, std::span<const std::uint8_t> body) {
  TMemoryViewStream stream(body);
  TBitsEngine be(stream);
  tag.ReadFromStream(be);
  if (stream.Remaining() > 0) {
    throw SWFFormatError("tag " + std::to_string(tag.TagCode) + ": " + std::to_string(stream.Remaining()) +
                         " bytes left after its body");
  }
  tag.BodySize = static_cast<std::uint32_t>(body.size());
}

std::vector<std::uint8_t> ReadTagBytes(TBitsEngine& be, const TTagHeader& header) {
  if (header.Length > be.Stream.Remaining()) {
    throw SWFFormatError("tag " + std::to_string(header.Code) + " declares " + std::to_string(header.Length) +
                         " bytes, only " + std::to_string(be.Stream.Remaining()) + " left");
  }
  std::vector<std::uint8_t> body(header.Length);
  be.ReadBytes(body.data(), body.size());
  return body;
}

std::unique_ptr<TSWFObject> ReadTag(TBitsEngine& be, std::uint8_t version) {
  const TTagHeader header = ReadTagHeader(be);
  const std::vector<std::uint8_t> body = ReadTagBytes(be, header);
  auto tag = CreateTag(header.Code, version);
  ReadTagBody(*tag, body);
  return tag;
}

namespace {

// The first eight bytes' fields, checked; whether the movie is compressed.
bool ReadFirstEight(std::span<const std::uint8_t> bytes, TSWFFileHeader& h) {
  if (bytes.size() < 8) throw SWFFormatError("file too short for an SWF header");
  std::copy_n(bytes.begin(), 3, h.Signature);
  const bool compressed = h.Signature[0] == 'C';
  if ((h.Signature[0] != 'F' && !compressed) || h.Signature[1] != 'W' || h.Signature[2] != 'S') {
    throw SWFFormatError("not an SWF file");
  }
  h.Version = bytes[3];
  h.FileLength = bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (static_cast<std::uint32_t>(bytes[7]) << 24);
  if (h.FileLength < 8) throw SWFFormatError("SWF length field below the header size");
  return compressed;
}

// The first eight bytes' fields, checked, and the bytes after them
// (inflated into `inflated` for a compressed movie).
std::span<const std::uint8_t> ReadFileStart(std::span<const std::uint8_t> bytes, TSWFFileHeader& h,
                                            std::vector<std::uint8_t>& inflated) {
  const bool compressed = ReadFirstEight(bytes, h);
  std::span<const std::uint8_t> rest = bytes.subspan(8);
  if (compressed) {
    inflated = ZlibDecompress(rest, h.FileLength - 8);
    rest = inflated;
  }
  if (rest.size() != h.FileLength - 8) {
    throw SWFFormatError("SWF length field says " + std::to_string(h.FileLength) + " bytes, the file holds " +
                         std::to_string(rest.size() + 8));
  }
  return rest;
}

void ReadStageFields(TBitsEngine& be, TSWFFileHeader& h) {
  h.FrameRect = be.ReadRect();
  h.FrameRate = be.ReadWord();
  h.FrameCount = be.ReadWord();
}

}  // namespace

TSWFFileHeader ReadSWFFileHeader(std::span<const std::uint8_t> bytes) {
  TSWFFileHeader h;
  std::vector<std::uint8_t> inflated;
  TMemoryViewStream stream(ReadFileStart(bytes, h, inflated));
  TBitsEngine be(stream);
  ReadStageFields(be, h);
  return h;
}

TSWFFileHeader ReadSWFHeaderStart(TStream& stream) {
  std::uint8_t start[8] = {};
  TSWFFileHeader h;
  const bool compressed = ReadFirstEight(std::span(start, stream.Read(start, sizeof start)), h);
  if (!compressed) {
    TBitsEngine be(stream);
    ReadStageFields(be, h);
    return h;
  }
  TDecompressionStream inflating(stream);
  TBitsEngine be(inflating);
  ReadStageFields(be, h);
  return h;
}

TSWFFile ReadSWFFile(std::span<const std::uint8_t> bytes) {
  TSWFFile file;
  TSWFFileHeader& h = file.Header;
  std::vector<std::uint8_t> inflated;
  TMemoryViewStream stream(ReadFileStart(bytes, h, inflated));
  TBitsEngine be(stream);
  ReadStageFields(be, h);
  while (stream.Remaining() > 0) {
    file.TagOffsets.push_back(8 + stream.Position());
    file.Tags.push_back(ReadTag(be, h.Version));
    if (file.Tags.back()->TagCode == tagEnd) break;
  }
  if (file.Tags.empty() || file.Tags.back()->TagCode != tagEnd) throw SWFFormatError("SWF file without End tag");
  if (stream.Remaining() > 0) throw SWFFormatError("bytes after the End tag");
  return file;
}

}  // namespace movara::swf
