#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/TaskPool.h"
#include "imaging/Raster.h"
#include "swf/builder/FlashButton.h"
#include "swf/builder/FlashImage.h"
#include "swf/builder/FlashObject.h"
#include "swf/builder/FlashPlaceObject.h"
#include "swf/builder/FlashShape.h"
#include "swf/builder/FlashSound.h"
#include "swf/builder/FlashSprite.h"
#include "swf/builder/FlashTimeline.h"
#include "swf/builder/FlashVideo.h"
#include "swf/core/Records.h"
#include "swf/core/SWFStream.h"

namespace movara::swf {

// A movie composed above the tag level: characters, placements, removals
// and frames in one ordered object list, its timeline, turned into tags by
// BuildBody, or written frame by frame as it is built between BeginStream
// and EndStream.
class TFlashMovie : public TBasedSWFStream, public TFlashTimeline {
 public:
  TFlashMovie(std::int32_t xMin, std::int32_t yMin, std::int32_t xMax, std::int32_t yMax, double frameRate,
              bool pixelUnits);
  ~TFlashMovie() override;

  bool InsertMode = false;
  std::int32_t InsertIndex = 0;
  std::string Password;
  bool Protect = false;
  // Consulted by every image load; clearing carryOn stops the load.
  std::function<void(TFlashImage& sender, const std::string& fileName, bool& carryOn)> OnLoadImage;

  // Created black on first access; every access makes the movie write it.
  TSWFRGB& BackgroundColor();
  bool HasBackground() const { return hasBackground_; }
  std::uint16_t NextCharacterId() const { return nextCharacterId_; }
  std::int32_t CurrentFrame() const { return currentFrame_; }
  TFlashButtonList& Buttons() { return buttons_; }
  TFlashImageList& Images() { return images_; }
  TFlashShapeList& Shapes() { return shapes_; }

  // Appends, or inserts at InsertIndex in insert mode; the movie owns it.
  TBasedSWFObject& AppendObject(std::unique_ptr<TBasedSWFObject> object) override;
  TFlashShape& AddShape(std::unique_ptr<TFlashShape> shape = nullptr);
  TFlashShape& AddRectangle(std::int32_t xMin, std::int32_t yMin, std::int32_t xMax, std::int32_t yMax);
  TFlashShape& AddRectangle(const TRectangle& rect) { return AddRectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  // An image from a BMP or JPEG file; an unsupported file adds nothing.
  TFlashImage& AddImage(const std::filesystem::path& fileName);
  // An image from a 24-bit (opaque) or 32-bit (alpha) raster.
  TFlashImage& AddImage(const imaging::TBitmap& raster);
  TFlashButton& AddButton(bool trackAsMenu, bool advanced);
  // An event sound from a WAV or MP3 file (a DefineSound character).
  TFlashSound& AddSound(const std::filesystem::path& fileName);
  // Starts an event sound in the frame the next ShowFrame closes; the tag
  // takes the playing options (loops, in and out points, envelope).
  TSWFStartSound& StartSound(const TFlashSound& sound);
  // A sprite, filled through its own placements and frames.
  TFlashSprite& AddSprite();
  // A video character from an FLV file; a file it cannot use throws
  // media::FLVError and adds nothing.
  TFlashVideo& AddVideo(const std::filesystem::path& fileName);
  TFlashVideo& AddVideo(media::TFLVReader source);
  TFlashPlaceObject& PlaceObject(TFlashVisualObject& visual, std::uint16_t depth);
  // Closes the frame: the label, then the pending object, then the frames.
  // While the movie streams, the frames closed are written. Throws
  // std::length_error past 65535 frames.
  void ShowFrame(std::uint32_t count = 1);
  // A video placed from the frame being built on; it writes its frames
  // ahead of the ShowFrame tags.
  TFlashPlaceVideo& PlaceVideo(TFlashVideo& video, std::uint16_t depth, bool repeat);

  // Writes the body. Every definition goes out ahead of the first object
  // that uses it (a button's characters, a fill's bitmap, what a sprite
  // places, a placement's character), taken from later in the list when it
  // comes later there, with its id and the order of all else kept. A
  // character used but not defined, defined twice or used within its own
  // definition throws FlashCharacterError naming it.
  void BuildBody() override;

  // Writes the movie to `out` as it is built, so that no more than a few
  // frames are held: the header and the start of the body (background,
  // stream sound head, protection: set them first) at once, each frame once
  // ShowFrame closes it (a few frames later when pictures compress on
  // workers, which go on meanwhile), the rest with EndStream, which patches
  // the header's file length and version. A compressed movie's frame count
  // lies in the compressed part, so `frames` must be the count it will have
  // (EndStream throws otherwise); an uncompressed movie's is patched. The
  // bytes are those BuildBody and SaveToStream would write, definitions
  // ahead of their uses as there: a definition that a frame uses is written
  // with the frame, so it must be added by the time the frame is written.
  // Frames written are gone from the movie's reach: insert mode into them
  // throws, and image data is released once written. A movie whose writing
  // failed is of no further use.
  void BeginStream(TStream& out, std::uint16_t frames);
  void EndStream();
  bool Streaming() const { return stream_ != nullptr; }

  // Compresses the pictures of rasters on this many worker threads (0: one
  // per core) while the client goes on; the bytes are the same.
  void SetCompressionThreads(unsigned threads);
  TTaskPool* CompressionPool() const { return pool_.get(); }
  // Drops each image's data once it is in the body: for a movie built once,
  // so that the pictures are not held twice.
  bool ReleaseImageData = false;
  // Rasters added as images whose pixels take at most 256 values are stored
  // as 8-bit colour-mapped bitmaps: the same pictures, smaller and faster to
  // compress.
  bool CompactImages = false;

 private:
  template <class T>
  T& AddCharacter(std::unique_ptr<T> object, TFlashObjectList<T>* list);

  // The body's start: background, stream sound head, protection.
  void WriteBodyStart(TBitsEngine& be, TWriteCursor& at);
  // Writes the closed frames beyond the few left to compress meanwhile.
  void StreamFrames(std::size_t keep);

  std::unique_ptr<TSWFRGB> backgroundColor_;
  bool hasBackground_ = false;
  std::uint16_t nextCharacterId_ = 1;
  std::int32_t currentFrame_ = 0;
  TFlashButtonList buttons_;
  TFlashImageList images_;
  TFlashShapeList shapes_;
  struct TStreamState;
  std::unique_ptr<TStreamState> stream_;
  // Last of the movie's own members: it finishes the pending work before
  // the objects (the timeline's) go.
  std::unique_ptr<TTaskPool> pool_;
};

}  // namespace movara::swf
