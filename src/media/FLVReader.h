#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <vector>

#include "media/MediaError.h"

namespace movara::media {

// Raised for FLV files that are cut short, contradict themselves or hold
// what a movie cannot carry; the message says which and where.
class FLVError : public MediaError {
 public:
  using MediaError::MediaError;
};

// FLV video codecs that a movie's video stream carries as they are.
inline constexpr std::uint8_t kFLVCodecH263 = 2;
inline constexpr std::uint8_t kFLVCodecScreenVideo = 3;
inline constexpr std::uint8_t kFLVCodecVP6 = 4;
inline constexpr std::uint8_t kFLVCodecVP6Alpha = 5;

// FLV sound formats that a movie's sound stream carries as they are.
inline constexpr std::uint8_t kFLVSoundPCM = 0;  // platform order: little-endian in practice
inline constexpr std::uint8_t kFLVSoundMP3 = 2;
inline constexpr std::uint8_t kFLVSoundPCMLittleEndian = 3;

// One audio or video packet: its time and where its payload (the bytes after
// the packet's one-byte format header) lies in the file.
struct TFLVPacket {
  std::uint32_t Timestamp = 0;  // milliseconds
  std::size_t Offset = 0;
  std::size_t Size = 0;
  bool KeyFrame = false;  // video only
};

// A piece of the sound that a stream block can take whole: an MP3 frame, or
// a packet of uncompressed samples; where it lies in the file.
struct TFLVSoundFrame {
  std::size_t Offset = 0;
  std::size_t Size = 0;
  std::uint32_t Samples = 0;
};

// The format byte shared by every audio packet of a file.
struct TFLVAudioFormat {
  std::uint8_t SoundFormat = 0;  // 4 bits
  std::uint8_t SoundRate = 0;    // 2 bits: 5.5, 11, 22 or 44 kHz
  bool Is16Bit = false;
  bool IsStereo = false;
  friend bool operator==(const TFLVAudioFormat&, const TFLVAudioFormat&) = default;
};

// An FLV file held in memory: the video packets of one codec a movie can
// carry (Sorenson H.263, Screen Video, VP6), the picture size from the first
// of them, and MP3 or uncompressed audio packets. Script data is skipped.
// Every size is checked against the file before it is used.
class TFLVReader {
 public:
  // The most frames a movie's video stream can number.
  static constexpr std::size_t kMaxVideoFrames = 65535;

  void LoadFromFile(const std::filesystem::path& path);
  void LoadFromBytes(std::vector<std::uint8_t> bytes);

  std::uint8_t VideoCodec() const { return codec_; }
  std::uint16_t Width() const { return width_; }
  std::uint16_t Height() const { return height_; }
  const std::vector<TFLVPacket>& VideoFrames() const { return video_; }
  bool HasAudio() const { return !audio_.empty(); }
  const TFLVAudioFormat& AudioFormat() const { return audioFormat_; }
  const std::vector<TFLVPacket>& AudioPackets() const { return audio_; }
  // The sound in order: the MP3 frames of the packets (each packet holds
  // whole frames of one layer III stream), or each packet of samples.
  const std::vector<TFLVSoundFrame>& SoundFrames() const { return soundFrames_; }
  // Samples per second: the MP3 frames' own rate, or the rate code's.
  std::uint32_t SampleRate() const { return sampleRate_; }
  std::span<const std::uint8_t> Payload(const TFLVPacket& packet) const {
    return std::span<const std::uint8_t>(bytes_).subspan(packet.Offset, packet.Size);
  }
  std::span<const std::uint8_t> Payload(const TFLVSoundFrame& frame) const {
    return std::span<const std::uint8_t>(bytes_).subspan(frame.Offset, frame.Size);
  }
  // Frames per second from the first and last video timestamps, to a
  // hundredth (the timestamps are whole milliseconds); 0 when they do not
  // tell.
  double FrameRate() const;

 private:
  void Walk();
  void AddVideo(std::size_t tagOffset, std::uint32_t timestamp, std::size_t offset, std::size_t size);
  void AddAudio(std::size_t tagOffset, std::uint32_t timestamp, std::size_t offset, std::size_t size);
  void ReadPictureSize();
  void SplitMP3(std::size_t tagOffset, std::size_t offset, std::size_t size);

  std::vector<std::uint8_t> bytes_;
  std::uint8_t codec_ = 0;
  std::uint16_t width_ = 0;
  std::uint16_t height_ = 0;
  std::vector<TFLVPacket> video_;
  TFLVAudioFormat audioFormat_;
  std::vector<TFLVPacket> audio_;
  std::vector<TFLVSoundFrame> soundFrames_;
  std::uint32_t sampleRate_ = 0;
};

// The name of an FLV video codec or sound format, for messages.
const char* FLVCodecName(std::uint8_t codec);
const char* FLVSoundFormatName(std::uint8_t format);

}  // namespace movara::media
