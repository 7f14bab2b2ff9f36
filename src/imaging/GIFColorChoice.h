#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "imaging/Colors.h"
#include "imaging/GIFColorMap.h"

namespace movara::imaging {

// The colour choices of the optimiser apart from the pixels they renumber,
// so that a caller who sees each frame's pixels only once (a GIF read frame
// by frame) can count them as they pass and renumber them later.

using TIndexCounts = std::array<std::uint32_t, 256>;
using TIndexMap = std::array<std::uint8_t, 256>;

// Counts pixels into a table's counts as the colour merge does, the pixels
// of the frame's transparent index (-1: none) apart; a count that reaches
// its limit ends the frame's counting. Whether some counted pixel uses the
// transparent index, and `beyondTable` set when one lies beyond the table.
bool CountTableColors(const std::vector<std::uint8_t>& pixels, int transparentIndex, int tableSize,
                      TIndexCounts& counts, bool& beyondTable);

// One table's entries and how often the frames drawing with it use each.
struct TTableUse {
  std::vector<TColor> Colors;
  TIndexCounts Counts{};
};

// The merged table of several tables: the most used colours that fit (255
// and a black transparent entry last when some frame shows transparency),
// and for each table, in the order given, the new index of every old one.
struct TMergedColors {
  std::vector<TColor> Table;
  std::vector<TIndexMap> Renumbering;
};
TMergedColors MergeColorTables(const std::vector<TTableUse>& tables, bool transparency);

// Sorts a table by how often its entries are used (most first, stable) and
// cuts the entries nobody uses. The old-to-new index map when the order
// changed; none when it stayed (then the table is left as it was).
std::optional<TIndexMap> SortTableByUse(TGIFColorMap& map, const std::array<std::uint64_t, 256>& counts);

}  // namespace movara::imaging
