#include "swf/builder/FlashTimeline.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "swf/builder/BuildError.h"
#include "swf/builder/FlashImage.h"
#include "swf/builder/FlashShape.h"
#include "swf/core/ControlTags.h"
#include "swf/core/SoundTags.h"

namespace movara::swf {

TBasedSWFObject& TFlashTimeline::AppendObject(std::unique_ptr<TBasedSWFObject> object) {
  ++changes_;
  objects_.push_back(std::move(object));
  return *objects_.back();
}

void TFlashTimeline::RemoveObject(std::uint16_t depth, const TFlashShape* shape) {
  if (shape != nullptr) {
    AppendObject(std::make_unique<TSWFRemoveObject>(shape->CharacterId(), depth));
  } else {
    AppendObject(std::make_unique<TSWFRemoveObject2>(depth));
  }
}

TFlashSound& TFlashTimeline::StreamSound() {
  if (!streamSound_) {
    streamSound_ = std::make_unique<TFlashSound>(owner_, std::filesystem::path());
    streamSound_->Loop = true;
  }
  return *streamSound_;
}

TFlashPlaceObject& TFlashTimeline::AddPlacement(TFlashVisualObject& visual, std::uint16_t depth) {
  return static_cast<TFlashPlaceObject&>(AppendObject(std::make_unique<TFlashPlaceObject>(owner_, &visual, depth)));
}

TFlashPlaceVideo& TFlashTimeline::AddVideoPlacement(TFlashVideo& video, std::uint16_t depth, bool repeat) {
  videos_.push_back(std::make_unique<TFlashPlaceVideo>(owner_, video, depth, repeat));
  videos_.back()->FirstFrame = static_cast<std::uint16_t>(frames_);
  return *videos_.back();
}

template <class Label, class Pending>
void TFlashTimeline::InFrameOrder(Label label, Pending pending) const {
  if (labelOrder_ == TLabelOrder::BeforePending && !FrameLabel.empty()) label();
  if (PendingFrameObject) pending();
  if (labelOrder_ == TLabelOrder::AfterPending && !FrameLabel.empty()) label();
}

std::size_t TFlashTimeline::CloseFrame(std::uint16_t count) {
  if (count == 0) count = 1;
  ++changes_;
  InFrameOrder([this] { objects_.push_back(std::make_unique<TSWFFrameLabel>(FrameLabel)); },
               [this] { objects_.push_back(std::move(PendingFrameObject)); });
  FrameLabel.clear();
  for (std::uint16_t i = 0; i < count; ++i) objects_.push_back(std::make_unique<TSWFShowFrame>());
  frames_ += count;
  return frames_;
}

void TFlashTimeline::WriteStart(TBitsEngine& be, double frameRate, TWriteCursor& at) {
  if (!streamSound_) return;
  TSWFSoundStreamHead2 head;
  at.Sound = streamSound_->FillStreamHead(head, frameRate);
  if (at.RaiseVersion) at.Version = std::max({at.Version, streamSound_->MinVersion(), head.MinVersion()});
  head.WriteToStream(be);
}

void TFlashTimeline::WriteObjects(TBitsEngine& be, TWriteCursor& at, std::size_t end) {
  for (; at.Next < end; ++at.Next) {
    TBasedSWFObject& object = *objects_[at.Next];
    if (!at.Definitions) {
      WriteObject(be, at, object);
    } else if (!at.Definitions->TakeWrittenAhead(object)) {
      WriteAfterItsUses(be, at, object);
    }
  }
}

void TFlashTimeline::WriteAfterItsUses(TBitsEngine& be, TWriteCursor& at, TBasedSWFObject& object) {
  TDefinitionOrder& order = *at.Definitions;
  std::vector<std::uint16_t> used;
  object.UsedCharacters(used);
  // Ahead of a ShowFrame the videos place themselves.
  const auto* tag = dynamic_cast<const TSWFObject*>(&object);
  if (tag != nullptr && tag->TagCode == tagShowFrame) {
    for (const auto& video : videos_) {
      if (video->FirstFrame <= at.Frames) video->UsedCharacters(used);
    }
  }
  const TDefinitionOrder::TOpen open(order, object);
  for (const std::uint16_t id : used) {
    if (order.Written(id)) continue;
    TBasedSWFObject* definition = order.Find(id, objects_, at.Next, changes_);
    if (definition == nullptr) {
      throw FlashCharacterError("character " + std::to_string(id) + " is used in frame " +
                                std::to_string(at.Frames + 1) + " but the movie does not define it");
    }
    if (order.IsOpen(*definition)) {
      throw FlashCharacterError("character " + std::to_string(id) + " is used within its own definition");
    }
    WriteAfterItsUses(be, at, *definition);
    order.NoteWrittenAhead(*definition);
  }
  WriteObject(be, at, object);
  order.NoteWritten(object);
}

void TFlashTimeline::WriteObject(TBitsEngine& be, TWriteCursor& at, TBasedSWFObject& object) {
  if (at.RaiseVersion) at.Version = std::max(at.Version, object.MinVersion());
  const auto* tag = dynamic_cast<const TSWFObject*>(&object);
  if (tag != nullptr && tag->TagCode == tagShowFrame) {
    // The header's frame count is 16-bit.
    if (at.Frames == 0xFFFF) throw std::length_error("a movie holds at most 65535 frames");
    for (const auto& video : videos_) video->WriteFrame(be, at.Frames);
    if (streamSound_ && streamSound_->StartFrame <= at.Frames) streamSound_->WriteStreamBlock(be, at.Sound);
    ++at.Frames;
  }
  if (auto* place = dynamic_cast<TFlashPlaceObject*>(&object)) {
    place->WriteToStream(be, at.Version);
  } else {
    object.WriteToStream(be);
  }
  if (at.ReleaseImages) {
    if (auto* image = dynamic_cast<TFlashImage*>(&object)) image->ReleaseData();
  }
}

void TFlashTimeline::WriteOpenFrame(TBitsEngine& be, TWriteCursor& at) {
  TSWFFrameLabel label(FrameLabel);
  InFrameOrder([&] { WriteObject(be, at, label); }, [&] { WriteObject(be, at, *PendingFrameObject); });
  TSWFShowFrame show;
  WriteObject(be, at, show);
}

void TFlashTimeline::WriteEnd(TBitsEngine& be) const {
  const auto* last = objects_.empty() ? nullptr : dynamic_cast<const TSWFObject*>(objects_.back().get());
  if (last == nullptr || last->TagCode != tagEnd) TSWFEnd().WriteToStream(be);
}

}  // namespace movara::swf
