// The two optimisations of a loaded GIF: merging its colour tables into one
// and reducing its frames to what changes. Both keep what the animation
// shows. Each step of either is one function below, in the order the steps
// run.
#include <algorithm>
#include <array>
#include <optional>

#include "imaging/GIFColorChoice.h"
#include "imaging/GIFException.h"
#include "imaging/GIFImage.h"

namespace movara::imaging {

namespace {

using TFrames = std::vector<std::unique_ptr<TGIFSubImage>>;

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

// The use of every table in use, the frames that draw with each, and
// whether some frame shows transparency.
struct TTableCounts {
  std::vector<TTableUse> Tables;
  std::vector<std::vector<TGIFSubImage*>> Frames;
  bool Transparency = false;
  bool Warned = false;
};

// Counts a frame's pixels into its table's use. A transparent index nobody
// uses stops being transparent.
void CountFrame(TGIFImage& image, TTableCounts& all, TTableUse& use, TGIFSubImage& f) {
  auto* gce = f.GraphicControlExtension();
  const int t = f.TransparentIndex();
  bool beyondTable = false;
  const bool usesT = CountTableColors(f.PixelData(), t, static_cast<int>(use.Colors.size()), use.Counts, beyondTable);
  if (beyondTable && !all.Warned) {
    image.Warning(gifmsg::kColorNotInMap);
    all.Warned = true;
  }
  if (t >= 0 && !usesT) {
    gce->TransparentIndex = 0;
    f.DropTransparency();
  }
  all.Transparency = all.Transparency || usesT;
}

// One count for the global table (over the frames without a table of their
// own) and one per local table.
TTableCounts CountColors(TGIFImage& image) {
  TTableCounts all;
  TTableUse global{image.GlobalColorMap().Colors(), {}};
  std::vector<TGIFSubImage*> users;
  for (auto& f : image.Frames()) {
    if (f->IsEmpty() || f->ColorMap().Count() > 0) continue;
    CountFrame(image, all, global, *f);
    users.push_back(f.get());
  }
  if (!users.empty()) {
    all.Tables.push_back(std::move(global));
    all.Frames.push_back(std::move(users));
  }
  for (auto& f : image.Frames()) {
    if (f->IsEmpty() || f->ColorMap().Count() == 0) continue;
    TTableUse use{f->ColorMap().Colors(), {}};
    CountFrame(image, all, use, *f);
    all.Tables.push_back(std::move(use));
    all.Frames.push_back({f.get()});
  }
  return all;
}

// Renumbers every counted frame's pixels into the new table; transparent
// pixels take its last entry.
void Renumber(const TTableCounts& all, const std::vector<TIndexMap>& renumbering, int newTransparent) {
  for (std::size_t i = 0; i < all.Tables.size(); ++i) {
    const TIndexMap& map = renumbering[i];
    for (TGIFSubImage* f : all.Frames[i]) {
      const int t = all.Transparency ? f->TransparentIndex() : -1;
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
  std::array<std::uint64_t, 256> counts{};
  for (const TGIFSubImage* f : users) {
    for (const std::uint8_t p : f->PixelData()) {
      if (p < n) ++counts[p];
    }
  }
  const std::optional<TIndexMap> inverse = SortTableByUse(map, counts);
  if (!inverse) return;
  for (TGIFSubImage* f : users) {
    for (std::uint8_t& p : f->PixelData()) p = (*inverse)[p];
    auto* gce = f->GraphicControlExtension();
    if (f->Transparent() && gce != nullptr) gce->TransparentIndex = (*inverse)[gce->TransparentIndex];
    f->DropCaches();
  }
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
    if (f->Transparent() && (gce == nullptr || !UsesIndex(*f, gce->TransparentIndex))) f->DropTransparency();
    progress.Step();
  }
}

void DropHiddenDisposals(TFrames& frames) {
  for (std::size_t i = 0; i + 1 < frames.size(); ++i) {
    TGIFSubImage& f = *frames[i];
    const TGIFSubImage& next = *frames[i + 1];
    auto* gce = f.GraphicControlExtension();
    if (gce == nullptr || (gce->Disposal() != 2 && gce->Disposal() != 3)) continue;
    if (DisposalHidden(f.ScreenRect(), next.ScreenRect(), next.IsEmpty(), next.Transparent(), next.Disposal())) {
      gce->SetDisposal(0);
    }
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
  const bool keepLoop = i == 0 && frames.size() > 1;
  std::erase_if(f.Extensions(), [&](const std::unique_ptr<TGIFExtension>& e) { return StrippedByCleanup(*e, keepLoop); });
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
      const int t = other->TransparentIndex();
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
  const int tp = fp.TransparentIndex();
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
      gce->Added = true;
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
  const std::uint8_t* pixels = f.PixelData().data();
  return BoundsWhere(f.Width(), f.Height(), [&](std::size_t at) { return pixels[at] != t; });
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

bool StrippedByCleanup(const TGIFExtension& e, bool keepLoop) {
  if (dynamic_cast<const TGIFCommentExtension*>(&e) != nullptr) return true;
  if (dynamic_cast<const TGIFTextExtension*>(&e) != nullptr) return true;
  if (dynamic_cast<const TGIFAppExtNSLoop*>(&e) != nullptr) return !keepLoop;
  return dynamic_cast<const TGIFApplicationExtension*>(&e) != nullptr;
}

bool DisposalHidden(const TGIFRect& frame, const TGIFRect& next, bool nextEmpty, bool nextTransparent,
                    std::uint8_t nextDisposal) {
  const TGIFRect common = Intersection(frame, next);
  return !(nextEmpty || nextTransparent || nextDisposal == 3 || common.IsEmpty() || common != frame);
}

void TGIFImage::OptimizeColorMaps() {
  StopPainters();
  std::lock_guard lock(paintersMutex_);
  const TTableCounts all = CountColors(*this);
  TMergedColors merged = MergeColorTables(all.Tables, all.Transparency);
  std::vector<TColor> table = std::move(merged.Table);
  const int newTransparent = static_cast<int>(table.size());
  if (all.Transparency) table.push_back(MakeColor(0, 0, 0));
  for (auto& f : frames_) f->ColorMap().Clear();
  GlobalColorMap().Assign(std::move(table));
  GlobalColorMap().Optimized = true;
  Renumber(all, merged.Renumbering, newTransparent);
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
