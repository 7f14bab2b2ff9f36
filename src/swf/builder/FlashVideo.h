#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "media/FLVReader.h"
#include "swf/builder/FlashObject.h"
#include "swf/builder/FlashPlaceObject.h"
#include "swf/core/SoundTags.h"

namespace movara::swf {

// A video character: the stream definition and the frames of an FLV file,
// whose data goes into the movie unchanged.
class TFlashVideo final : public TFlashVisualObject {
 public:
  TFlashVideo(TFlashMovie* owner, media::TFLVReader source);

  const media::TFLVReader& Source() const { return source_; }
  TSWFDefineVideoStream& StreamTag() { return streamTag_; }
  std::uint16_t FrameCount() const { return streamTag_.NumFrames; }
  // A frame as a VideoFrame tag carries it: VP6 frames lose the adjustment
  // byte that only FLV packets have (the stream's size already counts it).
  std::span<const std::uint8_t> FrameData(std::uint16_t index) const;

  void SetCharacterId(std::uint16_t value) override;
  std::uint8_t MinVersion() const override { return streamTag_.MinVersion(); }
  void WriteToStream(TBitsEngine& be) override { streamTag_.WriteToStream(be); }

 private:
  media::TFLVReader source_;
  TSWFDefineVideoStream streamTag_;
};

// A video placed at a depth: before every frame of its timeline it places
// the video again with the ratio of the frame to show and writes that
// frame's data.
class TFlashPlaceVideo final : public TFlashPlaceObject {
 public:
  TFlashPlaceVideo(TFlashMovie* owner, TFlashVideo& video, std::uint16_t depth, bool repeat);

  // After its last frame the video starts again; otherwise it stays on it.
  bool Repeat;
  // The frame of the timeline at which the video shows its first frame.
  std::uint16_t FirstFrame = 0;
  // Takes over the writing of a timeline frame entirely.
  std::function<void(TFlashPlaceVideo& sender, TBitsEngine& be, std::uint16_t frame)> OnWriteFrame;
  // Called after the video frame, with the placement about to be written.
  std::function<void(TFlashPlaceVideo& sender, TFlashPlaceObject& place, std::uint16_t videoFrame)> OnPlaceFrame;

  TFlashVideo& Video() const { return video_; }
  // Writes what timeline frame `frame` (from 0) needs ahead of its ShowFrame.
  void WriteFrame(TBitsEngine& be, std::uint16_t frame);

 private:
  TFlashVideo& video_;
};

}  // namespace movara::swf
