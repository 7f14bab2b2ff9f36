#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include "base/FileStream.h"
#include "media/AudioFile.h"
#include "swf/builder/BuildError.h"
#include "swf/builder/FlashObject.h"
#include "swf/builder/SoundStream.h"
#include "swf/core/SoundTags.h"

namespace movara::swf {

// Raised for a sound file the movie cannot carry: an encoding, sample size,
// channel count or sample rate that SWF sound has no code for.
class FlashSoundError : public FlashBuildError {
 public:
  using FlashBuildError::FlashBuildError;
};

// The builder's sound: the data of one WAV or MP3 file, written as an event
// sound (DefineSound) or streamed block by block along a timeline. Any
// timeline can stream it: FillStreamHead starts the stream with a cursor,
// and each WriteStreamBlock writes the block that goes before the next frame
// and advances the cursor; the sound itself stays as it is.
class TFlashSound : public TFlashIDObject {
 public:
  // The sound formats a file's sound is written in.
  static constexpr std::uint8_t kFormatUncompressed = kSoundUncompressed;
  static constexpr std::uint8_t kFormatMP3 = kSoundMP3;
  static constexpr std::uint8_t kFormatUncompressedLE = kSoundUncompressedLE;

  // Loads the file when one of that name exists.
  TFlashSound(TFlashMovie* owner, const std::filesystem::path& fileName);

  // Reads the file's format and keeps the file open for the sound data.
  // Throws media::AudioFileError for a file that is not audio and
  // FlashSoundError for audio a movie cannot carry.
  void LoadFile(const std::filesystem::path& fileName);

  // When the data ends while streaming, start again from its beginning
  // (otherwise the last block is padded with silence).
  bool Loop = false;
  // The first frame of the timeline that receives a stream block.
  std::uint16_t StartFrame = 0;
  // MP3 samples to skip at the start of the DefineSound and the first block.
  std::uint16_t SeekSamples = 0;

  bool HasFile() const { return soundFile_ != nullptr; }
  std::uint8_t SoundFormat() const { return soundFormat_; }
  std::uint8_t RateCode() const { return rateCode_; }
  std::uint16_t SampleRate() const { return sampleRate_; }
  std::uint8_t BitsPerSample() const { return bitsPerSample_; }
  bool IsStereo() const { return isStereo_; }
  bool Is16Bit() const { return is16Bit_; }
  double Duration() const { return duration_; }
  std::uint32_t SampleCount() const { return sampleCount_; }
  std::uint32_t DataStart() const { return dataStart_; }
  std::uint32_t DataSize() const { return dataSize_; }
  std::uint16_t SamplesPerMPEGFrame() const { return samplesPerMPEGFrame_; }
  std::uint16_t MPEGFrameSize() const { return mpegFrameSize_; }
  std::uint32_t MPEGFrameCount() const { return static_cast<std::uint32_t>(frames_.size()); }
  // Fills a stream head for a timeline of this frame rate; the cursor
  // starts the stream from the beginning of the data.
  TSoundStreamCursor FillStreamHead(TSWFSoundStreamHead& head, double frameRate) const;
  // Writes the SoundStreamBlock that goes before the next frame.
  void WriteStreamBlock(TBitsEngine& be, TSoundStreamCursor& at) const;

  std::uint8_t MinVersion() const override;
  void AssignFrom(const TBasedSWFObject& source) override;
  // The event sound: a DefineSound tag with the whole data.
  void WriteToStream(TBitsEngine& be) override;

 private:
  void TakeFormat(const std::filesystem::path& fileName, const media::TAudioFileInfo& info);
  void OpenFile(const std::filesystem::path& fileName);
  // Reads through the sound's own handle: its position is no part of the
  // sound, so that a const sound reads too.
  std::vector<std::uint8_t> ReadData(std::uint64_t offset, std::uint32_t count) const;
  void WriteUncompressedBlock(TBitsEngine& be, TSoundStreamCursor& at) const;
  void WriteMP3Block(TBitsEngine& be, TSoundStreamCursor& at) const;

  std::filesystem::path fileName_;
  std::unique_ptr<TFileStream> soundFile_;
  std::vector<media::TMPEGFrame> frames_;
  std::uint8_t soundFormat_ = kFormatUncompressed;
  std::uint8_t rateCode_ = 0;
  std::uint16_t sampleRate_ = 0;
  std::uint8_t bitsPerSample_ = 0;
  bool isStereo_ = false;
  bool is16Bit_ = false;
  double duration_ = 0;
  std::uint32_t sampleCount_ = 0;
  std::uint32_t dataStart_ = 0;
  std::uint32_t dataSize_ = 0;
  std::uint16_t samplesPerMPEGFrame_ = 0;
  std::uint16_t mpegFrameSize_ = 0;
};

}  // namespace movara::swf
