#include "swf/core/BitmapTags.h"

#include "base/MemoryStream.h"

namespace movara::swf {

void TSWFDataObject::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFDataObject*>(&source)) {
    Data = s->Data;
    OnDataWrite = s->OnDataWrite;
  }
}

void TSWFDataObject::WriteData(TBitsEngine& be) {
  if (OnDataWrite) {
    OnDataWrite(*this, be);
  } else if (Data) {
    be.WriteBytes(Data->data(), Data->size());
  }
}

void TSWFDataObject::ReadRest(TBitsEngine& be) { Data = MakeDataBlock(be.ReadRest()); }

void TSWFImageTag::AssignFrom(const TBasedSWFObject& source) {
  TSWFDataObject::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFImageTag*>(&source)) CharacterId = s->CharacterId;
}

void TSWFDefineBits::WriteJPEG(TBitsEngine& be) {
  be.WriteByte(0xFF);
  be.WriteByte(0xD8);
  WriteData(be);
  be.WriteByte(0xFF);
  be.WriteByte(0xD9);
}

void TSWFDefineBits::ReadJPEG(std::span<const std::uint8_t> part) {
  // Skip 16-bit words up to and including the start-of-image marker; the
  // bytes before the final end-of-image marker are the data.
  std::size_t at = 0;
  for (;;) {
    if (part.size() - at < 2) throw SWFFormatError("JPEG data without its start-of-image marker");
    const bool soi = part[at] == 0xFF && part[at + 1] == 0xD8;
    at += 2;
    if (soi) break;
  }
  if (part.size() - at < 2 || part[part.size() - 2] != 0xFF || part[part.size() - 1] != 0xD9) {
    throw SWFFormatError("JPEG data without its end-of-image marker");
  }
  Data = MakeDataBlock(std::vector<std::uint8_t>(part.begin() + static_cast<std::ptrdiff_t>(at), part.end() - 2));
}

void TSWFDefineBits::ReadFromStream(TBitsEngine& be) {
  CharacterId = be.ReadWord();
  const std::vector<std::uint8_t> rest = be.ReadRest();
  ReadJPEG(rest);
}

void TSWFDefineBits::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(CharacterId);
  WriteJPEG(be);
}

void TSWFDefineBitsJPEG3::AssignFrom(const TBasedSWFObject& source) {
  TSWFDefineBitsJPEG2::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFDefineBitsJPEG3*>(&source)) {
    AlphaData = s->AlphaData;
    OnAlphaDataWrite = s->OnAlphaDataWrite;
  }
}

void TSWFDefineBitsJPEG3::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(CharacterId);
  const std::uint64_t offsetAt = be.Stream.Position();
  be.WriteDWord(std::uint32_t{0});
  WriteJPEG(be);
  const std::uint64_t end = be.Stream.Position();
  be.Stream.Seek(offsetAt);
  be.WriteDWord(static_cast<std::uint32_t>(end - offsetAt - 4));
  be.Stream.Seek(end);
  if (OnAlphaDataWrite) {
    OnAlphaDataWrite(*this, be);
  } else if (AlphaData) {
    be.WriteBytes(AlphaData->data(), AlphaData->size());
  }
}

void TSWFDefineBitsJPEG3::ReadFromStream(TBitsEngine& be) {
  CharacterId = be.ReadWord();
  const std::uint32_t jpegSize = be.ReadDWord();
  if (jpegSize > be.Stream.Remaining()) throw SWFFormatError("JPEG part runs past its tag");
  std::vector<std::uint8_t> jpeg(jpegSize);
  be.ReadBytes(jpeg.data(), jpeg.size());
  ReadJPEG(jpeg);
  AlphaData = MakeDataBlock(be.ReadRest());
}

void TSWFDefineBitsLossless::AssignFrom(const TBasedSWFObject& source) {
  TSWFImageTag::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFDefineBitsLossless*>(&source)) {
    BitmapFormat = s->BitmapFormat;
    ColorTableSize = s->ColorTableSize;
    Width = s->Width;
    Height = s->Height;
  }
}

void TSWFDefineBitsLossless::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(CharacterId);
  be.WriteByte(BitmapFormat);
  be.WriteWord(Width);
  be.WriteWord(Height);
  if (BitmapFormat == kColorMapped8) be.WriteByte(ColorTableSize);
  WriteData(be);
}

void TSWFDefineBitsLossless::ReadFromStream(TBitsEngine& be) {
  CharacterId = be.ReadWord();
  BitmapFormat = be.ReadByte();
  Width = be.ReadWord();
  Height = be.ReadWord();
  if (BitmapFormat == kColorMapped8) ColorTableSize = be.ReadByte();
  ReadRest(be);
}

}  // namespace movara::swf
