#include "swf/builder/FlashSound.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

namespace movara::swf {

namespace {

std::string Quoted(const std::filesystem::path& fileName) { return "Sound \"" + fileName.string() + "\": "; }

std::string EncodingName(std::uint16_t tag) {
  switch (tag) {
    case media::kWaveFormatADPCM: return "Microsoft ADPCM";
    case 3: return "floating point";
    case 6: return "A-law";
    case 7: return "mu-law";
    case 17: return "IMA ADPCM";
    default: return "format tag " + std::to_string(tag);
  }
}

// The SWF rate code of uncompressed data; SWF sound has only these four.
std::optional<std::uint8_t> RateCodeOf(std::uint32_t rate) {
  switch (rate) {
    case 5512:
    case 5513: return 0;
    case 11025: return 1;
    case 22050: return 2;
    case 44100: return 3;
    default: return std::nullopt;
  }
}

// Refuses what a movie cannot carry, before anything of the sound changes.
void CheckCarriable(const std::filesystem::path& fileName, const media::TAudioFileInfo& info) {
  const std::string what = Quoted(fileName);
  const bool mpeg = info.IsMPEG();
  if (!mpeg && info.FormatTag != media::kWaveFormatPCM) {
    throw FlashSoundError(what + "WAV encoding " + EncodingName(info.FormatTag) + " not supported");
  }
  if (mpeg && info.MPEGLayer != 3) {
    throw FlashSoundError(what + "MPEG audio layer " + std::to_string(info.MPEGLayer) +
                          " not supported (only layer III, MP3)");
  }
  if (!mpeg && info.BitsPerSample != 8 && info.BitsPerSample != 16) {
    throw FlashSoundError(what + "PCM with " + std::to_string(info.BitsPerSample) +
                          " bits per sample not supported (only 8 and 16)");
  }
  if (info.Channels > 2) throw FlashSoundError(what + std::to_string(info.Channels) + " channels not supported");
  if (!mpeg && !RateCodeOf(info.SampleRate)) {
    throw FlashSoundError(what + "sample rate " + std::to_string(info.SampleRate) +
                          " Hz not supported (only 5512, 11025, 22050 and 44100 Hz)");
  }
  if (info.SampleCount == 0) throw FlashSoundError(what + "the file holds no sound");
  if (info.DataStart + info.DataSize > std::numeric_limits<std::uint32_t>::max() ||
      info.SampleCount > std::numeric_limits<std::uint32_t>::max()) {
    throw FlashSoundError(what + "too large for a movie");
  }
}

// MP3 data plays at its frames' own sample rate; the rate code names the
// family of rates of its MPEG version: 44 kHz for MPEG-1 (32000 to 48000 Hz),
// 22 kHz for MPEG-2 (16000 to 24000 Hz), 11 kHz for MPEG-2.5 (8000 to
// 12000 Hz).
std::uint8_t MPEGRateCode(std::uint8_t version) { return version == 10 ? 3 : version == 20 ? 2 : 1; }

}  // namespace

TFlashSound::TFlashSound(TFlashMovie* owner, const std::filesystem::path& fileName) : TFlashIDObject(owner) {
  if (!fileName.empty() && std::filesystem::exists(fileName)) LoadFile(fileName);
}

void TFlashSound::LoadFile(const std::filesystem::path& fileName) {
  const media::TAudioFileInfo info = media::ReadAudioFile(fileName);
  CheckCarriable(fileName, info);
  TakeFormat(fileName, info);
  OpenFile(fileName);
}

void TFlashSound::TakeFormat(const std::filesystem::path& fileName, const media::TAudioFileInfo& info) {
  fileName_ = fileName;
  duration_ = info.Duration;
  soundFormat_ = info.IsMPEG() ? kFormatMP3 : kFormatUncompressed;
  sampleRate_ = static_cast<std::uint16_t>(info.SampleRate);
  rateCode_ = info.IsMPEG() ? MPEGRateCode(info.MPEGVersion) : *RateCodeOf(info.SampleRate);
  bitsPerSample_ = static_cast<std::uint8_t>(info.BitsPerSample);
  is16Bit_ = info.BitsPerSample != 8;
  isStereo_ = info.Channels == 2;
  dataStart_ = static_cast<std::uint32_t>(info.DataStart);
  dataSize_ = static_cast<std::uint32_t>(info.DataSize);
  sampleCount_ = static_cast<std::uint32_t>(info.SampleCount);
  samplesPerMPEGFrame_ = info.SamplesPerMPEGFrame;
  mpegFrameSize_ = info.MPEGFrameSize;
  frames_ = info.Frames;
}

void TFlashSound::OpenFile(const std::filesystem::path& fileName) {
  soundFile_.reset();
  soundFile_ = std::make_unique<TFileStream>(fileName, TFileStream::Mode::Read);
  soundFile_->Seek(dataStart_);
}

std::vector<std::uint8_t> TFlashSound::ReadData(std::uint64_t offset, std::uint32_t count) const {
  std::vector<std::uint8_t> bytes(count);
  soundFile_->Seek(offset);
  soundFile_->ReadBuffer(bytes.data(), count);
  return bytes;
}

std::uint8_t TFlashSound::MinVersion() const {
  // A file's sound is MP3 or uncompressed (TakeFormat).
  return soundFormat_ == kFormatMP3 ? 4 : 1;
}

void TFlashSound::AssignFrom(const TBasedSWFObject& source) {
  TFlashIDObject::AssignFrom(source);
  const auto* s = dynamic_cast<const TFlashSound*>(&source);
  if (s == nullptr) return;
  Loop = s->Loop, StartFrame = s->StartFrame, SeekSamples = s->SeekSamples;
  fileName_ = s->fileName_, frames_ = s->frames_, soundFormat_ = s->soundFormat_, rateCode_ = s->rateCode_;
  sampleRate_ = s->sampleRate_, bitsPerSample_ = s->bitsPerSample_, isStereo_ = s->isStereo_, is16Bit_ = s->is16Bit_;
  duration_ = s->duration_, sampleCount_ = s->sampleCount_, dataStart_ = s->dataStart_, dataSize_ = s->dataSize_;
  samplesPerMPEGFrame_ = s->samplesPerMPEGFrame_, mpegFrameSize_ = s->mpegFrameSize_;
  // The copy reads the same file through a handle of its own.
  soundFile_.reset();
  if (s->soundFile_) OpenFile(fileName_);
}

void TFlashSound::WriteToStream(TBitsEngine& be) {
  TSWFDefineSound tag;
  tag.SoundId = CharacterId();
  tag.SoundFormat = soundFormat_;
  tag.SoundRate = rateCode_;
  tag.SoundSize = is16Bit_;
  tag.SoundType = isStereo_;
  tag.SampleCount = sampleCount_;
  tag.SeekSamples = SeekSamples;
  if (soundFile_) tag.Data = MakeDataBlock(ReadData(dataStart_, dataSize_));
  tag.WriteToStream(be);
}

TSoundStreamCursor TFlashSound::FillStreamHead(TSWFSoundStreamHead& head, double frameRate) const {
  const std::uint16_t perFrame =
      HasFile() ? StreamSamplesPerFrame(sampleRate_, frameRate, "a sound of " + std::to_string(sampleRate_) + " Hz")
                : 0;
  // The stream's uncompressed data is little-endian, as the file's.
  const std::uint8_t format = soundFormat_ == kFormatUncompressed ? kFormatUncompressedLE : soundFormat_;
  swf::FillStreamHead(head, {format, rateCode_, is16Bit_, isStereo_}, perFrame);
  TSoundStreamCursor at;
  at.SamplesPerBlock = perFrame;
  at.ReadPosition = dataStart_;
  at.Seek = SeekSamples;
  if (soundFormat_ != kFormatMP3) {
    // An uncompressed block holds one sample short of a movie frame's,
    // except for 8-bit mono.
    const std::uint32_t sample = PCMSampleBytes(is16Bit_, isStereo_);
    at.BlockSize = sample * (perFrame - (sample > 1 ? 1 : 0));
  }
  return at;
}

void TFlashSound::WriteStreamBlock(TBitsEngine& be, TSoundStreamCursor& at) const {
  if (!soundFile_) return;
  if (soundFormat_ == kFormatMP3) {
    WriteMP3Block(be, at);
  } else {
    WriteUncompressedBlock(be, at);
  }
}

void TFlashSound::WriteUncompressedBlock(TBitsEngine& be, TSoundStreamCursor& at) const {
  const std::uint32_t end = dataStart_ + dataSize_;
  if (at.ReadPosition == end || at.BlockSize == 0) return;
  TMemoryStream body;
  std::uint32_t n = std::min(at.BlockSize, end - at.ReadPosition);
  body.Write(ReadData(at.ReadPosition, n).data(), n);
  at.ReadPosition += n;
  while (body.Size() < at.BlockSize) {
    const std::uint32_t missing = at.BlockSize - static_cast<std::uint32_t>(body.Size());
    if (!Loop) {
      // Silence: 8-bit samples are unsigned, centred on 128.
      body.Write(std::vector<std::uint8_t>(missing, is16Bit_ ? 0 : 0x80).data(), missing);
      break;
    }
    n = std::min(missing, dataSize_);
    body.Write(ReadData(dataStart_, n).data(), n);
    at.ReadPosition = dataStart_ + n;
  }
  if (Loop && at.ReadPosition == end) at.ReadPosition = dataStart_;
  WriteTag(be, tagSoundStreamBlock, body);
}

void TFlashSound::WriteMP3Block(TBitsEngine& be, TSoundStreamCursor& at) const {
  const std::optional<TMP3Block> block = NextMP3Block(at, samplesPerMPEGFrame_, frames_.size(), Loop);
  if (!block) return;
  TMemoryStream body;
  if (block->Frames == 0) {
    body.Write(std::vector<std::uint8_t>(4, 0).data(), 4);
    WriteTag(be, tagSoundStreamBlock, body);
  } else {
    TBitsEngine bodyEngine(body);
    bodyEngine.WriteWord(static_cast<std::uint16_t>(block->Frames * samplesPerMPEGFrame_));
    bodyEngine.WriteWord(static_cast<std::uint16_t>(block->Seek));
    for (std::uint32_t i = 0; i < block->Frames; ++i) {
      const media::TMPEGFrame& frame = frames_[(at.NextFrame + i) % frames_.size()];
      body.Write(ReadData(frame.Offset, frame.Size).data(), frame.Size);
    }
    WriteLongTag(be, tagSoundStreamBlock, body);
  }
  at = block->Next;
}

}  // namespace movara::swf
