#pragma once

#include <cstdint>
#include <vector>

#include "swf/core/BitmapTags.h"
#include "swf/core/SWFObject.h"
#include "swf/core/TagCodes.h"

namespace movara::swf {

// Sound formats (the 4-bit SoundFormat and StreamFormat): each needs the
// player version that first read it.
inline constexpr std::uint8_t kSoundUncompressed = 0;  // the player's own byte order
inline constexpr std::uint8_t kSoundMP3 = 2;
inline constexpr std::uint8_t kSoundUncompressedLE = 3;
inline constexpr std::uint8_t kSoundNellymoser = 6;

class TSWFDefineSound final : public TSWFDataObject {
 public:
  TSWFDefineSound() : TSWFDataObject(tagDefineSound) {}
  std::uint16_t SoundId = 0;
  std::uint8_t SoundFormat = kSoundUncompressed;  // 4 bits
  std::uint8_t SoundRate = 0;    // 2 bits
  bool SoundSize = false;
  bool SoundType = false;
  std::uint32_t SampleCount = 0;
  std::uint16_t SeekSamples = 0;  // MP3 only

  std::uint8_t MinVersion() const override;
  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;
  std::uint16_t DefinedCharacter() const override { return SoundId; }
};

struct TSWFSoundEnvelope {
  std::uint32_t Pos44 = 0;
  std::uint16_t LeftLevel = 0;
  std::uint16_t RightLevel = 0;
  friend bool operator==(const TSWFSoundEnvelope&, const TSWFSoundEnvelope&) = default;
};

// StartSound; its body (sound id and sound info) also serves DefineButtonSound.
class TSWFStartSound final : public TSWFObject {
 public:
  TSWFStartSound() : TSWFObject(tagStartSound) {}
  std::uint16_t SoundId = 0;
  bool SyncStop = false;
  bool SyncNoMultiple = false;
  bool HasEnvelope = false;
  std::vector<TSWFSoundEnvelope> Envelope;

  bool HasInPoint() const { return hasInPoint_; }
  bool HasOutPoint() const { return hasOutPoint_; }
  bool HasLoops() const { return hasLoops_; }
  std::uint32_t InPoint() const { return inPoint_; }
  std::uint32_t OutPoint() const { return outPoint_; }
  std::uint16_t LoopCount() const { return loopCount_; }
  void SetInPoint(std::uint32_t v) { inPoint_ = v, hasInPoint_ = v != 0; }
  void SetOutPoint(std::uint32_t v) { outPoint_ = v, hasOutPoint_ = v != 0; }
  void SetLoopCount(std::uint16_t v) { loopCount_ = v, hasLoops_ = v != 0; }

  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override { AddUsed(ids, SoundId); }
  void CopyFields(const TSWFStartSound& s);

 private:
  bool hasInPoint_ = false;
  bool hasOutPoint_ = false;
  bool hasLoops_ = false;
  std::uint32_t inPoint_ = 0;
  std::uint32_t outPoint_ = 0;
  std::uint16_t loopCount_ = 0;
};

class TSWFSoundStreamHead : public TSWFObject {
 public:
  TSWFSoundStreamHead() : TSWFObject(tagSoundStreamHead) {}
  std::uint8_t PlaybackRate = 0;  // 2 bits
  bool PlaybackSize = false;
  bool PlaybackType = false;
  std::uint8_t StreamFormat = kSoundUncompressed;  // 4 bits
  std::uint8_t StreamRate = 0;    // 2 bits
  bool StreamSize = false;
  bool StreamType = false;
  std::uint16_t SampleCount = 0;
  std::uint16_t LatencySeek = 0;  // MP3 only

  std::uint8_t MinVersion() const override { return StreamFormat == kSoundMP3 ? 4 : 1; }
  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;

 protected:
  explicit TSWFSoundStreamHead(std::uint16_t code) : TSWFObject(code) {}
};

class TSWFSoundStreamHead2 final : public TSWFSoundStreamHead {
 public:
  TSWFSoundStreamHead2() : TSWFSoundStreamHead(tagSoundStreamHead2) {}
  std::uint8_t MinVersion() const override {
    return StreamFormat == kSoundMP3 ? 4 : StreamFormat == kSoundNellymoser ? 6 : 3;
  }
};

// DefineVideoStream: a video character whose frames come in VideoFrame tags.
// Always framed with the long header.
class TSWFDefineVideoStream final : public TSWFObject {
 public:
  static constexpr std::uint8_t kCodecH263 = 2;
  static constexpr std::uint8_t kCodecScreenVideo = 3;
  static constexpr std::uint8_t kCodecVP6 = 4;
  static constexpr std::uint8_t kCodecVP6Alpha = 5;

  TSWFDefineVideoStream() : TSWFObject(tagDefineVideoStream) {}
  std::uint16_t CharacterId = 0;
  std::uint16_t NumFrames = 0;
  std::uint16_t Width = 0;
  std::uint16_t Height = 0;
  std::uint8_t Deblocking = 0;  // 3 bits; 0 leaves it to each frame
  bool Smoothing = false;
  std::uint8_t CodecId = kCodecH263;

  // Screen video came with version 7, VP6 with version 8.
  std::uint8_t MinVersion() const override;
  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;
  std::uint16_t DefinedCharacter() const override { return CharacterId; }
  void CopyFields(const TSWFDefineVideoStream& s);
};

class TSWFVideoFrame final : public TSWFDataObject {
 public:
  TSWFVideoFrame() : TSWFDataObject(tagVideoFrame) {}
  std::uint16_t StreamId = 0;
  std::uint16_t FrameNum = 0;
  std::uint8_t MinVersion() const override { return 6; }
  void UsedCharacters(std::vector<std::uint16_t>& ids) const override { AddUsed(ids, StreamId); }
  void AssignFrom(const TBasedSWFObject& source) override;
  void ReadFromStream(TBitsEngine& be) override;
  void WriteTagBody(TBitsEngine& be) override;
};

}  // namespace movara::swf
