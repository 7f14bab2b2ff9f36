#include "swf/builder/FlashMovie.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "base/ZlibStream.h"
#include "swf/core/ControlTags.h"

namespace movara::swf {

// Where a streamed movie stands: its file, the header's place in it, the
// compressor of a "CWS" movie's body and how far the body is written.
struct TFlashMovie::TStreamState {
  TStream& Out;
  std::uint64_t Start = 0;
  std::uint16_t DeclaredFrames = 0;
  std::unique_ptr<TCompressionStream> Zipped;
  TWriteCursor Cursor;
  // Frames closed by ShowFrame and not yet written.
  std::size_t Closed = 0;

  TStream& Body() { return Zipped ? static_cast<TStream&>(*Zipped) : Out; }
};

TFlashMovie::TFlashMovie(std::int32_t xMin, std::int32_t yMin, std::int32_t xMax, std::int32_t yMax,
                         double frameRate, bool pixelUnits)
    : TBasedSWFStream(xMin, yMin, xMax, yMax, frameRate, pixelUnits),
      TFlashTimeline(this, TLabelOrder::BeforePending) {}

TFlashMovie::~TFlashMovie() = default;

TSWFRGB& TFlashMovie::BackgroundColor() {
  if (!backgroundColor_) backgroundColor_ = std::make_unique<TSWFRGB>();
  hasBackground_ = true;
  return *backgroundColor_;
}

TBasedSWFObject& TFlashMovie::AppendObject(std::unique_ptr<TBasedSWFObject> object) {
  auto& objects = MutableObjects();
  const auto count = static_cast<std::int32_t>(objects.size());
  if (InsertMode && InsertIndex != -1 && InsertIndex >= 0 && InsertIndex < count - 1) {
    if (stream_ && static_cast<std::size_t>(InsertIndex) < stream_->Cursor.Next) {
      throw std::logic_error("objects cannot be inserted into frames already written");
    }
    TBasedSWFObject& ref = *object;
    objects.insert(objects.begin() + InsertIndex, std::move(object));
    ++InsertIndex;
    return ref;
  }
  TBasedSWFObject& ref = TFlashTimeline::AppendObject(std::move(object));
  InsertIndex = static_cast<std::int32_t>(objects.size()) - 1;
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
  TFlashPlaceVideo& placed = AddVideoPlacement(video, depth, repeat);
  placed.FirstFrame = static_cast<std::uint16_t>(ClosedFrames());
  return placed;
}

TFlashPlaceObject& TFlashMovie::PlaceObject(TFlashVisualObject& visual, std::uint16_t depth) {
  return AddPlacement(visual, depth);
}

void TFlashMovie::ShowFrame(std::uint32_t count) {
  if (count == 0) count = 1;
  // The header's frame count is 16-bit. While the movie streams the header
  // holds the count declared for it, so the frames closed so far count.
  const std::uint64_t frames = ClosedFrames() + std::uint64_t{count};
  if (frames > 0xFFFFu) {
    throw std::length_error("a movie holds at most 65535 frames, this one would have " + std::to_string(frames));
  }
  FrameCount = static_cast<std::uint16_t>(CloseFrame(static_cast<std::uint16_t>(count)));
  currentFrame_ = FrameCount - 1;
  if (!stream_) return;
  ++stream_->Closed;
  // Frames whose pictures may still compress wait: as many as there are
  // workers, so that they are not idle while the next frame is made.
  StreamFrames(pool_ ? pool_->Threads() : 0);
}

void TFlashMovie::SetCompressionThreads(unsigned threads) { pool_ = std::make_unique<TTaskPool>(threads); }

void TFlashMovie::WriteBodyStart(TBitsEngine& be, TWriteCursor& at) {
  at.Version = Version();
  at.RaiseVersion = true;
  at.Definitions = std::make_unique<TDefinitionOrder>();
  if (hasBackground_) {
    TSWFSetBackgroundColor tag;
    tag.Color = *backgroundColor_;
    tag.WriteToStream(be);
  }
  WriteStart(be, FrameRate(), at);
  if (Protect) {
    TSWFProtect tag;
    tag.Password = Password;
    at.Version = std::max(at.Version, tag.MinVersion());
    tag.WriteToStream(be);
  }
}

void TFlashMovie::BuildBody() {
  Body.Clear();
  const auto& objects = Objects();
  // Room for the whole body at once: the pictures' data and a little for
  // every other tag.
  std::size_t estimate = 1024;
  for (const auto& object : objects) {
    auto* image = dynamic_cast<TFlashImage*>(object.get());
    estimate += image != nullptr && image->Data() ? image->Data()->size() + 32 : 64;
  }
  Body.Reserve(estimate);
  TBitsEngine be(Body);
  TWriteCursor at;
  at.ReleaseImages = ReleaseImageData;
  WriteBodyStart(be, at);
  while (at.Next < objects.size()) {
    WriteObjects(be, at, at.Next + 1);
    if (OnProgress) {
      OnProgress(*this, static_cast<int>(std::nearbyint(at.Next * 100.0 / static_cast<double>(objects.size()))),
                 kProgressBuild);
    }
  }
  WriteEnd(be);
  // The frame count is ShowFrame's; the version rises to what the objects need.
  if (at.Version > Version()) SetVersion(at.Version);
}

void TFlashMovie::BeginStream(TStream& out, std::uint16_t frames) {
  if (stream_) throw std::logic_error("the movie is streamed already");
  stream_ = std::make_unique<TStreamState>(TStreamState{out, out.Position(), frames, nullptr, {}, 0});
  Signature[0] = Compressed() ? 'C' : 'F';
  FileLength = 0;
  FrameCount = frames;
  if (Compressed()) {
    WriteHeader(out, HeaderMode::FirstEight);
    stream_->Zipped = std::make_unique<TCompressionStream>(out);
    WriteHeader(*stream_->Zipped, HeaderMode::RectRateCount);
  } else {
    WriteHeader(out, HeaderMode::Whole);
  }
  stream_->Cursor.ReleaseImages = true;
  TBitsEngine be(stream_->Body());
  WriteBodyStart(be, stream_->Cursor);
}

void TFlashMovie::StreamFrames(std::size_t keep) {
  const auto& objects = Objects();
  const auto isShowFrame = [&](std::size_t i) { return dynamic_cast<const TSWFShowFrame*>(objects[i].get()) != nullptr; };
  TBitsEngine be(stream_->Body());
  TWriteCursor& at = stream_->Cursor;
  for (; stream_->Closed > keep; --stream_->Closed) {
    // The oldest frame ends past its run of ShowFrame tags.
    std::size_t end = at.Next;
    while (end < objects.size() && !isShowFrame(end)) ++end;
    while (end < objects.size() && isShowFrame(end)) ++end;
    WriteObjects(be, at, end);
  }
}

void TFlashMovie::EndStream() {
  if (!stream_) throw std::logic_error("the movie is not streamed");
  const std::unique_ptr<TStreamState> state = std::move(stream_);
  TWriteCursor& at = state->Cursor;
  TBitsEngine be(state->Body());
  WriteObjects(be, at, Objects().size());
  WriteEnd(be);
  if (at.Version > Version()) SetVersion(at.Version);
  if (state->Zipped) {
    if (at.Frames != state->DeclaredFrames) {
      throw std::logic_error("a compressed movie streamed with " + std::to_string(state->DeclaredFrames) +
                             " frames declared has " + std::to_string(at.Frames));
    }
    state->Zipped->Finish();
    FileLength = static_cast<std::uint32_t>(8 + state->Zipped->Position());
  } else {
    FileLength = static_cast<std::uint32_t>(state->Out.Position() - state->Start);
  }
  FrameCount = at.Frames;
  const std::uint64_t end = state->Out.Position();
  state->Out.Seek(state->Start);
  WriteHeader(state->Out, state->Zipped ? HeaderMode::FirstEight : HeaderMode::Whole);
  state->Out.Seek(end);
}

}  // namespace movara::swf
