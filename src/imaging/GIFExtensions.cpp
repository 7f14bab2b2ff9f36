#include "imaging/GIFExtensions.h"

#include <cstring>

#include "imaging/GIFException.h"
#include "imaging/GIFImage.h"
#include "imaging/GIFStreamReader.h"
#include "imaging/GIFSubImage.h"

namespace movara::imaging {

namespace {

bool IsLoopIdent(const std::uint8_t* ident) {
  return std::memcmp(ident, "NETSCAPE2.0", 11) == 0 || std::memcmp(ident, "ANIMEXTS1.0", 11) == 0;
}

void Warn(TGIFSubImage* subImage, const char* message) {
  if (subImage != nullptr && subImage->Image() != nullptr) subImage->Image()->Warning(message);
}

}  // namespace

std::unique_ptr<TGIFExtension> TGIFExtension::CloneFor(TGIFSubImage* subImage) const {
  std::unique_ptr<TGIFExtension> copy = Clone();
  copy->subImage_ = subImage;
  return copy;
}

void TGIFExtension::LoadFromStream(TGIFStreamReader& reader) {
  std::uint8_t head[2];
  reader.ReadExact(head, 2);
  if (head[0] != 0x21) throw GIFException(gifmsg::kBadExtension);
  if (head[1] != Label()) throw GIFException(gifmsg::kExtensionMismatch);
  LoadData(reader);
}

void TGIFGraphicControlExtension::LoadData(TGIFStreamReader& reader) {
  std::uint8_t data[6] = {BlockSize, Packed, static_cast<std::uint8_t>(Delay), static_cast<std::uint8_t>(Delay >> 8),
                          TransparentIndex, Terminator};
  if (reader.ReadSome(data, 6) < 6) Warn(subImage_, gifmsg::kPrematureEnd);
  BlockSize = data[0];
  Packed = data[1];
  Delay = static_cast<std::uint16_t>(data[2] | (data[3] << 8));
  TransparentIndex = data[4];
  Terminator = data[5];
  if (Transparent() && subImage_ != nullptr) subImage_->SetTransparentFlag(true);
}

TColor TGIFGraphicControlExtension::TransparentColor() const {
  return subImage_->EffectiveColorMap().ColorAt(TransparentIndex);
}

void TGIFGraphicControlExtension::SetTransparent(bool value) {
  Packed = static_cast<std::uint8_t>(value ? Packed | 0x01 : Packed & ~0x01);
  if (value && subImage_ != nullptr) subImage_->SetTransparentFlag(true);
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(std::uint8_t index) {
  if (subImage_ != nullptr) {
    const TGIFColorMap& map = subImage_->EffectiveColorMap();
    if (map.Count() > 0 && index >= map.Count()) {
      Warn(subImage_, gifmsg::kBadColorIndex);
      index = 0;
    }
  }
  TransparentIndex = index;
}

void TGIFTextBlocks::Load(TGIFStreamReader& reader) {
  Text.clear();
  std::uint8_t size;
  while (reader.ReadByte(size) && size != 0) {
    std::string line(size, '\0');
    reader.ReadExact(line.data(), size);
    line.resize(std::strlen(line.c_str()));
    Text.push_back(std::move(line));
  }
}

void TGIFTextExtension::LoadData(TGIFStreamReader& reader) {
  reader.ReadExact(Header.data(), Header.size());
  Lines.Load(reader);
}

void TGIFCommentExtension::LoadData(TGIFStreamReader& reader) { Lines.Load(reader); }

void TGIFApplicationExtension::LoadData(TGIFStreamReader& reader) {
  const std::uint8_t blockSize = reader.ReadByteExact();
  if (blockSize == 10) {
    Ident.fill(0);
  } else if (blockSize < 11) {
    throw GIFException(gifmsg::kBadAppBlockSize);
  }
  reader.ReadExact(Ident.data(), Ident.size());
  // A 10-byte identifier gave up its last byte to the data; a longer one
  // carries surplus bytes that are skipped.
  if (blockSize == 10) {
    reader.Back(1);
  } else if (blockSize > 11) {
    reader.Skip(blockSize - 11u);
  }
  LoadAppData(reader);
}

void TGIFApplicationExtension::LoadAppData(TGIFStreamReader& reader) {
  std::uint8_t size;
  while (reader.ReadByte(size) && size != 0) reader.Skip(size);
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* subImage) : TCloneable(subImage) {
  std::memcpy(Ident.data(), "NETSCAPE2.0", 11);
}

void TGIFAppExtNSLoop::LoadAppData(TGIFStreamReader& reader) {
  HasCount = false;
  std::uint8_t size;
  reader.ReadExact(&size, 1);
  while (size != 0) {
    const int kind = reader.ReadByteExact() & 7;
    // A sub-block too short for its kind is passed over, as browsers do.
    if (kind == 1 && size >= 3) {
      LoopCount = reader.ReadWordExact();
      HasCount = true;
      reader.Skip(size - 3u);
    } else if (kind == 2 && size >= 5) {
      std::uint8_t b[4];
      reader.ReadExact(b, 4);
      BufferSize = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
      reader.Skip(size - 5u);
    } else {
      reader.Skip(size - 1u);
    }
    reader.ReadExact(&size, 1);
  }
}

void TGIFUnknownAppExtension::LoadAppData(TGIFStreamReader& reader) {
  Blocks.clear();
  std::uint8_t size;
  while (reader.ReadByte(size) && size != 0) {
    TGIFBlock block;
    block.Data.resize(size);
    block.Data.resize(reader.ReadSome(block.Data.data(), size));
    Blocks.push_back(std::move(block));
  }
}

std::unique_ptr<TGIFExtension> CreateExtension(TGIFStreamReader& reader, TGIFSubImage* subImage) {
  const std::uint64_t start = reader.Position();
  std::uint8_t head[2 + 1 + 11];
  const std::size_t got = reader.ReadSome(head, sizeof head);
  reader.Seek(start);
  if (got < 2) throw GIFException(gifmsg::kUnknownExtension);
  switch (head[1]) {
    case TGIFTextExtension::kLabel: return std::make_unique<TGIFTextExtension>(subImage);
    case TGIFGraphicControlExtension::kLabel: return std::make_unique<TGIFGraphicControlExtension>(subImage);
    case TGIFCommentExtension::kLabel: return std::make_unique<TGIFCommentExtension>(subImage);
    case TGIFApplicationExtension::kLabel:
      if (got >= 3 + 10 && head[2] == 10) return std::make_unique<TGIFUnknownAppExtension>(subImage);
      if (got >= 3 + 11 && head[2] == 11) {
        if (IsLoopIdent(head + 3)) return std::make_unique<TGIFAppExtNSLoop>(subImage);
        return std::make_unique<TGIFUnknownAppExtension>(subImage);
      }
      return std::make_unique<TGIFApplicationExtension>(subImage);
    default: return nullptr;
  }
}

void SkipUnknownExtension(TGIFStreamReader& reader, TGIFSubImage* subImage) {
  reader.Skip(2);
  std::uint8_t size;
  while (reader.ReadByte(size) && size != 0) reader.Skip(size);
  Warn(subImage, gifmsg::kUnknownExtension);
}

}  // namespace movara::imaging
