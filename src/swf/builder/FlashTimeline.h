#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/builder/DefinitionOrder.h"
#include "swf/builder/FlashPlaceObject.h"
#include "swf/builder/FlashSound.h"
#include "swf/builder/FlashVideo.h"
#include "swf/core/SWFObject.h"

namespace movara::swf {

class TFlashMovie;
class TFlashShape;

// A timeline, the movie's or a sprite's: tags and builder objects in order,
// frames closed by ShowFrame, the videos placed on it and its streamed
// sound, which write their part of a frame ahead of its ShowFrame. Writing
// goes object by object from a cursor, so that a body is written whole or
// frame by frame as the frames are closed, by the same code.
class TFlashTimeline {
 public:
  // Where ShowFrame puts the frame's label: ahead of the pending object (the
  // movie's order) or after it (a sprite's).
  enum class TLabelOrder { BeforePending, AfterPending };

  TFlashTimeline(TFlashMovie* owner, TLabelOrder order) : owner_(owner), labelOrder_(order) {}
  virtual ~TFlashTimeline() = default;
  TFlashTimeline(const TFlashTimeline&) = delete;
  TFlashTimeline& operator=(const TFlashTimeline&) = delete;

  // Label of the frame that the next ShowFrame closes.
  std::string FrameLabel;
  // Added to the timeline by the next ShowFrame, beside the label.
  std::unique_ptr<TBasedSWFObject> PendingFrameObject;

  const std::vector<std::unique_ptr<TBasedSWFObject>>& Objects() const { return objects_; }
  // Adds a tag, or a builder object that writes one; the timeline owns it.
  // Frames are closed by ShowFrame, which counts them.
  virtual TBasedSWFObject& AppendObject(std::unique_ptr<TBasedSWFObject> object);
  // RemoveObject with the shape's identifier, or RemoveObject2 without one.
  void RemoveObject(std::uint16_t depth, const TFlashShape* shape);

  // The streamed sound, created on first access without a file and looping;
  // from then on the timeline streams it along its frames. Load a file into
  // it with LoadFile.
  TFlashSound& StreamSound();
  bool HasStreamSound() const { return streamSound_ != nullptr; }
  std::size_t VideoCount() const { return videos_.size(); }
  TFlashPlaceVideo* Video(std::size_t index) const {
    return index < videos_.size() ? videos_[index].get() : nullptr;
  }

  // How far the writing of the timeline has come.
  struct TWriteCursor {
    std::size_t Next = 0;      // the next object to write
    std::uint16_t Frames = 0;  // ShowFrame tags written
    // The version placements are written for: raised by every object
    // written when RaiseVersion (a movie's), else fixed (a sprite's, whose
    // movie decides it).
    std::uint8_t Version = 0;
    bool RaiseVersion = false;
    // Drops each image's data once written, for a body written once.
    bool ReleaseImages = false;
    // How far the stream sound has come.
    TSoundStreamCursor Sound;
    // A movie's: its definitions go out ahead of their uses. A sprite's
    // timeline holds none; the movie writes what it uses ahead of it.
    std::unique_ptr<TDefinitionOrder> Definitions;
  };
  // The start of the body: the stream sound's head, which starts the
  // cursor's stream from the sound's beginning.
  void WriteStart(TBitsEngine& be, double frameRate, TWriteCursor& at);
  // Writes the objects from the cursor up to `end`; ahead of each ShowFrame
  // the videos' frames and the stream sound's block.
  void WriteObjects(TBitsEngine& be, TWriteCursor& at, std::size_t end);
  // End, unless the timeline ends with one of its own.
  void WriteEnd(TBitsEngine& be) const;
  // Writes the frame being built as the next ShowFrame would close it (its
  // label, its pending object, a ShowFrame tag) and leaves it open: for a
  // timeline that must show a frame it has not closed.
  void WriteOpenFrame(TBitsEngine& be, TWriteCursor& at);

 protected:
  const TFlashSound* StreamedSound() const { return streamSound_.get(); }
  TFlashPlaceObject& AddPlacement(TFlashVisualObject& visual, std::uint16_t depth);
  TFlashPlaceVideo& AddVideoPlacement(TFlashVideo& video, std::uint16_t depth, bool repeat);
  // Adds the label, the pending object and `count` ShowFrame tags (at least
  // one), whatever AppendObject does; the frames closed so far.
  std::size_t CloseFrame(std::uint16_t count);
  std::size_t ClosedFrames() const { return frames_; }
  std::vector<std::unique_ptr<TBasedSWFObject>>& MutableObjects() {
    ++changes_;
    return objects_;
  }

 private:
  // The object after every definition it uses that is not written yet,
  // each taken from further on in the list (and after its own uses).
  void WriteAfterItsUses(TBitsEngine& be, TWriteCursor& at, TBasedSWFObject& object);
  // One object; ahead of a ShowFrame tag the videos' frames and the stream
  // sound's block.
  void WriteObject(TBitsEngine& be, TWriteCursor& at, TBasedSWFObject& object);
  // The label and the pending object in the timeline's order.
  template <class Label, class Pending>
  void InFrameOrder(Label label, Pending pending) const;

  TFlashMovie* owner_;
  TLabelOrder labelOrder_;
  std::size_t frames_ = 0;
  std::vector<std::unique_ptr<TBasedSWFObject>> objects_;
  // Counts the changes of the object list.
  std::uint64_t changes_ = 0;
  std::unique_ptr<TFlashSound> streamSound_;
  // After the objects: the placements refer to video characters among them.
  std::vector<std::unique_ptr<TFlashPlaceVideo>> videos_;
};

}  // namespace movara::swf
