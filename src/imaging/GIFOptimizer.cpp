// The two optimisations of a loaded GIF: merging its colour tables into one
// and reducing its frames to what changes. Both keep what the animation
// shows.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <map>

#include "imaging/GIFException.h"
#include "imaging/GIFImage.h"

namespace movara::imaging {

namespace {

using TFrames = std::vector<std::unique_ptr<TGIFSubImage>>;

std::uint32_t ColorValue(TColor c) { return c & 0xFFFFFF; }
int ColorSum(TColor c) { return RedOf(c) + GreenOf(c) + BlueOf(c); }

bool Intersect(const TGIFRect& a, const TGIFRect& b, TGIFRect& out) {
  out = {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  return out.Left < out.Right && out.Top < out.Bottom;
}

std::uint8_t DisposalOf(const TGIFSubImage& f) {
  const auto* gce = f.GraphicControlExtension();
  return gce != nullptr ? gce->Disposal() : 0;
}

bool UsesIndex(const TGIFSubImage& f, std::uint8_t index) {
  return std::find(f.PixelData().begin(), f.PixelData().end(), index) != f.PixelData().end();
}

// Whether some pixel of the frame shows the colour (through its table).
bool ShowsColor(const TGIFSubImage& f, const TGIFColorMap& map, TColor color) {
  std::array<bool, 256> used{};
  for (const std::uint8_t p : f.PixelData()) used[p] = true;
  for (int i = 0; i < 256; ++i) {
    if (used[i] && ColorValue(i < map.Count() ? map.Colors()[i] : 0) == ColorValue(color)) return true;
  }
  return false;
}

void DropTransparency(TGIFSubImage& f) {
  if (auto* gce = f.GraphicControlExtension()) gce->SetTransparent(false);
  f.SetTransparentFlag(false);
}

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
  std::vector<int> Map;  // old index -> new index
};

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

}  // namespace

void TGIFImage::OptimizeColorMaps() {
  StopPainters();
  std::lock_guard lock(paintersMutex_);

  bool transparency = false;
  std::vector<THistogram> histograms;
  bool warned = false;
  const auto count = [&](THistogram& h, TGIFSubImage& f) {
    auto* gce = f.GraphicControlExtension();
    const bool transparent = f.Transparent() && gce != nullptr;
    const std::uint8_t t = transparent ? gce->TransparentIndex : 0;
    bool usesT = false;
    for (std::uint8_t& p : f.PixelData()) {
      if (transparent && p == t) {
        usesT = true;
        continue;
      }
      if (p >= h.TableSize && !warned) {
        Warning(gifmsg::kColorNotInMap);
        warned = true;
      }
      if (++h.Entries[p].Count == std::numeric_limits<std::uint32_t>::max()) break;
    }
    if (transparent && !usesT) {
      gce->TransparentIndex = 0;
      DropTransparency(f);
    }
    transparency = transparency || usesT;
    h.Frames.push_back(&f);
  };
  // An index beyond its table shows black when rendered; it keeps showing
  // black, as an entry of that colour.
  const auto histogramOf = [](const TGIFColorMap& map) {
    THistogram h;
    h.TableSize = map.Count();
    for (int i = 0; i < 256; ++i) h.Entries.push_back({0, i, 256, i < map.Count() ? map.Colors()[i] : 0, nullptr});
    return h;
  };

  {
    THistogram h = histogramOf(GlobalColorMap());
    for (auto& f : frames_) {
      if (!f->IsEmpty() && f->ColorMap().Count() == 0) count(h, *f);
    }
    if (!h.Frames.empty()) histograms.push_back(std::move(h));
  }
  for (auto& f : frames_) {
    if (f->IsEmpty() || f->ColorMap().Count() == 0) continue;
    THistogram h = histogramOf(f->ColorMap());
    count(h, *f);
    histograms.push_back(std::move(h));
  }

  // Entries in use, merged by colour: the first of a run of equal colours
  // takes the run's count and the others refer to it.
  std::vector<THistogramEntry*> list;
  for (auto& h : histograms) {
    for (auto& e : h.Entries) {
      if (e.Count > 0) list.push_back(&e);
    }
  }
  std::stable_sort(list.begin(), list.end(),
                   [](const auto* a, const auto* b) { return ColorValue(a->Color) > ColorValue(b->Color); });
  for (std::size_t i = 0; i < list.size();) {
    std::size_t j = i + 1;
    for (; j < list.size() && ColorValue(list[j]->Color) == ColorValue(list[i]->Color); ++j) {
      list[i]->Count = static_cast<std::uint32_t>(
          std::min<std::uint64_t>(std::uint64_t{list[i]->Count} + list[j]->Count, std::numeric_limits<std::uint32_t>::max()));
      list[j]->Count = 0;
      list[j]->Ref = list[i];
    }
    i = j;
  }
  std::stable_sort(list.begin(), list.end(), [](const auto* a, const auto* b) { return a->Count > b->Count; });

  const std::size_t limit = transparency ? 255 : 256;
  std::size_t kept = 0;
  while (kept < list.size() && kept < limit && list[kept]->Count > 0) ++kept;
  std::vector<TColor> table;
  for (std::size_t i = 0; i < kept; ++i) {
    list[i]->NewIndex = static_cast<int>(i);
    table.push_back(list[i]->Color);
  }
  // Colours that did not fit take the kept colour nearest by channel sum.
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
  const int newTransparent = static_cast<int>(table.size());
  if (transparency) table.push_back(MakeColor(0, 0, 0));

  for (auto& f : frames_) f->ColorMap().Clear();
  GlobalColorMap().Assign(std::move(table));
  GlobalColorMap().Optimized = true;

  for (auto& h : histograms) {
    std::array<std::uint8_t, 256> map{};
    for (const auto& e : h.Entries) map[e.OldIndex] = static_cast<std::uint8_t>(e.NewIndex < 256 ? e.NewIndex : 0);
    for (TGIFSubImage* f : h.Frames) {
      auto* gce = f->GraphicControlExtension();
      const bool transparent = transparency && f->Transparent() && gce != nullptr;
      const std::uint8_t t = transparent ? gce->TransparentIndex : 0;
      for (std::uint8_t& p : f->PixelData()) {
        p = transparent && p == t ? static_cast<std::uint8_t>(newTransparent) : map[p];
      }
      if (transparent) gce->TransparentIndex = static_cast<std::uint8_t>(newTransparent);
    }
  }
  for (auto& f : frames_) f->DropCaches();
}

void TGIFImage::Optimize(std::uint8_t options, std::uint8_t reductionMethod) {
  if (frames_.empty()) return;
  StopPainters();
  std::lock_guard lock(paintersMutex_);
  TProgress progress(*this, frames_.size() * 6);
  try {
    if (options & ooColorMap) {
      // Sorts a table by use over the frames that draw with it and cuts
      // the colours nobody uses.
      const auto sortTable = [&](TGIFColorMap& map, const std::vector<TGIFSubImage*>& users) {
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
          inverse[order[static_cast<std::size_t>(i)]] = static_cast<std::uint8_t>(i);
          if (counts[order[static_cast<std::size_t>(i)]] > 0) colors.push_back(map.Colors()[order[static_cast<std::size_t>(i)]]);
        }
        for (TGIFSubImage* f : users) {
          for (std::uint8_t& p : f->PixelData()) {
            if (p < n) p = inverse[p];
          }
          auto* gce = f->GraphicControlExtension();
          if (f->Transparent() && gce != nullptr && gce->TransparentIndex < n) {
            gce->TransparentIndex = inverse[gce->TransparentIndex];
          }
          f->DropCaches();
        }
        map.Assign(std::move(colors));
      };
      if (GlobalColorMap().Count() > 0) {
        std::vector<TGIFSubImage*> users;
        for (auto& f : frames_) {
          if (f->ColorMap().Count() == 0) users.push_back(f.get());
        }
        sortTable(GlobalColorMap(), users);
      }
      for (auto& f : frames_) {
        if (f->ColorMap().Count() > 0) sortTable(f->ColorMap(), {f.get()});
        progress.Step();
      }
    }

    if (options & ooCleanup) {
      // Transparency nobody uses (an empty frame uses none) goes.
      for (auto& f : frames_) {
        const auto* gce = f->GraphicControlExtension();
        if (f->Transparent() && (gce == nullptr || !UsesIndex(*f, gce->TransparentIndex))) DropTransparency(*f);
        progress.Step();
      }
      // A disposal has no visible effect when the next frame is opaque,
      // covers the whole rectangle and does not itself restore what was
      // there before it.
      for (std::size_t i = 0; i + 1 < frames_.size(); ++i) {
        TGIFSubImage& f = *frames_[i];
        TGIFSubImage& next = *frames_[i + 1];
        auto* gce = f.GraphicControlExtension();
        if (gce == nullptr || (gce->Disposal() != 2 && gce->Disposal() != 3)) continue;
        TGIFRect common;
        if (next.IsEmpty() || next.Transparent() || DisposalOf(next) == 3 ||
            !Intersect(f.ScreenRect(), next.ScreenRect(), common) || common != f.ScreenRect()) {
          continue;
        }
        gce->SetDisposal(0);
      }
    }

    if (options & ooMerge) {
      for (std::size_t n = frames_.size() - 1; n >= 1; --n) {
        progress.Step();
        std::size_t p = n - 1;
        while (p > 0 && DisposalOf(*frames_[p]) == 3) --p;
        TGIFSubImage& fn = *frames_[n];
        TGIFSubImage& fp = *frames_[p];
        TGIFRect common;
        if (fn.IsEmpty() || fp.IsEmpty() || DisposalOf(fp) == 2 || DisposalOf(fp) == 3 ||
            !Intersect(fn.ScreenRect(), fp.ScreenRect(), common)) {
          continue;
        }
        const TGIFColorMap& mapN = fn.EffectiveColorMap();
        const TGIFColorMap& mapP = fp.EffectiveColorMap();
        auto* gceN = fn.GraphicControlExtension();
        const bool wasTransparent = fn.Transparent() && gceN != nullptr;
        if (!wasTransparent && (mapN.Count() == 0 || mapN.Count() >= TGIFColorMap::kMaxColors)) continue;
        int t = wasTransparent ? gceN->TransparentIndex : -1;
        const auto* gceP = fp.GraphicControlExtension();
        const int tp = fp.Transparent() && gceP != nullptr ? gceP->TransparentIndex : -1;
        // An index beyond its table matches nothing but the same index of
        // the same table.
        const auto colorOf = [](const TGIFColorMap& m, std::uint8_t i, std::int64_t none) -> std::int64_t {
          return i < m.Count() ? static_cast<std::int64_t>(ColorValue(m.Colors()[i])) : none - i;
        };
        bool changed = false;
        for (int y = common.Top; y < common.Bottom; ++y) {
          std::uint8_t* rowN = fn.PixelData().data() + static_cast<std::size_t>(y - fn.Top) * fn.Width();
          const std::uint8_t* rowP = fp.PixelData().data() + static_cast<std::size_t>(y - fp.Top) * fp.Width();
          for (int x = common.Left; x < common.Right; ++x) {
            std::uint8_t& a = rowN[x - fn.Left];
            const std::uint8_t b = rowP[x - fp.Left];
            if (a == t || b == tp) continue;
            const bool same = (&mapN == &mapP && a == b) || colorOf(mapN, a, -1) == colorOf(mapP, b, -1000);
            if (!same) continue;
            if (t < 0) {
              // Another frame's transparent index in the shared table serves
              // when this frame never shows that index nor its colour (the
              // converter tells transparency by colour); else a new entry.
              if (fn.ColorMap().Count() == 0) {
                for (const auto& other : frames_) {
                  const auto* g = other->GraphicControlExtension();
                  if (other.get() != &fn && other->ColorMap().Count() == 0 && other->Transparent() && g != nullptr &&
                      g->TransparentIndex < mapN.Count() && !ShowsColor(fn, mapN, mapN.Colors()[g->TransparentIndex])) {
                    t = g->TransparentIndex;
                    break;
                  }
                }
              }
              if (t < 0) {
                TGIFColorMap& target = fn.ColorMap().Count() > 0 ? fn.ColorMap() : GlobalColorMap();
                t = target.Add(MakeColor(0, 0, 0));
              }
            }
            a = static_cast<std::uint8_t>(t);
            changed = true;
          }
        }
        if (changed && !wasTransparent) {
          if (gceN == nullptr) {
            gceN = static_cast<TGIFGraphicControlExtension*>(
                &fn.AddExtension(std::make_unique<TGIFGraphicControlExtension>(&fn)));
          }
          gceN->SetTransparent(true);
          gceN->TransparentIndex = static_cast<std::uint8_t>(t);
        }
        if (changed) fn.DropCaches();
      }
    }

    if (options & ooCrop) {
      for (std::size_t c = frames_.size(); c-- > 0;) {
        progress.Step();
        TGIFSubImage& f = *frames_[c];
        auto* gce = f.GraphicControlExtension();
        // A disposal-2 frame clears its whole rectangle: trimming it would
        // change what is cleared.
        if (f.IsEmpty() || !f.Transparent() || gce == nullptr || gce->Disposal() == 2) continue;
        const std::uint16_t delay = gce->Delay;
        const std::uint8_t t = gce->TransparentIndex;
        const int w = f.Width(), h = f.Height();
        int x0 = w, y0 = h, x1 = -1, y1 = -1;
        for (int y = 0; y < h; ++y) {
          const std::uint8_t* row = f.PixelData().data() + static_cast<std::size_t>(y) * w;
          for (int x = 0; x < w; ++x) {
            if (row[x] == t) continue;
            x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
          }
        }
        if (x1 < 0) {
          // A frame that shows nothing goes, and its time goes to the frame
          // before; the first frame has none to take it and stays.
          if (c == 0) continue;
          frames_.erase(frames_.begin() + static_cast<std::ptrdiff_t>(c));
          if (auto* prev = frames_[c - 1]->GraphicControlExtension()) prev->Delay = static_cast<std::uint16_t>(prev->Delay + delay);
          continue;
        }
        if (x0 == 0 && y0 == 0 && x1 == w - 1 && y1 == h - 1) continue;
        const int nw = x1 - x0 + 1, nh = y1 - y0 + 1;
        std::vector<std::uint8_t> cropped(static_cast<std::size_t>(nw) * nh);
        for (int y = 0; y < nh; ++y) {
          std::copy_n(f.PixelData().data() + static_cast<std::size_t>(y + y0) * w + x0, nw,
                      cropped.data() + static_cast<std::size_t>(y) * nw);
        }
        f.SetSize(static_cast<std::uint16_t>(nw), static_cast<std::uint16_t>(nh));
        f.PixelData() = std::move(cropped);
        f.Left = static_cast<std::uint16_t>(f.Left + x0);
        f.Top = static_cast<std::uint16_t>(f.Top + y0);
      }
    }

    if (options & ooCleanup) {
      for (std::size_t i = frames_.size(); i-- > 0;) {
        // Frames deleted after this one already count: a trailing empty
        // frame gone leaves a single-frame image.
        const bool single = frames_.size() == 1;
        progress.Step();
        TGIFSubImage& f = *frames_[i];
        auto& exts = f.Extensions();
        std::erase_if(exts, [&](const std::unique_ptr<TGIFExtension>& e) {
          if (dynamic_cast<const TGIFCommentExtension*>(e.get()) != nullptr) return true;
          if (dynamic_cast<const TGIFTextExtension*>(e.get()) != nullptr) return true;
          if (dynamic_cast<const TGIFAppExtNSLoop*>(e.get()) != nullptr) return !(i == 0 && frames_.size() > 1);
          return dynamic_cast<const TGIFApplicationExtension*>(e.get()) != nullptr;
        });
        // The control extension of a single frame carries nothing that shows.
        // In an animation even a delay of 0 stays: the converter times a
        // frame without one as a default-length frame.
        auto* gce = f.GraphicControlExtension();
        if (gce != nullptr && single && !f.Transparent() && !gce->UserInput()) f.RemoveGraphicControlExtension();
        if (f.IsEmpty() && f.Extensions().empty()) frames_.erase(frames_.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }

    if (!(options & ooCleanup) && (options & ooReduceColors) && reductionMethod == 9) {
      throw GIFException(gifmsg::kBadReduction);
    }
  } catch (...) {
    progress.End(false);
    throw;
  }
  progress.End(true);
}

}  // namespace movara::imaging
