#include "imaging/GIFColorChoice.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace movara::imaging {

namespace {

int ColorSum(TColor c) { return RedOf(c) + GreenOf(c) + BlueOf(c); }

// A table's entry in the merge.
struct THistogramEntry {
  std::uint32_t Count = 0;
  int OldIndex = 0;
  int NewIndex = 256;
  TColor Color = 0;
  THistogramEntry* Ref = nullptr;  // the entry of the same colour that took this one's count
};

// An index beyond its table shows black when rendered; it keeps showing
// black, as an entry of that colour.
std::vector<THistogramEntry> HistogramOf(const TTableUse& use) {
  std::vector<THistogramEntry> entries;
  for (int i = 0; i < 256; ++i) {
    const TColor color = i < static_cast<int>(use.Colors.size()) ? use.Colors[static_cast<std::size_t>(i)] : 0;
    entries.push_back({use.Counts[static_cast<std::size_t>(i)], i, 256, color, nullptr});
  }
  return entries;
}

// The entries in use, merged by colour (the first of a run of equal colours
// takes the run's count and the others refer to it), most used first.
std::vector<THistogramEntry*> MergeEqualColors(std::vector<std::vector<THistogramEntry>>& tables) {
  std::vector<THistogramEntry*> list;
  for (auto& h : tables) {
    for (auto& e : h) {
      if (e.Count > 0) list.push_back(&e);
    }
  }
  std::stable_sort(list.begin(), list.end(),
                   [](const auto* a, const auto* b) { return RGBOnly(a->Color) > RGBOnly(b->Color); });
  for (std::size_t i = 0; i < list.size();) {
    std::size_t j = i + 1;
    for (; j < list.size() && RGBOnly(list[j]->Color) == RGBOnly(list[i]->Color); ++j) {
      list[i]->Count = static_cast<std::uint32_t>(
          std::min<std::uint64_t>(std::uint64_t{list[i]->Count} + list[j]->Count, std::numeric_limits<std::uint32_t>::max()));
      list[j]->Count = 0;
      list[j]->Ref = list[i];
    }
    i = j;
  }
  std::stable_sort(list.begin(), list.end(), [](const auto* a, const auto* b) { return a->Count > b->Count; });
  return list;
}

// The new table: the most used colours that fit. Every entry learns its new
// index; colours that did not fit take the kept colour nearest by channel
// sum, and merged entries that of the colour they merged into.
std::vector<TColor> ChooseColors(const std::vector<THistogramEntry*>& list, bool transparency) {
  const std::size_t limit = transparency ? 255 : 256;
  std::size_t kept = 0;
  while (kept < list.size() && kept < limit && list[kept]->Count > 0) ++kept;
  std::vector<TColor> table;
  for (std::size_t i = 0; i < kept; ++i) {
    list[i]->NewIndex = static_cast<int>(i);
    table.push_back(list[i]->Color);
  }
  for (std::size_t i = kept; i < list.size(); ++i) {
    if (list[i]->Count == 0) continue;
    int best = 0;
    int bestDiff = 765;
    for (std::size_t k = 0; k < kept; ++k) {
      const int diff = std::abs(ColorSum(table[k]) - ColorSum(list[i]->Color));
      if (diff < bestDiff) best = static_cast<int>(k), bestDiff = diff;
    }
    list[i]->NewIndex = best;
  }
  for (auto* e : list) {
    if (e->Count == 0 && e->Ref != nullptr) e->NewIndex = e->Ref->NewIndex;
  }
  return table;
}

}  // namespace

bool CountTableColors(const std::vector<std::uint8_t>& pixels, int transparentIndex, int tableSize,
                      TIndexCounts& counts, bool& beyondTable) {
  bool usesTransparent = false;
  for (const std::uint8_t p : pixels) {
    if (p == transparentIndex) {
      usesTransparent = true;
      continue;
    }
    if (p >= tableSize) beyondTable = true;
    if (++counts[p] == std::numeric_limits<std::uint32_t>::max()) break;
  }
  return usesTransparent;
}

TMergedColors MergeColorTables(const std::vector<TTableUse>& tables, bool transparency) {
  std::vector<std::vector<THistogramEntry>> histograms;
  for (const TTableUse& use : tables) histograms.push_back(HistogramOf(use));
  TMergedColors merged;
  merged.Table = ChooseColors(MergeEqualColors(histograms), transparency);
  for (const auto& h : histograms) {
    TIndexMap map{};
    for (const auto& e : h) map[static_cast<std::size_t>(e.OldIndex)] = static_cast<std::uint8_t>(e.NewIndex < 256 ? e.NewIndex : 0);
    merged.Renumbering.push_back(map);
  }
  return merged;
}

std::optional<TIndexMap> SortTableByUse(TGIFColorMap& map, const std::array<std::uint64_t, 256>& counts) {
  const int n = map.Count();
  if (n <= 1) return std::nullopt;
  map.Optimized = true;
  std::vector<int> order(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return counts[a] > counts[b]; });
  bool identity = true;
  for (int i = 0; i < n; ++i) identity = identity && order[static_cast<std::size_t>(i)] == i;
  if (identity) return std::nullopt;
  // Indices beyond the table keep their value.
  TIndexMap inverse{};
  for (int i = 0; i < 256; ++i) inverse[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  std::vector<TColor> colors;
  for (int i = 0; i < n; ++i) {
    const int old = order[static_cast<std::size_t>(i)];
    inverse[static_cast<std::size_t>(old)] = static_cast<std::uint8_t>(i);
    if (counts[old] > 0) colors.push_back(map.Colors()[static_cast<std::size_t>(old)]);
  }
  map.Assign(std::move(colors));
  return inverse;
}

}  // namespace movara::imaging
