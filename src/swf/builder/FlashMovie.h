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
#include "swf/builder/FlashVideo.h"
#include "swf/core/Records.h"
#include "swf/core/SWFStream.h"

namespace movara::swf {

// A movie composed above the tag level: characters, placements, removals
// and frames in one ordered object list, turned into tags by BuildBody.
class TFlashMovie : public TBasedSWFStream {
 public:
  TFlashMovie(std::int32_t xMin, std::int32_t yMin, std::int32_t xMax, std::int32_t yMax, double frameRate,
              bool pixelUnits);

  bool InsertMode = false;
  std::int32_t InsertIndex = 0;
  std::string FrameLabel;
  std::string Password;
  bool Protect = false;
  // Appended to the objects by the next ShowFrame.
  std::unique_ptr<TBasedSWFObject> PendingFrameObject;
  // Consulted by every image load; clearing carryOn stops the load.
  std::function<void(TFlashImage& sender, const std::string& fileName, bool& carryOn)> OnLoadImage;

  // Created black on first access; every access makes the movie write it.
  TSWFRGB& BackgroundColor();
  bool HasBackground() const { return hasBackground_; }
  std::uint16_t NextCharacterId() const { return nextCharacterId_; }
  std::int32_t CurrentFrame() const { return currentFrame_; }
  const std::vector<std::unique_ptr<TBasedSWFObject>>& Objects() const { return objects_; }
  TFlashButtonList& Buttons() { return buttons_; }
  TFlashImageList& Images() { return images_; }
  TFlashShapeList& Shapes() { return shapes_; }
  // The movie's streamed sound, created on first access without a file and
  // looping; from then on the movie streams it. Load a file into it with
  // LoadFile.
  TFlashSound& StreamSound();
  bool HasStreamSound() const { return hasStreamSound_; }

  // Appends, or inserts at InsertIndex in insert mode; the movie owns it.
  TBasedSWFObject& AppendObject(std::unique_ptr<TBasedSWFObject> object);
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
  // RemoveObject with the shape's identifier, or RemoveObject2 without one.
  void RemoveObject(std::uint16_t depth, const TFlashShape* shape);
  // Throws std::length_error past 65535 frames.
  void ShowFrame(std::uint32_t count = 1);
  // A video placed from the frame being built on; it writes its frames
  // ahead of the ShowFrame tags.
  TFlashPlaceVideo& PlaceVideo(TFlashVideo& video, std::uint16_t depth, bool repeat);
  std::size_t VideoCount() const { return videos_.size(); }
  TFlashPlaceVideo* Video(std::size_t index) const {
    return index < videos_.size() ? videos_[index].get() : nullptr;
  }
  // Moves an object to just before another, so that a definition precedes
  // its first use.
  void MoveBefore(const TBasedSWFObject& object, const TBasedSWFObject& before);

  void BuildBody() override;

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

  std::unique_ptr<TSWFRGB> backgroundColor_;
  bool hasBackground_ = false;
  std::unique_ptr<TFlashSound> streamSound_;
  bool hasStreamSound_ = false;
  std::uint16_t nextCharacterId_ = 1;
  std::int32_t currentFrame_ = 0;
  std::vector<std::unique_ptr<TBasedSWFObject>> objects_;
  TFlashButtonList buttons_;
  TFlashImageList images_;
  TFlashShapeList shapes_;
  // After the objects: the placements refer to video characters among them.
  std::vector<std::unique_ptr<TFlashPlaceVideo>> videos_;
  // Last: it finishes the pending work before the objects go.
  std::unique_ptr<TTaskPool> pool_;
};

}  // namespace movara::swf
