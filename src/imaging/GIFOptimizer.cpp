// The two optimisations of a loaded GIF: merging its colour tables into one
// and reducing its frames to what changes. Both keep what the animation
// shows. Each step of either is one function below, in the order the steps
// run.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <optional>

#include "imaging/GIFException.h"
#include "imaging/GIFImage.h"

namespace movara::imaging {

namespace {

using TFrames = std::vector<std::unique_ptr<TGIFSubImage>>;

int ColorSum(TColor c) { return RedOf(c) + GreenOf(c) + BlueOf(c); }

bool UsesIndex(const TGIFSubImage& f, std::uint8_t index) {
  return std::find(f.PixelData().begin(), f.PixelData().end(), index) != f.PixelData().end();
}

// Whether some pixel of the frame shows the colour (through its table).
bool ShowsColor(const TGIFSubImage& f, const TGIFColorMap& map, TColor color) {
  std::array<bool, 256> used{};
  for (const std::uint8_t p : f.PixelData()) used[p] = true;
  for (int i = 0; i < 256; ++i) {
    if (used[i] && RGBOnly(i < map.Count() ? map.Colors()[i] : 0) == RGBOnly(color)) return true;
  }
  return false;
}

// The transparent index of a frame that has one, else -1.
int TransparentIndexOf(const TGIFSubImage& f) {
  const auto* gce = f.GraphicControlExtension();
  return f.Transparent() && gce != nullptr ? gce->TransparentIndex : -1;
}

void DropTransparency(TGIFSubImage& f) {
  if (auto* gce = f.GraphicControlExtension()) gce->SetTransparent(false);
  f.SetTransparentFlag(false);
}

// Reports progress of the optimisation as steps complete.
class TProgress {
 public:
  TProgress(TGIFImage& image, std::size_t total) : image_(image), total_(std::max<std::size_t>(total, 1)) {
    image_.Progress(0, 0, gifmsg::kOptimizing);
  }
  void Step() { image_.Progress(1, static_cast<int>(++done_ * 100 / total_), gifmsg::kOptimizing); }
  void End(bool ok) { image_.Progress(2, ok ? 100 : 0, gifmsg::kOptimizing); }

 private:
  TGIFImage& image_;
  std::size_t total_;
  std::size_t done_ = 0;
};

// ---- Merging the colour tables into one ----

// A colour table's histogram: one entry per table entry.
struct THistogramEntry {
  std::uint32_t Count = 0;
  int OldIndex = 0;
  int NewIndex = 256;
  TColor Color = 0;
  THistogramEntry* Ref = nullptr;  // the entry of the same colour that took this one's count
};

struct THistogram {
  int TableSize = 0;
  std::vector<THistogramEntry> Entries;  // 256: those beyond the table are black
  std::vector<TGIFSubImage*> Frames;
};

// The histograms of every table in use, and whether some frame shows
// transparency.
struct THistograms {
  std::vector<THistogram> Tables;
  bool Transparency = false;
  bool Warned = false;
};

// An index beyond its table shows black when rendered; it keeps showing
// black, as an entry of that colour.
THistogram HistogramOf(const TGIFColorMap& map) {
  THistogram h;
  h.TableSize = map.Count();
  for (int i = 0; i < 256; ++i) h.Entries.push_back({0, i, 256, i < map.Count() ? map.Colors()[i] : 0, nullptr});
  return h;
}

// Counts a frame's pixels into its table's histogram. A transparent index
// nobody uses stops being transparent.
void CountFrame(TGIFImage& image, THistograms& all, THistogram& h, TGIFSubImage& f) {
  auto* gce = f.GraphicControlExtension();
  const int t = TransparentIndexOf(f);
  bool usesT = false;
  for (const std::uint8_t p : f.PixelData()) {
    if (p == t) {
      usesT = true;
      continue;
    }
    if (p >= h.TableSize && !all.Warned) {
      image.Warning(gifmsg::kColorNotInMap);
      all.Warned = true;
    }
    if (++h.Entries[p].Count == std::numeric_limits<std::uint32_t>::max()) break;
  }
  if (t >= 0 && !usesT) {
    gce->TransparentIndex = 0;
    DropTransparency(f);
  }
  all.Transparency = all.Transparency || usesT;
  h.Frames.push_back(&f);
}

// One histogram for the global table (over the frames without a table of
// their own) and one per local table.
THistograms CountColors(TGIFImage& image) {
  THistograms all;
  THistogram global = HistogramOf(image.GlobalColorMap());
  for (auto& f : image.Frames()) {
    if (!f->IsEmpty() && f->ColorMap().Count() == 0) CountFrame(image, all, global, *f);
  }
  if (!global.Frames.empty()) all.Tables.push_back(std::move(global));
  for (auto& f : image.Frames()) {
    if (f->IsEmpty() || f->ColorMap().Count() == 0) continue;
    THistogram h = HistogramOf(f->ColorMap());
    CountFrame(image, all, h, *f);
    all.Tables.push_back(std::move(h));
  }
  return all;
}

// The entries in use, merged by colour (the first of a run of equal colours
// takes the run's count and the others refer to it), most used first.
std::vector<THistogramEntry*> MergeEqualColors(std::vector<THistogram>& tables) {
  std::vector<THistogramEntry*> list;
  for (auto& h : tables) {
    for (auto& e : h.Entries) {
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

// Renumbers every counted frame's pixels into the new table; transparent
// pixels take its last entry.
void Renumber(const THistograms& all, int newTransparent) {
  for (const auto& h : all.Tables) {
    std::array<std::uint8_t, 256> map{};
    for (const auto& e : h.Entries) map[e.OldIndex] = static_cast<std::uint8_t>(e.NewIndex < 256 ? e.NewIndex : 0);
    for (TGIFSubImage* f : h.Frames) {
      const int t = all.Transparency ? TransparentIndexOf(*f) : -1;
      for (std::uint8_t& p : f->PixelData()) p = p == t ? static_cast<std::uint8_t>(newTransparent) : map[p];
      if (t >= 0) f->GraphicControlExtension()->TransparentIndex = static_cast<std::uint8_t>(newTransparent);
    }
  }
}

// ---- Sorting tables by use ----

// Sorts a table by use over the frames that draw with it and cuts the
// colours nobody uses.
void SortColorMap(TGIFColorMap& map, const std::vector<TGIFSubImage*>& users) {
  const int n = map.Count();
  if (n <= 1) return;
  map.Optimized = true;
  std::array<std::uint64_t, 256> counts{};
  for (const TGIFSubImage* f : users) {
    for (const std::uint8_t p : f->PixelData()) {
      if (p < n) ++counts[p];
    }
  }
  std::vector<int> order(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i;
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return counts[a] > counts[b]; });
  bool identity = true;
  for (int i = 0; i < n; ++i) identity = identity && order[static_cast<std::size_t>(i)] == i;
  if (identity) return;
  std::array<std::uint8_t, 256> inverse{};
  std::vector<TColor> colors;
  for (int i = 0; i < n; ++i) {
    const int old = order[static_cast<std::size_t>(i)];
    inverse[old] = static_cast<std::uint8_t>(i);
    if (counts[old] > 0) colors.push_back(map.Colors()[old]);
  }
  for (TGIFSubImage* f : users) {
    for (std::uint8_t& p : f->PixelData()) {
      if (p < n) p = inverse[p];
    }
    auto* gce = f->GraphicControlExtension();
    if (f->Transparent() && gce != nullptr && gce->TransparentIndex < n) gce->TransparentIndex = inverse[gce->TransparentIndex];
    f->DropCaches();
  }
  map.Assign(std::move(colors));
}

void SortColorMaps(TGIFImage& image, TProgress& progress) {
  if (image.GlobalColorMap().Count() > 0) {
    std::vector<TGIFSubImage*> users;
    for (auto& f : image.Frames()) {
      if (f->ColorMap().Count() == 0) users.push_back(f.get());
    }
    SortColorMap(image.GlobalColorMap(), users);
  }
  for (auto& f : image.Frames()) {
    if (f->ColorMap().Count() > 0) SortColorMap(f->ColorMap(), {f.get()});
    progress.Step();
  }
}

// ---- Cleaning up what shows nothing ----

// Transparency nobody uses (an empty frame uses none) goes.
void DropUnusedTransparency(TFrames& frames, TProgress& progress) {
  for (auto& f : frames) {
    const auto* gce = f->GraphicControlExtension();
    if (f->Transparent() && (gce == nullptr || !UsesIndex(*f, gce->TransparentIndex))) DropTransparency(*f);
    progress.Step();
  }
}

// A disposal has no visible effect when the next frame is opaque, covers
// the whole rectangle and does not itself restore what was there before it.
void DropHiddenDisposals(TFrames& frames) {
  for (std::size_t i = 0; i + 1 < frames.size(); ++i) {
    TGIFSubImage& f = *frames[i];
    const TGIFSubImage& next = *frames[i + 1];
    auto* gce = f.GraphicControlExtension();
    if (gce == nullptr || (gce->Disposal() != 2 && gce->Disposal() != 3)) continue;
    const TGIFRect common = Intersection(f.ScreenRect(), next.ScreenRect());
    if (next.IsEmpty() || next.Transparent() || next.Disposal() == 3 || common.IsEmpty() || common != f.ScreenRect()) {
      continue;
    }
    gce->SetDisposal(0);
  }
}

// Comments, texts and application extensions go, but the loop of an
// animation's first frame; the control extension of a lone frame goes when
// it carries nothing that shows; a frame left empty and bare goes.
void StripExtensions(TFrames& frames, std::size_t i) {
  // Frames deleted after this one already count: a trailing empty frame
  // gone leaves a single-frame image.
  const bool single = frames.size() == 1;
  TGIFSubImage& f = *frames[i];
  std::erase_if(f.Extensions(), [&](const std::unique_ptr<TGIFExtension>& e) {
    if (dynamic_cast<const TGIFCommentExtension*>(e.get()) != nullptr) return true;
    if (dynamic_cast<const TGIFTextExtension*>(e.get()) != nullptr) return true;
    if (dynamic_cast<const TGIFAppExtNSLoop*>(e.get()) != nullptr) return !(i == 0 && frames.size() > 1);
    return dynamic_cast<const TGIFApplicationExtension*>(e.get()) != nullptr;
  });
  // In an animation even a delay of 0 stays: the converter times a frame
  // without one as a default-length frame.
  const auto* gce = f.GraphicControlExtension();
  if (gce != nullptr && single && !f.Transparent() && !gce->UserInput()) f.RemoveGraphicControlExtension();
  if (f.IsEmpty() && f.Extensions().empty()) frames.erase(frames.begin() + static_cast<std::ptrdiff_t>(i));
}

void StripAllExtensions(TFrames& frames, TProgress& progress) {
  for (std::size_t i = frames.size(); i-- > 0;) {
    progress.Step();
    StripExtensions(frames, i);
  }
}

// ---- Merging: pixels that repeat the previous frame become transparent ----

// The frame a frame draws over: the one before it, passing over frames that
// restore what was there before them.
std::size_t DrawnOver(const TFrames& frames, std::size_t n) {
  std::size_t p = n - 1;
  while (p > 0 && frames[p]->Disposal() == 3) --p;
  return p;
}

// A transparent index for a frame that has none: another frame's
// transparent index in the shared table serves when this frame never shows
// that index nor its colour (the converter tells transparency by colour);
// else a new black entry of the frame's table.
int NewTransparentIndex(TGIFImage& image, TGIFSubImage& fn) {
  const TGIFColorMap& map = fn.EffectiveColorMap();
  if (fn.ColorMap().Count() == 0) {
    for (const auto& other : image.Frames()) {
      const int t = TransparentIndexOf(*other);
      if (other.get() != &fn && other->ColorMap().Count() == 0 && t >= 0 && t < map.Count() &&
          !ShowsColor(fn, map, map.Colors()[t])) {
        return t;
      }
    }
  }
  TGIFColorMap& target = fn.ColorMap().Count() > 0 ? fn.ColorMap() : image.GlobalColorMap();
  return target.Add(MakeColor(0, 0, 0));
}

// The colour an index shows, for comparison: an index beyond its table
// matches nothing but the same index of the same table.
std::int64_t ComparableColor(const TGIFColorMap& m, std::uint8_t i, std::int64_t none) {
  return i < m.Count() ? static_cast<std::int64_t>(RGBOnly(m.Colors()[i])) : none - i;
}

// Turns the pixels of fn inside `common` that show what fp shows there into
// its transparent index t, choosing t first when fn has none. Whether a
// pixel changed.
bool MaskRepeatedPixels(TGIFImage& image, TGIFSubImage& fn, const TGIFSubImage& fp, const TGIFRect& common, int& t) {
  const TGIFColorMap& mapN = fn.EffectiveColorMap();
  const TGIFColorMap& mapP = fp.EffectiveColorMap();
  const int tp = TransparentIndexOf(fp);
  bool changed = false;
  for (int y = common.Top; y < common.Bottom; ++y) {
    std::uint8_t* rowN = fn.PixelData().data() + static_cast<std::size_t>(y - fn.Top) * fn.Width();
    const std::uint8_t* rowP = fp.PixelData().data() + static_cast<std::size_t>(y - fp.Top) * fp.Width();
    for (int x = common.Left; x < common.Right; ++x) {
      std::uint8_t& a = rowN[x - fn.Left];
      const std::uint8_t b = rowP[x - fp.Left];
      if (a == t || b == tp) continue;
      const bool same = (&mapN == &mapP && a == b) || ComparableColor(mapN, a, -1) == ComparableColor(mapP, b, -1000);
      if (!same) continue;
      if (t < 0) t = NewTransparentIndex(image, fn);
      a = static_cast<std::uint8_t>(t);
      changed = true;
    }
  }
  return changed;
}

// Makes frame n transparent where it repeats the frame it draws over.
void MergeWithPrevious(TGIFImage& image, std::size_t n) {
  const TFrames& frames = image.Frames();
  const TGIFSubImage& fp = *frames[DrawnOver(frames, n)];
  TGIFSubImage& fn = *frames[n];
  const TGIFRect common = Intersection(fn.ScreenRect(), fp.ScreenRect());
  if (fn.IsEmpty() || fp.IsEmpty() || fp.Disposal() == 2 || fp.Disposal() == 3 || common.IsEmpty()) return;
  auto* gce = fn.GraphicControlExtension();
  const bool wasTransparent = fn.Transparent() && gce != nullptr;
  const int tableSize = fn.EffectiveColorMap().Count();
  if (!wasTransparent && (tableSize == 0 || tableSize >= TGIFColorMap::kMaxColors)) return;
  int t = wasTransparent ? gce->TransparentIndex : -1;
  if (!MaskRepeatedPixels(image, fn, fp, common, t)) return;
  if (!wasTransparent) {
    if (gce == nullptr) {
      gce = static_cast<TGIFGraphicControlExtension*>(&fn.AddExtension(std::make_unique<TGIFGraphicControlExtension>(&fn)));
    }
    gce->SetTransparent(true);
    gce->TransparentIndex = static_cast<std::uint8_t>(t);
  }
  fn.DropCaches();
}

void MergeFrames(TGIFImage& image, TProgress& progress) {
  for (std::size_t n = image.Frames().size() - 1; n >= 1; --n) {
    progress.Step();
    MergeWithPrevious(image, n);
  }
}

// ---- Cropping transparent borders ----

// The frame's local rectangle of pixels that are not index t; none when
// every pixel is.
std::optional<TGIFRect> ShownBounds(const TGIFSubImage& f, std::uint8_t t) {
  const int w = f.Width(), h = f.Height();
  int x0 = w, y0 = h, x1 = -1, y1 = -1;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = f.PixelData().data() + static_cast<std::size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      if (row[x] == t) continue;
      x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
  }
  if (x1 < 0) return std::nullopt;
  return TGIFRect{x0, y0, x1 + 1, y1 + 1};
}

// Keeps only the part `r` (local coordinates) of a frame's pixels.
void CropTo(TGIFSubImage& f, const TGIFRect& r) {
  const int w = f.Width();
  const int nw = r.Right - r.Left, nh = r.Bottom - r.Top;
  std::vector<std::uint8_t> cropped(static_cast<std::size_t>(nw) * nh);
  for (int y = 0; y < nh; ++y) {
    std::copy_n(f.PixelData().data() + static_cast<std::size_t>(y + r.Top) * w + r.Left, nw,
                cropped.data() + static_cast<std::size_t>(y) * nw);
  }
  f.SetSize(static_cast<std::uint16_t>(nw), static_cast<std::uint16_t>(nh));
  f.PixelData() = std::move(cropped);
  f.Left = static_cast<std::uint16_t>(f.Left + r.Left);
  f.Top = static_cast<std::uint16_t>(f.Top + r.Top);
}

// Trims frame c to what it shows. A frame that shows nothing goes, and its
// time goes to the frame before; the first frame has none to take it and
// stays.
void CropFrame(TFrames& frames, std::size_t c) {
  TGIFSubImage& f = *frames[c];
  const auto* gce = f.GraphicControlExtension();
  // A disposal-2 frame clears its whole rectangle: trimming it would change
  // what is cleared.
  if (f.IsEmpty() || !f.Transparent() || gce == nullptr || gce->Disposal() == 2) return;
  const std::optional<TGIFRect> shown = ShownBounds(f, gce->TransparentIndex);
  if (!shown) {
    if (c == 0) return;
    const std::uint16_t delay = gce->Delay;
    frames.erase(frames.begin() + static_cast<std::ptrdiff_t>(c));
    if (auto* prev = frames[c - 1]->GraphicControlExtension()) prev->Delay = static_cast<std::uint16_t>(prev->Delay + delay);
    return;
  }
  if (*shown != f.LocalRect()) CropTo(f, *shown);
}

void CropFrames(TFrames& frames, TProgress& progress) {
  for (std::size_t c = frames.size(); c-- > 0;) {
    progress.Step();
    CropFrame(frames, c);
  }
}

}  // namespace

void TGIFImage::OptimizeColorMaps() {
  StopPainters();
  std::lock_guard lock(paintersMutex_);
  THistograms all = CountColors(*this);
  std::vector<TColor> table = ChooseColors(MergeEqualColors(all.Tables), all.Transparency);
  const int newTransparent = static_cast<int>(table.size());
  if (all.Transparency) table.push_back(MakeColor(0, 0, 0));
  for (auto& f : frames_) f->ColorMap().Clear();
  GlobalColorMap().Assign(std::move(table));
  GlobalColorMap().Optimized = true;
  Renumber(all, newTransparent);
  for (auto& f : frames_) f->DropCaches();
}

void TGIFImage::Optimize(std::uint8_t options, std::uint8_t reductionMethod) {
  if (frames_.empty()) return;
  StopPainters();
  std::lock_guard lock(paintersMutex_);
  TProgress progress(*this, frames_.size() * 6);
  try {
    if (options & ooColorMap) SortColorMaps(*this, progress);
    if (options & ooCleanup) {
      DropUnusedTransparency(frames_, progress);
      DropHiddenDisposals(frames_);
    }
    if (options & ooMerge) MergeFrames(*this, progress);
    if (options & ooCrop) CropFrames(frames_, progress);
    if (options & ooCleanup) StripAllExtensions(frames_, progress);
    if (!(options & ooCleanup) && (options & ooReduceColors) && reductionMethod == rmInvalid) {
      throw GIFException(gifmsg::kBadReduction);
    }
  } catch (...) {
    progress.End(false);
    throw;
  }
  progress.End(true);
}

}  // namespace movara::imaging
