#include "swf/builder/FlashMovie.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "swf/core/ControlTags.h"

namespace movara::swf {

TFlashMovie::TFlashMovie(std::int32_t xMin, std::int32_t yMin, std::int32_t xMax, std::int32_t yMax,
                         double frameRate, bool pixelUnits)
    : TBasedSWFStream(xMin, yMin, xMax, yMax, frameRate, pixelUnits) {}

TSWFRGB& TFlashMovie::BackgroundColor() {
  if (!backgroundColor_) backgroundColor_ = std::make_unique<TSWFRGB>();
  hasBackground_ = true;
  return *backgroundColor_;
}

TBasedSWFObject& TFlashMovie::AppendObject(std::unique_ptr<TBasedSWFObject> object) {
  TBasedSWFObject& ref = *object;
  const auto count = static_cast<std::int32_t>(objects_.size());
  if (InsertMode && InsertIndex != -1 && InsertIndex >= 0 && InsertIndex < count - 1) {
    objects_.insert(objects_.begin() + InsertIndex, std::move(object));
    ++InsertIndex;
  } else {
    objects_.push_back(std::move(object));
    InsertIndex = static_cast<std::int32_t>(objects_.size()) - 1;
  }
  return ref;
}

template <class T>
T& TFlashMovie::AddCharacter(std::unique_ptr<T> object, TFlashObjectList<T>* list) {
  // Ids are 16-bit and start at 1: after 65535 the counter is back at 0.
  if (nextCharacterId_ == 0) throw std::length_error("a movie holds at most 65535 characters");
  T& ref = *object;
  ref.SetCharacterId(nextCharacterId_);
  AppendObject(std::move(object));
  if (list != nullptr) list->Add(&ref);
  ++nextCharacterId_;
  return ref;
}

TFlashShape& TFlashMovie::AddShape(std::unique_ptr<TFlashShape> shape) {
  if (!shape) shape = std::make_unique<TFlashShape>(this);
  return AddCharacter(std::move(shape), &shapes_);
}

TFlashShape& TFlashMovie::AddRectangle(std::int32_t xMin, std::int32_t yMin, std::int32_t xMax, std::int32_t yMax) {
  TFlashShape& shape = AddShape();
  shape.SetShapeBound(xMin, yMin, xMax, yMax);
  shape.Edges.MoveTo(xMin, yMin);
  shape.Edges.MakeRectangle(xMax - xMin, yMax - yMin);
  shape.Edges.EndEdges();
  return shape;
}

TFlashImage& TFlashMovie::AddImage(const std::filesystem::path& fileName) {
  return AddCharacter(std::make_unique<TFlashImage>(this, fileName), &images_);
}

TFlashImage& TFlashMovie::AddImage(const imaging::TBitmap& raster) {
  return AddCharacter(std::make_unique<TFlashImage>(this, raster, CompactImages), &images_);
}

TFlashButton& TFlashMovie::AddButton(bool trackAsMenu, bool advanced) {
  return AddCharacter(std::make_unique<TFlashButton>(this, trackAsMenu, advanced), &buttons_);
}

TFlashSound& TFlashMovie::AddSound(const std::filesystem::path& fileName) {
  // Loaded before it is added, so that a file the movie cannot use adds
  // nothing.
  auto sound = std::make_unique<TFlashSound>(this, std::filesystem::path());
  sound->LoadFile(fileName);
  return AddCharacter<TFlashSound>(std::move(sound), nullptr);
}

TSWFStartSound& TFlashMovie::StartSound(const TFlashSound& sound) {
  auto tag = std::make_unique<TSWFStartSound>();
  tag->SoundId = sound.CharacterId();
  return static_cast<TSWFStartSound&>(AppendObject(std::move(tag)));
}

TFlashSound& TFlashMovie::StreamSound() {
  if (!streamSound_) {
    streamSound_ = std::make_unique<TFlashSound>(this, std::filesystem::path());
    streamSound_->Loop = true;
    hasStreamSound_ = true;
  }
  return *streamSound_;
}

TFlashSprite& TFlashMovie::AddSprite() {
  return AddCharacter<TFlashSprite>(std::make_unique<TFlashSprite>(this), nullptr);
}

TFlashVideo& TFlashMovie::AddVideo(const std::filesystem::path& fileName) {
  media::TFLVReader source;
  source.LoadFromFile(fileName);
  return AddVideo(std::move(source));
}

TFlashVideo& TFlashMovie::AddVideo(media::TFLVReader source) {
  return AddCharacter<TFlashVideo>(std::make_unique<TFlashVideo>(this, std::move(source)), nullptr);
}

TFlashPlaceVideo& TFlashMovie::PlaceVideo(TFlashVideo& video, std::uint16_t depth, bool repeat) {
  videos_.push_back(std::make_unique<TFlashPlaceVideo>(this, video, depth, repeat));
  videos_.back()->FirstFrame = FrameCount;
  return *videos_.back();
}

TFlashPlaceObject& TFlashMovie::PlaceObject(TFlashVisualObject& visual, std::uint16_t depth) {
  return static_cast<TFlashPlaceObject&>(AppendObject(std::make_unique<TFlashPlaceObject>(this, &visual, depth)));
}

void TFlashMovie::RemoveObject(std::uint16_t depth, const TFlashShape* shape) {
  if (shape != nullptr) {
    AppendObject(std::make_unique<TSWFRemoveObject>(shape->CharacterId(), depth));
  } else {
    AppendObject(std::make_unique<TSWFRemoveObject2>(depth));
  }
}

void TFlashMovie::ShowFrame(std::uint32_t count) {
  if (count == 0) count = 1;
  // The header's frame count is 16-bit.
  if (count > 0xFFFFu - FrameCount) {
    throw std::length_error("a movie holds at most 65535 frames, this one would have " +
                            std::to_string(std::uint64_t{FrameCount} + count));
  }
  if (!FrameLabel.empty()) {
    objects_.push_back(std::make_unique<TSWFFrameLabel>(FrameLabel));
    FrameLabel.clear();
  }
  if (PendingFrameObject) objects_.push_back(std::move(PendingFrameObject));
  for (std::uint32_t i = 0; i < count; ++i) {
    ++FrameCount;
    objects_.push_back(std::make_unique<TSWFShowFrame>());
  }
  currentFrame_ = FrameCount - 1;
}

void TFlashMovie::MoveBefore(const TBasedSWFObject& object, const TBasedSWFObject& before) {
  const auto find = [&](const TBasedSWFObject& o) {
    return std::find_if(objects_.begin(), objects_.end(), [&](const auto& p) { return p.get() == &o; });
  };
  const auto from = find(object);
  const auto to = find(before);
  if (from == objects_.end() || to == objects_.end() || from < to) return;
  std::rotate(to, from, from + 1);
}

void TFlashMovie::SetCompressionThreads(unsigned threads) { pool_ = std::make_unique<TTaskPool>(threads); }

void TFlashMovie::BuildBody() {
  Body.Clear();
  // Room for the whole body at once: the pictures' data and a little for
  // every other tag.
  std::size_t estimate = 1024;
  for (const auto& object : objects_) {
    auto* image = dynamic_cast<TFlashImage*>(object.get());
    estimate += image != nullptr && image->Data() ? image->Data()->size() + 32 : 64;
  }
  Body.Reserve(estimate);
  std::uint8_t version = Version();
  std::uint16_t frames = 0;
  TBitsEngine be(Body);
  if (hasBackground_) {
    TSWFSetBackgroundColor tag;
    tag.Color = *backgroundColor_;
    tag.WriteToStream(be);
  }
  TFlashSound* stream = hasStreamSound_ ? streamSound_.get() : nullptr;
  if (stream != nullptr) {
    // Filling the head also starts the stream again from its beginning.
    TSWFSoundStreamHead2 head;
    stream->FillStreamHead(head, FrameRate());
    version = std::max({version, stream->MinVersion(), head.MinVersion()});
    head.WriteToStream(be);
  }
  if (Protect) {
    TSWFProtect tag;
    tag.Password = Password;
    version = std::max(version, tag.MinVersion());
    tag.WriteToStream(be);
  }
  for (std::size_t j = 0; j < objects_.size(); ++j) {
    TBasedSWFObject& object = *objects_[j];
    if (OnProgress) {
      OnProgress(*this, static_cast<int>(std::nearbyint((j + 1) * 100.0 / static_cast<double>(objects_.size()))),
                 kProgressBuild);
    }
    version = std::max(version, object.MinVersion());
    if (object.ObjectKind() == 0 && static_cast<TSWFObject&>(object).TagCode == tagShowFrame) {
      // The header's frame count is 16-bit.
      if (frames == 0xFFFF) throw std::length_error("a movie holds at most 65535 frames");
      for (const auto& video : videos_) video->WriteFrame(be, frames);
      if (stream != nullptr && stream->StartFrame <= frames) stream->WriteStreamBlock(be);
      ++frames;
    }
    if (auto* place = dynamic_cast<TFlashPlaceObject*>(&object)) place->PlaceTag().SWFVersion = version;
    object.WriteToStream(be);
    if (ReleaseImageData) {
      if (auto* image = dynamic_cast<TFlashImage*>(&object)) image->ReleaseData();
    }
  }
  if (objects_.empty() || dynamic_cast<const TSWFEnd*>(objects_.back().get()) == nullptr) TSWFEnd().WriteToStream(be);
  FrameCount = frames;
  if (version > Version()) SetVersion(version);
}

}  // namespace movara::swf
