#include "convert/GifSurvey.h"

#include <array>
#include <bit>
#include <cstring>

namespace movara::convert {

using imaging::TGIFRect;
using imaging::TGIFSubImage;

namespace {

// The part of a frame (its own coordinates) whose pixels are neither its
// transparent index nor marked; none when nothing shows.
std::optional<TGIFRect> ShownPart(const TPixelsSeen& f, const std::vector<std::uint8_t>& marked) {
  return imaging::BoundsWhere(f.Rect.Right - f.Rect.Left, f.Rect.Bottom - f.Rect.Top, [&](std::size_t at) {
    return f.Pixels[at] != f.Transparent && (marked.empty() || marked[at] == 0);
  });
}

// How many pixels show each index; four counts in turn, so that a run of one
// index does not wait on one counter.
std::array<std::uint32_t, 256> IndexCounts(const std::vector<std::uint8_t>& pixels) {
  std::array<std::array<std::uint32_t, 256>, 4> part{};
  const std::size_t whole = pixels.size() / 4 * 4;
  for (std::size_t i = 0; i < whole; i += 4) {
    ++part[0][pixels[i]], ++part[1][pixels[i + 1]], ++part[2][pixels[i + 2]], ++part[3][pixels[i + 3]];
  }
  for (std::size_t i = whole; i < pixels.size(); ++i) ++part[0][pixels[i]];
  std::array<std::uint32_t, 256> counts{};
  for (std::size_t i = 0; i < counts.size(); ++i) counts[i] = part[0][i] + part[1][i] + part[2][i] + part[3][i];
  return counts;
}

// Mixes eight bytes at a time into a 64-bit hash (multiply and rotate):
// fast enough to run over every pixel twice, and no two frames a change of
// the file could make are likely to agree on it.
class TChecksum {
 public:
  void Add(const std::uint8_t* data, std::size_t size) {
    std::size_t at = 0;
    for (; at + 8 <= size; at += 8) {
      std::uint64_t word;
      std::memcpy(&word, data + at, 8);
      Mix(word);
    }
    std::uint64_t rest = size;
    for (; at < size; ++at) rest = rest << 8 | data[at];
    Mix(rest);
  }
  void Add(std::uint64_t value) { Mix(value); }
  std::uint64_t Value() const { return hash_; }

 private:
  void Mix(std::uint64_t word) {
    hash_ = std::rotl((hash_ ^ word) * 0x9E3779B97F4A7C15ull, 29);
  }
  std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

}  // namespace

std::uint64_t FrameChecksum(const TGIFSubImage& frame) {
  TChecksum sum;
  sum.Add(frame.PixelData().data(), frame.PixelData().size());
  for (const imaging::TColor c : frame.EffectiveColorMap().Colors()) sum.Add(c);
  if (const auto* gce = frame.GraphicControlExtension()) {
    sum.Add(std::uint64_t{gce->Packed} << 32 | std::uint64_t{gce->Delay} << 8 | gce->TransparentIndex);
  }
  return sum.Value();
}

TGifSurvey::TGifSurvey(imaging::TGIFImage& gif, std::size_t heldBytes) : gif_(gif), heldBytes_(heldBytes) {
  gif_.FrameHandler = [this](TGIFSubImage& frame) { Take(frame); };
}

TGifSurvey::~TGifSurvey() { gif_.FrameHandler = nullptr; }

void TGifSurvey::Take(TGIFSubImage& frame) {
  held_ += frame.PixelData().size();
  if (released_) {
    Record(frame);
  } else if (held_ > heldBytes_ && !frame.IsEmpty() && gif_.Frames().size() > 1) {
    released_ = true;
    for (auto& f : gif_.Frames()) Record(*f);
  }
}

void TGifSurvey::Record(TGIFSubImage& frame) {
  TFramePixels facts;
  facts.Empty = frame.IsEmpty();
  facts.Checksum = FrameChecksum(frame);
  const auto* gce = frame.GraphicControlExtension();
  complete_ = complete_ && frame.Transparent() == (gce != nullptr && gce->Transparent());
  std::array<std::uint32_t, 256> counts = IndexCounts(frame.PixelData());
  const int tableSize = frame.EffectiveColorMap().Count();
  for (int i = 0; i < 256; ++i) {
    if (counts[i] == 0) continue;
    facts.Used.emplace_back(static_cast<std::uint8_t>(i), counts[i]);
    complete_ = complete_ && i < tableSize;
  }
  if (const int t = frame.TransparentIndex(); t >= 0 && counts[static_cast<std::size_t>(t)] > 0) facts.Transparent = t;
  // The previous frame's disposal is cleaned up against this one.
  if (!frames_.empty()) {
    const TGIFSubImage& previous = *gif_.Frames()[frames_.size() - 1];
    const std::uint8_t d = previous.Disposal();
    const bool hidden = (d == 2 || d == 3) && imaging::DisposalHidden(previous.ScreenRect(), frame.ScreenRect(), facts.Empty,
                                                                       facts.Transparent >= 0, frame.Disposal());
    frames_.back().CleanDisposal = hidden ? 0 : d;
  }
  facts.CleanDisposal = frame.Disposal();
  TPixelsSeen seen = SeeFrame(frame, facts.Transparent);
  std::vector<std::uint8_t> repeated;
  if (const TPixelsSeen* over = over_.Over(frames_.empty() ? 0 : frames_.back().CleanDisposal)) {
    ForEachRepeatedPixel(seen, *over, [&](std::size_t at) {
      if (repeated.empty()) repeated.resize(seen.Pixels.size());
      repeated[at] = 1;
    });
  }
  facts.Repeats = !repeated.empty();
  // What shows matters only to the trimming of a transparent frame.
  if (facts.Transparent >= 0) facts.Shown = ShownPart(seen, {});
  if (facts.Repeats) facts.ShownUnrepeated = ShownPart(seen, repeated);
  over_.Add(std::move(seen));
  frames_.push_back(std::move(facts));
}

}  // namespace movara::convert
