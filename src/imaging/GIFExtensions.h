#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Cloneable.h"
#include "imaging/Colors.h"

namespace movara::imaging {

class TGIFSubImage;
class TGIFStreamReader;

// Something a GIF is made of that belongs to an image and loads itself.
class TGIFItem {
 public:
  virtual ~TGIFItem() = default;
  virtual void LoadFromStream(TGIFStreamReader& reader) = 0;
};

// An extension block (introducer 0x21, a label, data sub-blocks) kept with
// the frame it precedes. Each class derives through TCloneable.
class TGIFExtension : public TGIFItem {
 public:
  explicit TGIFExtension(TGIFSubImage* subImage) : subImage_(subImage) {}
  virtual std::uint8_t Label() const = 0;
  // A deep copy, still of this extension's frame.
  virtual std::unique_ptr<TGIFExtension> Clone() const = 0;
  // A deep copy that belongs to another frame.
  std::unique_ptr<TGIFExtension> CloneFor(TGIFSubImage* subImage) const;
  void LoadFromStream(TGIFStreamReader& reader) override;
  TGIFSubImage* SubImage() const { return subImage_; }

 protected:
  TGIFExtension(const TGIFExtension&) = default;
  virtual void LoadData(TGIFStreamReader& reader) = 0;
  TGIFSubImage* subImage_;
};

class TGIFGraphicControlExtension final : public TCloneable<TGIFGraphicControlExtension, TGIFExtension> {
 public:
  static constexpr std::uint8_t kLabel = 0xF9;
  using TCloneable::TCloneable;

  std::uint8_t Label() const override { return kLabel; }

  bool Transparent() const { return (Packed & 0x01) != 0; }
  bool UserInput() const { return (Packed & 0x02) != 0; }
  std::uint8_t Disposal() const { return (Packed >> 2) & 0x07; }
  std::uint8_t TransparentColorIndex() const { return TransparentIndex; }
  // The colour of the transparent index in the frame's effective table.
  TColor TransparentColor() const;

  void SetTransparent(bool value);
  void SetDisposal(std::uint8_t value) { Packed = static_cast<std::uint8_t>((Packed & ~0x1C) | ((value & 7) << 2)); }
  // An index beyond a non-empty active table warns and stores 0.
  void SetTransparentColorIndex(std::uint8_t index);

  std::uint8_t BlockSize = 4;
  std::uint8_t Packed = 0;
  std::uint16_t Delay = 0;
  std::uint8_t TransparentIndex = 0;
  std::uint8_t Terminator = 0;
  // Given by the optimiser to a frame that had none, for its transparency:
  // its delay of 0 is not the frame's, which has no delay of its own.
  bool Added = false;

 protected:
  void LoadData(TGIFStreamReader& reader) override;
};

// Lines of text, one per data sub-block, each up to its first zero byte.
class TGIFTextBlocks {
 public:
  std::vector<std::string> Text;
  void Load(TGIFStreamReader& reader);
};

class TGIFTextExtension final : public TCloneable<TGIFTextExtension, TGIFExtension> {
 public:
  static constexpr std::uint8_t kLabel = 0x01;
  using TCloneable::TCloneable;
  std::uint8_t Label() const override { return kLabel; }

  // Block size, grid left, top, width, height, cell width, height, colours.
  std::array<std::uint8_t, 13> Header{};
  TGIFTextBlocks Lines;

 protected:
  void LoadData(TGIFStreamReader& reader) override;
};

class TGIFCommentExtension final : public TCloneable<TGIFCommentExtension, TGIFExtension> {
 public:
  static constexpr std::uint8_t kLabel = 0xFE;
  using TCloneable::TCloneable;
  std::uint8_t Label() const override { return kLabel; }

  TGIFTextBlocks Lines;

 protected:
  void LoadData(TGIFStreamReader& reader) override;
};

// Application extension: an 11-byte identifier, then data the subclass reads.
class TGIFApplicationExtension : public TCloneable<TGIFApplicationExtension, TGIFExtension> {
 public:
  static constexpr std::uint8_t kLabel = 0xFF;
  using TCloneable::TCloneable;
  std::uint8_t Label() const override { return kLabel; }

  std::array<std::uint8_t, 11> Ident{};
  std::string IdentString() const { return std::string(Ident.begin(), Ident.end()); }

 protected:
  void LoadData(TGIFStreamReader& reader) override;
  // Data of an identifier nobody reads: its sub-blocks are skipped.
  virtual void LoadAppData(TGIFStreamReader& reader);
};

// NETSCAPE2.0 and ANIMEXTS1.0: the loop count (0 forever) and buffer size.
// Read as browsers read them: a sub-block too short for what its id names
// is passed over, and an extension whose sub-blocks give no loop count
// says nothing of the loops.
class TGIFAppExtNSLoop final : public TCloneable<TGIFAppExtNSLoop, TGIFApplicationExtension> {
 public:
  explicit TGIFAppExtNSLoop(TGIFSubImage* subImage);

  std::uint16_t LoopCount = 0;
  std::uint32_t BufferSize = 0;
  bool HasCount = true;

 protected:
  void LoadAppData(TGIFStreamReader& reader) override;
};

struct TGIFBlock {
  std::vector<std::uint8_t> Data;
};

class TGIFUnknownAppExtension final : public TCloneable<TGIFUnknownAppExtension, TGIFApplicationExtension> {
 public:
  using TCloneable::TCloneable;

  std::vector<TGIFBlock> Blocks;

 protected:
  void LoadAppData(TGIFStreamReader& reader) override;
};

// Looks at the bytes at the reader's position (an introducer and label) and
// creates the extension class that reads them, leaving the position as it
// was. Null for a label no class reads; an introducer at the very end of
// the data raises "未知扩展类型".
std::unique_ptr<TGIFExtension> CreateExtension(TGIFStreamReader& reader, TGIFSubImage* subImage);
// Skips an extension of an unknown label: its introducer, label and data
// sub-blocks, which delimit themselves. Warns "未知扩展类型", as viewers
// skip such extensions and show the image.
void SkipUnknownExtension(TGIFStreamReader& reader, TGIFSubImage* subImage);

}  // namespace movara::imaging
