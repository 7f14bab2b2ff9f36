#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "convert/DrawnOver.h"
#include "convert/FrameComposer.h"
#include "imaging/GIFColorChoice.h"
#include "imaging/GIFImage.h"

namespace movara::convert {

// What a first reading of a GIF learns of a frame's pixels, for a
// conversion that reads the GIF again instead of holding its frames.
struct TFramePixels {
  bool Empty = false;
  // Of the frame as read (FrameChecksum): a second reading that reads
  // another frame is told by it.
  std::uint64_t Checksum = 0;
  // The transparent index its pixels use; -1 when it has none or none of
  // its pixels uses it.
  int Transparent = -1;
  // How many pixels show each index in use.
  std::vector<std::pair<std::uint8_t, std::uint32_t>> Used;
  // Its disposal once the optimiser has dropped a disposal nothing shows.
  std::uint8_t CleanDisposal = 0;
  // Whether some pixel repeats the frame it draws over, and the part of the
  // frame that shows (its own coordinates), as read when it is transparent
  // and with the repeated pixels made transparent when some repeat; none
  // when nothing shows.
  bool Repeats = false;
  std::optional<imaging::TGIFRect> Shown;
  std::optional<imaging::TGIFRect> ShownUnrepeated;
};

// How a frame read again becomes the frame the optimiser would have made.
struct TFrameRecipe {
  // Gone in the optimiser's clean-up (an empty frame with nothing in it).
  bool Erased = false;
  // Index as read to index in its final table; pixels of `KeepFrom` (the
  // transparent index as read) take `KeepTo`.
  imaging::TIndexMap Map{};
  int KeepFrom = -1;
  std::uint8_t KeepTo = 0;
  // Pixels repeating the frame drawn over take this index; -1: none.
  int MaskWith = -1;
  // The part kept when transparent borders are trimmed.
  std::optional<imaging::TGIFRect> Crop;
};

// The converter's optimisations of a GIF (colour-table merge, sort by use,
// clean-up, repeated pixels made transparent, trimming) decided from a
// first reading's facts: `gif` holds the frames without their pixels and
// ends as the optimised image would, but for the pixels, which `Apply`
// makes as a second reading hands each frame over.
class TStreamedOptimiser {
 public:
  TStreamedOptimiser(imaging::TGIFImage& gif, std::vector<TFramePixels> frames);

  // Whether the colours in use fit one table of 256 (255 and a transparent
  // entry when some frame shows transparency).
  bool ColorsFitOneTable() const;
  void MergeColorTables();
  // The frame optimisations, trimming tried when `layered`. False when the
  // GIF needs what only the whole image can show (a count beyond 32 bits,
  // a clean-up that leaves a single frame, facts that do not agree).
  bool Optimize(bool layered);

  // The frames left, in order.
  std::vector<TFrameShape> Shapes() const;
  std::vector<TFrameFacts> Facts() const;
  std::size_t ReadFrames() const { return frames_.size(); }
  bool Erased(std::size_t k) const { return recipes_[k].Erased; }
  bool Empty(std::size_t k) const { return frames_[k].Empty; }
  std::uint64_t Checksum(std::size_t k) const { return frames_[k].Checksum; }

  // Turns frame k as read again into its optimised self, given the frame it
  // draws over as read and a buffer for its new pixels; what the frames
  // after it compare with.
  TPixelsSeen Apply(imaging::TGIFSubImage& frame, std::size_t k, const TPixelsSeen* over,
                    std::vector<std::uint8_t> buffer) const;

 private:
  imaging::TGIFSubImage& Frame(std::size_t k) const { return *gif_.Frames()[k]; }
  bool CountInto(std::size_t k, imaging::TTableUse& use);
  std::uint8_t Value(std::size_t k, std::uint8_t index) const;
  bool Uses(std::size_t k, int index) const;
  bool ShowsColor(std::size_t k, const imaging::TGIFColorMap& map, imaging::TColor color) const;
  void SortTable(imaging::TGIFColorMap& map, const std::vector<std::size_t>& users);
  bool CleanUp();
  std::size_t DrawnOver(std::size_t n) const;
  void MergeWithPrevious(std::size_t n);
  int NewTransparentIndex(std::size_t n);
  std::optional<std::vector<std::optional<imaging::TGIFRect>>> TrimTrial() const;
  bool Strip();

  imaging::TGIFImage& gif_;
  std::vector<TFramePixels> frames_;
  std::vector<TFrameRecipe> recipes_;
  bool countsFit_ = true;
};

}  // namespace movara::convert
