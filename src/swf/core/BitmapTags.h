#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "swf/core/SWFObject.h"
#include "swf/core/TagCodes.h"

namespace movara::swf {

class TSWFDataObject;

// A data block shared between the tags that carry it (an image written twice
// builds and compresses its data once).
using TDataBlock = std::shared_ptr<const std::vector<std::uint8_t>>;
// Writes a data block in place of the stored one.
using TDataWriter = std::function<void(TSWFDataObject& tag, TBitsEngine& be)>;

inline TDataBlock MakeDataBlock(std::vector<std::uint8_t> bytes) {
  return std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
}

// A tag with one opaque data block, stored or written by a callback.
class TSWFDataObject : public TSWFObject {
 public:
  using TSWFObject::TSWFObject;
  TDataBlock Data;
  TDataWriter OnDataWrite;

  std::span<const std::uint8_t> DataBytes() const {
    return Data ? std::span<const std::uint8_t>(*Data) : std::span<const std::uint8_t>();
  }
  void AssignFrom(const TBasedSWFObject& source) override;

 protected:
  void WriteData(TBitsEngine& be);
  // Takes every byte left in the body as the data block.
  void ReadRest(TBitsEngine& be);
};

class TSWFImageTag : public TSWFDataObject {
 public:
  using TSWFDataObject::TSWFDataObject;
  std::uint16_t CharacterId = 0;
  void AssignFrom(const TBasedSWFObject& source) override;
  std::uint16_t DefinedCharacter() const override { return CharacterId; }
};

// DefineBits and DefineBitsJPEG2: the JPEG stream between its SOI and EOI
// markers, which the tag writes itself.
class TSWFDefineBits : public TSWFImageTag {
 public:
  TSWFDefineBits() : TSWFImageTag(tagDefineBits) {}
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;

 protected:
  using TSWFImageTag::TSWFImageTag;
  void ReadJPEG(std::span<const std::uint8_t> part);
  void WriteJPEG(TBitsEngine& be);
};

class TSWFDefineBitsJPEG2 : public TSWFDefineBits {
 public:
  TSWFDefineBitsJPEG2() : TSWFDefineBits(tagDefineBitsJPEG2) {}
  std::uint8_t MinVersion() const override { return 2; }

 protected:
  using TSWFDefineBits::TSWFDefineBits;
};

// DefineBitsJPEG3: JPEG data plus a zlib-compressed alpha plane.
class TSWFDefineBitsJPEG3 final : public TSWFDefineBitsJPEG2 {
 public:
  TSWFDefineBitsJPEG3() : TSWFDefineBitsJPEG2(tagDefineBitsJPEG3) {}
  TDataBlock AlphaData;
  TDataWriter OnAlphaDataWrite;
  std::uint8_t MinVersion() const override { return 3; }
  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;
};

// DefineBitsLossless: zlib-compressed colour table and rows as supplied.
class TSWFDefineBitsLossless : public TSWFImageTag {
 public:
  static constexpr std::uint8_t kColorMapped8 = 3;
  static constexpr std::uint8_t kRGB15 = 4;
  static constexpr std::uint8_t kRGB32 = 5;

  TSWFDefineBitsLossless() : TSWFImageTag(tagDefineBitsLossless) {}
  std::uint8_t BitmapFormat = kRGB32;
  std::uint8_t ColorTableSize = 0;  // entries minus one, format 3 only
  std::uint16_t Width = 0;
  std::uint16_t Height = 0;

  std::uint8_t MinVersion() const override { return 2; }
  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;

 protected:
  using TSWFImageTag::TSWFImageTag;
};

class TSWFDefineBitsLossless2 final : public TSWFDefineBitsLossless {
 public:
  TSWFDefineBitsLossless2() : TSWFDefineBitsLossless(tagDefineBitsLossless2) {}
  std::uint8_t MinVersion() const override { return 3; }
};

}  // namespace movara::swf
