#include "media/FLVReader.h"

#include <cmath>
#include <string>

#include "base/FileStream.h"
#include "media/MPEGAudio.h"

namespace movara::media {

namespace {

constexpr std::size_t kFileHeaderSize = 9;
constexpr std::size_t kTagHeaderSize = 11;
constexpr std::size_t kTagSizeField = 4;
constexpr std::uint8_t kTagAudio = 8;
constexpr std::uint8_t kTagVideo = 9;
constexpr std::uint8_t kFrameKey = 1;
constexpr std::uint8_t kFrameGeneratedKey = 4;
constexpr std::uint8_t kFrameCommand = 5;

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t count) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < count; ++i) v = (v << 8) | bytes[at + i];
  return v;
}

std::string At(std::size_t offset) { return "at offset " + std::to_string(offset); }

// Reads bit fields most significant bit first from a payload, throwing
// when a field runs past its end.
class TPictureBits {
 public:
  TPictureBits(std::span<const std::uint8_t> bytes, const char* what) : bytes_(bytes), what_(what) {}
  std::uint32_t Read(std::uint32_t count) {
    if (count > bytes_.size() * 8 || pos_ > bytes_.size() * 8 - count) {
      throw FLVError(std::string("the first video frame is too short for its ") + what_ + " picture header");
    }
    std::uint32_t v = 0;
    for (std::uint32_t i = 0; i < count; ++i, ++pos_) v = (v << 1) | ((bytes_[pos_ / 8] >> (7 - pos_ % 8)) & 1);
    return v;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  const char* what_;
  std::size_t pos_ = 0;
};

struct TSize {
  std::uint32_t Width;
  std::uint32_t Height;
};

TSize H263Size(std::span<const std::uint8_t> frame) {
  TPictureBits bits(frame, "H.263");
  if (bits.Read(17) != 1) throw FLVError("the first video frame does not start with an H.263 picture start code");
  if (bits.Read(5) > 1) throw FLVError("the first video frame has an unknown H.263 version");
  bits.Read(8);  // temporal reference
  static constexpr TSize kSizes[] = {{352, 288}, {176, 144}, {128, 96}, {320, 240}, {160, 120}};
  const std::uint32_t code = bits.Read(3);
  if (code == 7) throw FLVError("the first video frame has a reserved H.263 picture size");
  if (code >= 2) return kSizes[code - 2];
  const std::uint32_t width = bits.Read(code == 0 ? 8 : 16);
  return {width, bits.Read(code == 0 ? 8 : 16)};
}

TSize ScreenVideoSize(std::span<const std::uint8_t> frame) {
  TPictureBits bits(frame, "Screen Video");
  bits.Read(4);  // block width
  const std::uint32_t width = bits.Read(12);
  bits.Read(4);  // block height
  return {width, bits.Read(12)};
}

// A VP6 key frame gives its size in macroblocks; the adjustment byte that the
// FLV packet puts before the frame takes off what the picture does not use.
TSize VP6Size(std::uint8_t adjustment, std::span<const std::uint8_t> frame) {
  if (frame.size() < 2) throw FLVError("the first video frame is too short for its VP6 picture header");
  if ((frame[0] & 0x80) != 0) throw FLVError("the first VP6 frame is not a key frame");
  const bool separated = (frame[0] & 1) != 0;
  const bool filterHeader = (frame[1] & 0x06) != 0;
  const std::size_t at = separated || !filterHeader ? 4 : 2;
  if (frame.size() < at + 2) throw FLVError("the first video frame is too short for its VP6 picture header");
  const std::uint32_t rows = frame[at];
  const std::uint32_t cols = frame[at + 1];
  const std::uint32_t cutX = adjustment >> 4;
  const std::uint32_t cutY = adjustment & 0x0F;
  if (cols * 16 <= cutX || rows * 16 <= cutY) return {0, 0};
  return {cols * 16 - cutX, rows * 16 - cutY};
}

}  // namespace

const char* FLVCodecName(std::uint8_t codec) {
  switch (codec) {
    case kFLVCodecH263: return "Sorenson H.263";
    case kFLVCodecScreenVideo: return "Screen Video";
    case kFLVCodecVP6: return "VP6";
    case kFLVCodecVP6Alpha: return "VP6 with alpha";
    case 6: return "Screen Video 2";
    case 7: return "H.264";
    case 12: return "HEVC";
    default: return "an unknown codec";
  }
}

const char* FLVSoundFormatName(std::uint8_t format) {
  switch (format) {
    case kFLVSoundPCM: return "uncompressed";
    case 1: return "ADPCM";
    case kFLVSoundMP3: return "MP3";
    case kFLVSoundPCMLittleEndian: return "uncompressed little-endian";
    case 4:
    case 5:
    case 6: return "Nellymoser";
    case 7:
    case 8: return "G.711";
    case 10: return "AAC";
    case 11: return "Speex";
    case 14: return "MP3 at 8 kHz";
    default: return "an unknown format";
  }
}

void TFLVReader::LoadFromFile(const std::filesystem::path& path) { LoadFromBytes(ReadFileBytes(path)); }

void TFLVReader::LoadFromBytes(std::vector<std::uint8_t> bytes) {
  bytes_ = std::move(bytes);
  codec_ = 0;
  width_ = height_ = 0;
  video_.clear();
  audio_.clear();
  soundFrames_.clear();
  sampleRate_ = 0;
  audioFormat_ = {};
  Walk();
  if (video_.empty()) throw FLVError("the file holds no video frames");
  ReadPictureSize();
}

void TFLVReader::Walk() {
  const std::span<const std::uint8_t> b(bytes_);
  if (b.size() < kFileHeaderSize || b[0] != 'F' || b[1] != 'L' || b[2] != 'V') throw FLVError("not an FLV file");
  if (b[3] != 1) throw FLVError("FLV version " + std::to_string(b[3]) + " is not known");
  const std::uint32_t dataOffset = BigEndian(b, 5, 4);
  if (dataOffset < kFileHeaderSize || kTagSizeField > b.size() || dataOffset > b.size() - kTagSizeField) {
    throw FLVError("the header puts the first tag at offset " + std::to_string(dataOffset) + ", outside the file");
  }
  if (BigEndian(b, dataOffset, kTagSizeField) != 0) throw FLVError("the size before the first tag is not 0");
  std::size_t at = dataOffset + kTagSizeField;
  while (at < b.size()) {
    if (b.size() - at < kTagHeaderSize) throw FLVError("the tag " + At(at) + " is cut short in its header");
    if ((b[at] & 0x20) != 0) throw FLVError("the tag " + At(at) + " is encrypted");
    const std::uint8_t type = b[at] & 0x1F;
    const std::uint32_t size = BigEndian(b, at + 1, 3);
    const std::uint32_t timestamp = BigEndian(b, at + 4, 3) | (static_cast<std::uint32_t>(b[at + 7]) << 24);
    const std::size_t data = at + kTagHeaderSize;
    if (size > b.size() - data || kTagSizeField > b.size() - data - size) {
      throw FLVError("the tag " + At(at) + " declares " + std::to_string(size) + " bytes, the file ends first");
    }
    const std::uint32_t sizeAfter = BigEndian(b, data + size, kTagSizeField);
    if (sizeAfter != kTagHeaderSize + size) {
      throw FLVError("the tag " + At(at) + " is " + std::to_string(kTagHeaderSize + size) +
                     " bytes long, the size after it says " + std::to_string(sizeAfter));
    }
    if (type == kTagVideo) AddVideo(at, timestamp, data, size);
    if (type == kTagAudio) AddAudio(at, timestamp, data, size);
    at = data + size + kTagSizeField;
  }
}

void TFLVReader::AddVideo(std::size_t tagOffset, std::uint32_t timestamp, std::size_t offset, std::size_t size) {
  if (size == 0) throw FLVError("the video tag " + At(tagOffset) + " is empty");
  const std::uint8_t frameType = bytes_[offset] >> 4;
  const std::uint8_t codec = bytes_[offset] & 0x0F;
  if (frameType == kFrameCommand) return;
  if (frameType < kFrameKey || frameType > kFrameGeneratedKey) {
    throw FLVError("the video tag " + At(tagOffset) + " has the unknown frame type " + std::to_string(frameType));
  }
  if (codec < kFLVCodecH263 || codec > kFLVCodecVP6Alpha) {
    throw FLVError(std::string("the video is ") + FLVCodecName(codec) + " (codec " + std::to_string(codec) +
                   "), which a movie cannot carry; it can carry Sorenson H.263, Screen Video and VP6");
  }
  if (!video_.empty() && codec != codec_) throw FLVError("the video tag " + At(tagOffset) + " changes the codec");
  // VP6 frames start with the adjustment byte, VP6 with alpha also with the
  // 24-bit offset of the alpha data; a picture follows.
  const std::size_t least = codec == kFLVCodecVP6 ? 2 : codec == kFLVCodecVP6Alpha ? 5 : 1;
  if (size - 1 < least) throw FLVError("the video tag " + At(tagOffset) + " holds no picture");
  if (codec == kFLVCodecVP6Alpha && BigEndian(bytes_, offset + 2, 3) > size - 5) {
    throw FLVError("the video tag " + At(tagOffset) + " puts its alpha data beyond its end");
  }
  if (video_.size() == kMaxVideoFrames) {
    throw FLVError("the video has more than " + std::to_string(kMaxVideoFrames) + " frames, more than a movie can number");
  }
  codec_ = codec;
  const bool key = frameType == kFrameKey || frameType == kFrameGeneratedKey;
  video_.push_back({timestamp, offset + 1, size - 1, key});
}

void TFLVReader::AddAudio(std::size_t tagOffset, std::uint32_t timestamp, std::size_t offset, std::size_t size) {
  if (size == 0) throw FLVError("the audio tag " + At(tagOffset) + " is empty");
  const std::uint8_t head = bytes_[offset];
  const TFLVAudioFormat format{static_cast<std::uint8_t>(head >> 4), static_cast<std::uint8_t>((head >> 2) & 3),
                               (head & 2) != 0, (head & 1) != 0};
  const bool pcm = format.SoundFormat == kFLVSoundPCM || format.SoundFormat == kFLVSoundPCMLittleEndian;
  if (!pcm && format.SoundFormat != kFLVSoundMP3) {
    throw FLVError(std::string("the sound is ") + FLVSoundFormatName(format.SoundFormat) + " (format " +
                   std::to_string(format.SoundFormat) + "), which a movie cannot stream; it can stream MP3 and "
                   "uncompressed sound");
  }
  if (!audio_.empty() && format != audioFormat_) {
    throw FLVError("the audio tag " + At(tagOffset) + " changes the sound format");
  }
  const std::size_t sampleBytes = (format.Is16Bit ? 2 : 1) * (format.IsStereo ? 2 : 1);
  if (pcm && (size - 1) % sampleBytes != 0) {
    throw FLVError("the audio tag " + At(tagOffset) + " does not hold whole samples");
  }
  audioFormat_ = format;
  audio_.push_back({timestamp, offset + 1, size - 1, false});
  if (pcm) {
    static constexpr std::uint32_t kRates[] = {5512, 11025, 22050, 44100};
    sampleRate_ = kRates[format.SoundRate];
    soundFrames_.push_back({offset + 1, size - 1, static_cast<std::uint32_t>((size - 1) / sampleBytes)});
  } else {
    SplitMP3(tagOffset, offset + 1, size - 1);
  }
}

void TFLVReader::SplitMP3(std::size_t tagOffset, std::size_t offset, std::size_t size) {
  const std::size_t end = offset + size;
  for (std::size_t at = offset; at < end;) {
    TMPEGHeader h;
    if (end - at < 4 || DecodeMPEGHeader(&bytes_[at], h) != TMPEGHeaderKind::Valid || h.Layer != 3) {
      throw FLVError("the audio tag " + At(tagOffset) + " holds no MP3 frame at offset " + std::to_string(at));
    }
    if (h.FrameSize > end - at) throw FLVError("the audio tag " + At(tagOffset) + " cuts an MP3 frame short");
    if (sampleRate_ != 0 && h.SampleRate != sampleRate_) {
      throw FLVError("the audio tag " + At(tagOffset) + " changes the MP3 sample rate");
    }
    sampleRate_ = h.SampleRate;
    soundFrames_.push_back({at, h.FrameSize, h.SamplesPerFrame});
    at += h.FrameSize;
  }
}

void TFLVReader::ReadPictureSize() {
  const std::span<const std::uint8_t> first = Payload(video_.front());
  TSize size{};
  switch (codec_) {
    case kFLVCodecH263: size = H263Size(first); break;
    case kFLVCodecScreenVideo: size = ScreenVideoSize(first); break;
    case kFLVCodecVP6: size = VP6Size(first[0], first.subspan(1)); break;
    default: size = VP6Size(first[0], first.subspan(4)); break;
  }
  if (size.Width == 0 || size.Height == 0 || size.Width > 0xFFFF || size.Height > 0xFFFF) {
    throw FLVError("the first video frame gives the picture size " + std::to_string(size.Width) + " x " +
                   std::to_string(size.Height));
  }
  width_ = static_cast<std::uint16_t>(size.Width);
  height_ = static_cast<std::uint16_t>(size.Height);
}

double TFLVReader::FrameRate() const {
  if (video_.size() < 2 || video_.back().Timestamp <= video_.front().Timestamp) return 0;
  const double rate = static_cast<double>(video_.size() - 1) * 1000.0 /
                      static_cast<double>(video_.back().Timestamp - video_.front().Timestamp);
  return std::round(rate * 100) / 100;
}

}  // namespace movara::media
