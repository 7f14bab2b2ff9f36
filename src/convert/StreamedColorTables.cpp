// The streamed optimiser's colour tables: whether the colours in use fit
// one table, the merge into it and the sort of each table by use, decided
// from each frame's counts of the indices it shows.
#include "convert/StreamedOptimiser.h"

#include <algorithm>
#include <array>
#include <limits>

namespace movara::convert {

using imaging::TGIFColorMap;
using imaging::TGIFSubImage;
using imaging::TIndexMap;

std::uint8_t TStreamedOptimiser::Value(std::size_t k, std::uint8_t index) const {
  const TFrameRecipe& r = recipes_[k];
  return index == r.KeepFrom ? r.KeepTo : r.Map[index];
}

bool TStreamedOptimiser::Uses(std::size_t k, int index) const {
  for (const auto& [i, count] : frames_[k].Used) {
    if (Value(k, i) == index) return true;
  }
  return false;
}

bool TStreamedOptimiser::ShowsColor(std::size_t k, const TGIFColorMap& map, imaging::TColor color) const {
  for (const auto& [i, count] : frames_[k].Used) {
    const std::uint8_t v = Value(k, i);
    if (imaging::RGBOnly(v < map.Count() ? map.Colors()[v] : 0) == imaging::RGBOnly(color)) return true;
  }
  return false;
}

bool TStreamedOptimiser::ColorsFitOneTable() const {
  TColorsInUse colors;
  for (std::size_t k = 0; k < frames_.size(); ++k) {
    if (frames_[k].Empty) continue;
    for (const auto& [i, count] : frames_[k].Used) {
      colors.Add(Frame(k).EffectiveColorMap().Colors(), Frame(k).TransparentIndex(), i);
    }
  }
  return colors.FitOneTable();
}

bool TStreamedOptimiser::CountInto(std::size_t k, imaging::TTableUse& use) {
  TGIFSubImage& f = Frame(k);
  const int t = f.TransparentIndex();
  bool usesT = false;
  for (const auto& [i, count] : frames_[k].Used) {
    if (i == t) {
      usesT = true;
      continue;
    }
    // The merge's counts are 32-bit: a sum that reaches the limit is left to
    // the whole image, whose counting stops there.
    const std::uint64_t sum = std::uint64_t{use.Counts[i]} + count;
    countsFit_ = countsFit_ && sum < std::numeric_limits<std::uint32_t>::max();
    use.Counts[i] = static_cast<std::uint32_t>(std::min<std::uint64_t>(sum, std::numeric_limits<std::uint32_t>::max()));
  }
  if (t >= 0 && !usesT) {
    f.GraphicControlExtension()->TransparentIndex = 0;
    f.DropTransparency();
  }
  return usesT;
}

void TStreamedOptimiser::MergeColorTables() {
  std::vector<imaging::TTableUse> tables;
  std::vector<int> tableOf(frames_.size(), -1);
  bool transparency = false;
  // One use for the global table (over the frames without a table of their
  // own), then one per local table.
  imaging::TTableUse global{gif_.GlobalColorMap().Colors(), {}};
  for (std::size_t k = 0; k < frames_.size(); ++k) {
    if (frames_[k].Empty || Frame(k).ColorMap().Count() > 0) continue;
    transparency = CountInto(k, global) || transparency;
    tableOf[k] = 0;
  }
  if (std::find(tableOf.begin(), tableOf.end(), 0) != tableOf.end()) tables.push_back(std::move(global));
  for (std::size_t k = 0; k < frames_.size(); ++k) {
    if (frames_[k].Empty || Frame(k).ColorMap().Count() == 0) continue;
    imaging::TTableUse use{Frame(k).ColorMap().Colors(), {}};
    transparency = CountInto(k, use) || transparency;
    tableOf[k] = static_cast<int>(tables.size());
    tables.push_back(std::move(use));
  }
  imaging::TMergedColors merged = imaging::MergeColorTables(tables, transparency);
  const auto newTransparent = static_cast<std::uint8_t>(merged.Table.size());
  if (transparency) merged.Table.push_back(imaging::MakeColor(0, 0, 0));
  for (auto& f : gif_.Frames()) f->ColorMap().Clear();
  gif_.GlobalColorMap().Assign(std::move(merged.Table));
  gif_.GlobalColorMap().Optimized = true;
  for (std::size_t k = 0; k < frames_.size(); ++k) {
    if (tableOf[k] < 0) continue;
    TFrameRecipe& r = recipes_[k];
    r.Map = merged.Renumbering[static_cast<std::size_t>(tableOf[k])];
    const int t = transparency ? Frame(k).TransparentIndex() : -1;
    if (t < 0) continue;
    r.KeepFrom = t;
    r.KeepTo = newTransparent;
    Frame(k).GraphicControlExtension()->TransparentIndex = newTransparent;
  }
}

void TStreamedOptimiser::SortTable(TGIFColorMap& map, const std::vector<std::size_t>& users) {
  const int n = map.Count();
  if (n <= 1) return;
  std::array<std::uint64_t, 256> counts{};
  for (const std::size_t k : users) {
    for (const auto& [i, count] : frames_[k].Used) {
      const std::uint8_t v = Value(k, i);
      if (v < n) counts[v] += count;
    }
  }
  const std::optional<TIndexMap> inverse = imaging::SortTableByUse(map, counts);
  if (!inverse) return;
  for (const std::size_t k : users) {
    TFrameRecipe& r = recipes_[k];
    for (auto& v : r.Map) v = (*inverse)[v];
    r.KeepTo = (*inverse)[r.KeepTo];
    auto* gce = Frame(k).GraphicControlExtension();
    if (Frame(k).Transparent() && gce != nullptr) gce->TransparentIndex = (*inverse)[gce->TransparentIndex];
  }
}

}  // namespace movara::convert
