// The streamed optimiser's frame steps: clean-up, repeated pixels made
// transparent, trimming, and the frames made anew as they are read again.
#include "convert/StreamedOptimiser.h"

#include <algorithm>
#include <limits>

namespace movara::convert {

using imaging::TGIFColorMap;
using imaging::TGIFRect;
using imaging::TGIFSubImage;
using imaging::TIndexMap;

namespace {

TIndexMap Identity() {
  TIndexMap map{};
  for (std::size_t i = 0; i < map.size(); ++i) map[i] = static_cast<std::uint8_t>(i);
  return map;
}

// Whether the clean-up strips every extension of a frame.
bool Bare(const TGIFSubImage& f, bool keepLoop) {
  return std::all_of(f.Extensions().begin(), f.Extensions().end(),
                     [&](const auto& e) { return imaging::StrippedByCleanup(*e, keepLoop); });
}

}  // namespace

TStreamedOptimiser::TStreamedOptimiser(imaging::TGIFImage& gif, std::vector<TFramePixels> frames)
    : gif_(gif), frames_(std::move(frames)), recipes_(frames_.size()) {
  for (auto& r : recipes_) r.Map = Identity();
}

// Transparency nobody uses goes, then disposals nothing shows. The first
// reading foresaw both: when it did not, the facts do not agree.
bool TStreamedOptimiser::CleanUp() {
  for (std::size_t k = 0; k < frames_.size(); ++k) {
    TGIFSubImage& f = Frame(k);
    const auto* gce = f.GraphicControlExtension();
    if (f.Transparent() && (gce == nullptr || !Uses(k, gce->TransparentIndex))) f.DropTransparency();
    if (f.Transparent() != (frames_[k].Transparent >= 0)) return false;
  }
  for (std::size_t k = 0; k + 1 < frames_.size(); ++k) {
    auto* gce = Frame(k).GraphicControlExtension();
    if (gce == nullptr || (gce->Disposal() != 2 && gce->Disposal() != 3)) continue;
    const TGIFSubImage& next = Frame(k + 1);
    if (imaging::DisposalHidden(Frame(k).ScreenRect(), next.ScreenRect(), frames_[k + 1].Empty, next.Transparent(),
                                next.Disposal())) {
      gce->SetDisposal(0);
    }
  }
  for (std::size_t k = 0; k + 1 < frames_.size(); ++k) {
    if (Frame(k).Disposal() != frames_[k].CleanDisposal) return false;
  }
  return true;
}

std::size_t TStreamedOptimiser::DrawnOver(std::size_t n) const {
  std::size_t p = n - 1;
  while (p > 0 && Frame(p).Disposal() == 3) --p;
  return p;
}

int TStreamedOptimiser::NewTransparentIndex(std::size_t n) {
  TGIFSubImage& fn = Frame(n);
  const TGIFColorMap& map = fn.EffectiveColorMap();
  if (fn.ColorMap().Count() == 0) {
    for (std::size_t k = 0; k < frames_.size(); ++k) {
      const int t = Frame(k).TransparentIndex();
      if (k != n && Frame(k).ColorMap().Count() == 0 && t >= 0 && t < map.Count() &&
          !ShowsColor(n, map, map.Colors()[static_cast<std::size_t>(t)])) {
        return t;
      }
    }
  }
  TGIFColorMap& target = fn.ColorMap().Count() > 0 ? fn.ColorMap() : gif_.GlobalColorMap();
  return target.Add(imaging::MakeColor(0, 0, 0));
}

void TStreamedOptimiser::MergeWithPrevious(std::size_t n) {
  const std::size_t p = DrawnOver(n);
  TGIFSubImage& fn = Frame(n);
  const TGIFSubImage& fp = Frame(p);
  if (frames_[n].Empty || frames_[p].Empty || fp.Disposal() == 2 || fp.Disposal() == 3 ||
      imaging::Intersection(fn.ScreenRect(), fp.ScreenRect()).IsEmpty()) {
    return;
  }
  auto* gce = fn.GraphicControlExtension();
  const bool wasTransparent = fn.Transparent() && gce != nullptr;
  const int tableSize = fn.EffectiveColorMap().Count();
  if (!wasTransparent && (tableSize == 0 || tableSize >= TGIFColorMap::kMaxColors)) return;
  if (!frames_[n].Repeats) return;
  const int t = wasTransparent ? gce->TransparentIndex : NewTransparentIndex(n);
  recipes_[n].MaskWith = t;
  if (wasTransparent) return;
  if (gce == nullptr) {
    gce = static_cast<imaging::TGIFGraphicControlExtension*>(
        &fn.AddExtension(std::make_unique<imaging::TGIFGraphicControlExtension>(&fn)));
    gce->Added = true;
  }
  gce->SetTransparent(true);
  gce->TransparentIndex = static_cast<std::uint8_t>(t);
}

// The trimming of transparent borders, kept only when it keeps every frame:
// each frame's part to keep, or none when a frame would go.
std::optional<std::vector<std::optional<TGIFRect>>> TStreamedOptimiser::TrimTrial() const {
  std::vector<std::optional<TGIFRect>> crops(frames_.size());
  for (std::size_t c = frames_.size(); c-- > 0;) {
    const TGIFSubImage& f = Frame(c);
    const auto* gce = f.GraphicControlExtension();
    if (frames_[c].Empty || !f.Transparent() || gce == nullptr || gce->Disposal() == 2) continue;
    const auto& shown = recipes_[c].MaskWith >= 0 ? frames_[c].ShownUnrepeated : frames_[c].Shown;
    if (!shown) {
      if (c == 0) continue;
      return std::nullopt;
    }
    if (*shown != f.LocalRect()) crops[c] = shown;
  }
  return crops;
}

// The clean-up's last step: empty frames left bare go. False when it would
// leave a single frame, which loses its control extension too.
bool TStreamedOptimiser::Strip() {
  std::size_t left = frames_.size();
  for (std::size_t i = frames_.size(); i-- > 0;) {
    if (left == 1) return false;
    if (frames_[i].Empty && Bare(Frame(i), i == 0 && left > 1)) {
      recipes_[i].Erased = true;
      --left;
    }
  }
  return true;
}

bool TStreamedOptimiser::Optimize(bool layered) {
  if (!countsFit_ || frames_.size() <= 1) return false;
  if (gif_.GlobalColorMap().Count() > 0) {
    std::vector<std::size_t> users;
    for (std::size_t k = 0; k < frames_.size(); ++k) {
      if (Frame(k).ColorMap().Count() == 0) users.push_back(k);
    }
    SortTable(gif_.GlobalColorMap(), users);
  }
  for (std::size_t k = 0; k < frames_.size(); ++k) {
    if (Frame(k).ColorMap().Count() > 0) SortTable(Frame(k).ColorMap(), {k});
  }
  if (!CleanUp()) return false;
  for (std::size_t n = frames_.size() - 1; n >= 1; --n) MergeWithPrevious(n);
  const auto crops = layered ? TrimTrial() : std::nullopt;
  if (!Strip()) return false;
  const bool erased = std::any_of(recipes_.begin(), recipes_.end(), [](const TFrameRecipe& r) { return r.Erased; });
  if (crops && !erased) {
    for (std::size_t k = 0; k < frames_.size(); ++k) recipes_[k].Crop = (*crops)[k];
  }
  return true;
}

std::vector<TFrameShape> TStreamedOptimiser::Shapes() const {
  std::vector<TFrameShape> shapes;
  for (std::size_t k = 0; k < frames_.size(); ++k) {
    if (recipes_[k].Erased) continue;
    TGIFRect r = Frame(k).ScreenRect();
    if (const auto& c = recipes_[k].Crop) r = {r.Left + c->Left, r.Top + c->Top, r.Left + c->Right, r.Top + c->Bottom};
    shapes.push_back({r, frames_[k].Empty, Frame(k).Disposal()});
  }
  return shapes;
}

std::vector<TFrameFacts> TStreamedOptimiser::Facts() const {
  std::vector<TFrameFacts> facts;
  for (std::size_t k = 0; k < frames_.size(); ++k) {
    if (recipes_[k].Erased) continue;
    facts.push_back(FactsOf(Frame(k), frames_[k].Empty));
  }
  return facts;
}

TPixelsSeen TStreamedOptimiser::Apply(TGIFSubImage& frame, std::size_t k, const TPixelsSeen* over,
                                      std::vector<std::uint8_t> buffer) const {
  TPixelsSeen seen = SeeFrame(frame, frames_[k].Transparent);
  const TFrameRecipe& r = recipes_[k];
  TIndexMap values{};
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = Value(k, static_cast<std::uint8_t>(i));
  std::vector<std::uint8_t>& pixels = frame.PixelData();
  pixels = std::move(buffer);
  pixels.resize(seen.Pixels.size());
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = values[seen.Pixels[i]];
  if (r.MaskWith >= 0 && over != nullptr) {
    const auto t = static_cast<std::uint8_t>(r.MaskWith);
    ForEachRepeatedPixel(seen, *over, [&](std::size_t at) { pixels[at] = t; });
  }
  if (r.Crop) {
    const TGIFRect c = *r.Crop;
    const int width = frame.Width();
    std::vector<std::uint8_t> kept;
    kept.reserve(static_cast<std::size_t>(c.Right - c.Left) * (c.Bottom - c.Top));
    for (int y = c.Top; y < c.Bottom; ++y) {
      const auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y) * width;
      kept.insert(kept.end(), row + c.Left, row + c.Right);
    }
    frame.SetSize(static_cast<std::uint16_t>(c.Right - c.Left), static_cast<std::uint16_t>(c.Bottom - c.Top));
    frame.PixelData() = std::move(kept);
    frame.Left = static_cast<std::uint16_t>(frame.Left + c.Left);
    frame.Top = static_cast<std::uint16_t>(frame.Top + c.Top);
  }
  const TGIFSubImage& optimised = Frame(k);
  frame.ColorMap().Assign(optimised.EffectiveColorMap().Colors());
  if (const auto* gce = optimised.GraphicControlExtension()) {
    if (frame.GraphicControlExtension() == nullptr) {
      frame.AddExtension(std::make_unique<imaging::TGIFGraphicControlExtension>(&frame));
    }
    auto* own = frame.GraphicControlExtension();
    own->SetDisposal(gce->Disposal());
    own->TransparentIndex = gce->TransparentIndex;
    own->SetTransparent(gce->Transparent());
  }
  frame.SetTransparentFlag(optimised.Transparent());
  frame.DropCaches();
  return seen;
}

}  // namespace movara::convert
