#include "convert/MovieTime.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "swf/core/ActionList.h"

namespace movara::convert {

namespace {

// Name of the movie's pass counter; a variable of the main timeline keeps
// its value when the timeline loops.
constexpr const char* kPassCounter = "movara_passes";

// `count` ShowFrame tags; more than a movie holds the movie refuses.
void ShowFrames(swf::TFlashMovie& movie, std::uint64_t count) {
  if (count > 0) movie.ShowFrame(static_cast<std::uint32_t>(std::min<std::uint64_t>(count, 0xFFFFFFFF)));
}

// The last frame's actions: stop after `passes` passes. One pass needs only
// the stop; more count the passes ended so far:
//   movara_passes = movara_passes + 1; if (!(movara_passes < passes)) stop();
// An unset variable counts as 0 in movies of version 6.
std::unique_ptr<swf::TSWFDoAction> StopAfter(std::uint32_t passes) {
  auto tag = std::make_unique<swf::TSWFDoAction>();
  swf::TSWFActionList& a = tag->Actions;
  if (passes > 1) {
    auto& name = a.Add<swf::TSWFActionPush>();
    name.AddString(kPassCounter);
    name.AddString(kPassCounter);
    a.Add<swf::TSWFActionGetVariable>();
    a.Add<swf::TSWFActionIncrement>();
    a.Add<swf::TSWFActionSetVariable>();
    auto& compare = a.Add<swf::TSWFActionPush>();
    compare.AddString(kPassCounter);
    a.Add<swf::TSWFActionGetVariable>();
    a.Add<swf::TSWFActionPush>().AddInteger(static_cast<std::int32_t>(passes));
    a.Add<swf::TSWFActionLess2>();
    // More passes to go: over the stop (one byte).
    a.Add<swf::TSWFActionIf>().BranchOffset.Set(1);
  }
  a.Add<swf::TSWFActionStop>();
  return tag;
}

}  // namespace

std::vector<std::uint64_t> FrameDurations(const std::vector<TFrameFacts>& frames) {
  std::vector<std::uint64_t> durations;
  durations.reserve(frames.size());
  for (const TFrameFacts& f : frames) {
    durations.push_back(f.Empty ? 0 : DelayTicks(f.HasControl ? TGifDelay(f.Delay) : std::nullopt));
  }
  return durations;
}

std::vector<std::uint64_t> GifDurations(const imaging::TGIFImage& gif) {
  std::vector<TFrameFacts> facts;
  for (const auto& f : gif.Frames()) facts.push_back(FactsOf(*f));
  return FrameDurations(facts);
}

std::optional<std::uint16_t> GifLoopCount(const imaging::TGIFImage& gif) {
  std::optional<std::uint16_t> count;
  for (const auto& f : gif.Frames()) {
    for (const auto& e : f->Extensions()) {
      const auto* loop = dynamic_cast<const imaging::TGIFAppExtNSLoop*>(e.get());
      if (loop != nullptr && loop->HasCount) count = loop->LoopCount;
    }
  }
  return count;
}

// The movie counts passes in a signed 32-bit integer: more passes than it
// holds (a file may say up to 2^32 - 1 plays) are played as the most it can
// count, which is as good as for ever, never as a negative count.
TMovieTime::TMovieTime(TFrameSchedule schedule, std::uint32_t passes)
    : schedule_(std::move(schedule)), passes_(std::min<std::uint32_t>(passes, INT32_MAX)) {}

void TMovieTime::ShowFrame(swf::TFlashMovie& movie, std::size_t k) const {
  const std::uint64_t length = schedule_.Length(k);
  const bool endsPass = length > 0 && schedule_.Starts[k] + length == schedule_.End;
  if (!endsPass || passes_ == 0) {
    ShowFrames(movie, length);
    return;
  }
  // The movie's last frame ends the pass.
  ShowFrames(movie, length - 1);
  movie.AppendObject(StopAfter(passes_));
  movie.ShowFrame(1);
}

}  // namespace movara::convert
