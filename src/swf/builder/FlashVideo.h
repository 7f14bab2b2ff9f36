#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "media/FLVReader.h"
#include "swf/builder/FlashObject.h"
#include "swf/builder/FlashPlaceObject.h"
#include "swf/builder/SoundStream.h"
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

  bool HasSound() const { return !soundBlocks_.empty(); }
  // The stream head of the sound for a timeline of this frame rate:
  // SoundStreamHead for MP3, SoundStreamHead2 (the only one that can say
  // so) for uncompressed sound.
  void WriteSoundHead(TBitsEngine& be, double frameRate) const;
  // The SoundStreamBlock of the sound that plays while a video frame shows.
  // A frame without sound writes an empty MP3 block, or nothing.
  void WriteSoundBlock(TBitsEngine& be, std::uint16_t videoFrame) const;

  void SetCharacterId(std::uint16_t value) override;
  std::uint8_t MinVersion() const override { return streamTag_.MinVersion(); }
  void WriteToStream(TBitsEngine& be) override { streamTag_.WriteToStream(be); }

 private:
  // The samples of the sound, counted from its first, that play while a
  // video frame shows, and the seek of an MP3 block (the frame's start in
  // the sound less the block's).
  struct TSoundBlock {
    std::uint64_t From = 0;
    std::uint64_t To = 0;
    std::int16_t Seek = 0;
  };
  bool IsMP3() const { return source_.AudioFormat().SoundFormat == media::kFLVSoundMP3; }
  void SplitSound();
  void CopySound(TBitsEngine& be, std::uint64_t from, std::uint64_t to) const;

  media::TFLVReader source_;
  TSWFDefineVideoStream streamTag_;
  std::vector<TSoundBlock> soundBlocks_;
  // The first sample of each sound frame, and the count of all after them.
  std::vector<std::uint64_t> soundStarts_;
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
  // Streams the video's sound, when it has one, along its frames: a stream
  // head with the first frame, a block with each.
  bool WithSound = true;
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
