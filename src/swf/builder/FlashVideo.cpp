#include "swf/builder/FlashVideo.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "swf/builder/FlashMovie.h"
#include "swf/builder/FlashSound.h"

namespace movara::swf {

TFlashVideo::TFlashVideo(TFlashMovie* owner, media::TFLVReader source)
    : TFlashVisualObject(owner), source_(std::move(source)) {
  if (source_.VideoFrames().size() > 0xFFFF) {
    throw std::length_error("a video stream holds at most 65535 frames, this one " +
                            std::to_string(source_.VideoFrames().size()));
  }
  streamTag_.NumFrames = static_cast<std::uint16_t>(source_.VideoFrames().size());
  streamTag_.Width = source_.Width();
  streamTag_.Height = source_.Height();
  // The FLV codec numbers are the movie's.
  streamTag_.CodecId = source_.VideoCodec();
  SplitSound();
}

void TFlashVideo::SplitSound() {
  const auto& frames = source_.SoundFrames();
  const auto& video = source_.VideoFrames();
  if (frames.empty() || video.empty()) return;
  std::uint64_t total = 0;
  for (const auto& f : frames) {
    soundStarts_.push_back(total);
    total += f.Samples;
  }
  soundStarts_.push_back(total);
  // A video frame's sound ends where the next frame starts by the
  // timestamps (the sound's first packet is its sample 0); the last frame
  // takes the rest.
  const double rate = source_.SampleRate();
  const double soundStart = source_.AudioPackets().front().Timestamp;
  std::vector<std::uint64_t> ends(video.size(), total);
  std::uint64_t end = 0;
  for (std::size_t k = 0; k + 1 < video.size(); ++k) {
    const double at = std::round((video[k + 1].Timestamp - soundStart) * rate / 1000);
    end = std::max(end, static_cast<std::uint64_t>(std::clamp(at, 0.0, static_cast<double>(total))));
    ends[k] = end;
  }
  soundBlocks_.resize(video.size());
  std::size_t next = 0;
  for (std::size_t k = 0; k < video.size(); ++k) {
    TSoundBlock& block = soundBlocks_[k];
    const std::uint64_t start = k == 0 ? 0 : ends[k - 1];
    if (!IsMP3()) {
      block.From = start;
      block.To = ends[k];
      continue;
    }
    // MP3 frames go whole to the video frame during which they start.
    const std::size_t first = next;
    while (next < frames.size() && (soundStarts_[next] < ends[k] || k + 1 == video.size())) ++next;
    block.From = soundStarts_[first];
    block.To = soundStarts_[next];
    const auto seek = static_cast<std::int64_t>(start) - static_cast<std::int64_t>(block.From);
    if (block.To > block.From) block.Seek = static_cast<std::int16_t>(std::clamp<std::int64_t>(seek, -32768, 32767));
  }
}

void TFlashVideo::WriteSoundHead(TBitsEngine& be, double frameRate) const {
  const std::uint16_t perFrame = StreamSamplesPerFrame(
      source_.SampleRate(), frameRate, "the sound of the video, " + std::to_string(source_.SampleRate()) + " Hz,");
  auto head = IsMP3() ? std::make_unique<TSWFSoundStreamHead>() : std::make_unique<TSWFSoundStreamHead2>();
  const media::TFLVAudioFormat& format = source_.AudioFormat();
  FillStreamHead(*head, {IsMP3() ? kSoundMP3 : kSoundUncompressedLE, format.SoundRate, format.Is16Bit, format.IsStereo},
                 perFrame);
  head->WriteToStream(be);
}

void TFlashVideo::WriteSoundBlock(TBitsEngine& be, std::uint16_t videoFrame) const {
  const TSoundBlock& block = soundBlocks_.at(videoFrame);
  TMemoryStream body;
  TBitsEngine out(body);
  if (!IsMP3()) {
    if (block.To == block.From) return;
    CopySound(out, block.From, block.To);
    WriteTag(be, tagSoundStreamBlock, body);
    return;
  }
  if (block.To - block.From > 0xFFFF) {
    throw FlashSoundError("the sound of video frame " + std::to_string(videoFrame) + " lasts " +
                          std::to_string(block.To - block.From) +
                          " samples, more than a stream block can number (65535)");
  }
  out.WriteWord(static_cast<std::uint16_t>(block.To - block.From));
  out.WriteWord(static_cast<std::uint16_t>(block.Seek));
  CopySound(out, block.From, block.To);
  if (block.To > block.From) {
    WriteLongTag(be, tagSoundStreamBlock, body);
  } else {
    WriteTag(be, tagSoundStreamBlock, body);
  }
}

void TFlashVideo::CopySound(TBitsEngine& be, std::uint64_t from, std::uint64_t to) const {
  const auto& frames = source_.SoundFrames();
  const media::TFLVAudioFormat& format = source_.AudioFormat();
  const std::size_t sampleBytes = PCMSampleBytes(format.Is16Bit, format.IsStereo);
  auto i = static_cast<std::size_t>(std::upper_bound(soundStarts_.begin(), soundStarts_.end(), from) -
                                    soundStarts_.begin()) - 1;
  for (; i < frames.size() && soundStarts_[i] < to; ++i) {
    std::span<const std::uint8_t> bytes = source_.Payload(frames[i]);
    // MP3 blocks hold whole frames; samples may be cut anywhere.
    if (!IsMP3()) {
      const std::uint64_t a = std::max(from, soundStarts_[i]) - soundStarts_[i];
      const std::uint64_t b = std::min(to, soundStarts_[i + 1]) - soundStarts_[i];
      bytes = bytes.subspan(a * sampleBytes, (b - a) * sampleBytes);
    }
    be.WriteBytes(bytes.data(), bytes.size());
  }
}

std::span<const std::uint8_t> TFlashVideo::FrameData(std::uint16_t index) const {
  const std::span<const std::uint8_t> payload = source_.Payload(source_.VideoFrames().at(index));
  const bool vp6 = streamTag_.CodecId == TSWFDefineVideoStream::kCodecVP6 ||
                   streamTag_.CodecId == TSWFDefineVideoStream::kCodecVP6Alpha;
  return vp6 ? payload.subspan(1) : payload;
}

void TFlashVideo::SetCharacterId(std::uint16_t value) {
  TFlashVisualObject::SetCharacterId(value);
  streamTag_.CharacterId = value;
}

TFlashPlaceVideo::TFlashPlaceVideo(TFlashMovie* owner, TFlashVideo& video, std::uint16_t depth, bool repeat)
    : TFlashPlaceObject(owner, &video, depth), Repeat(repeat), video_(video) {}

void TFlashPlaceVideo::WriteFrame(TBitsEngine& be, std::uint16_t frame) {
  if (OnWriteFrame) {
    OnWriteFrame(*this, be, frame);
    return;
  }
  const std::uint16_t count = video_.FrameCount();
  if (frame < FirstFrame || count == 0) return;
  const std::uint32_t shown = frame - FirstFrame;
  if (!Repeat && shown >= count) return;
  const auto videoFrame = static_cast<std::uint16_t>(shown % count);

  TFlashPlaceObject place(Owner(), Visual(), Depth());
  place.AssignFrom(*this);
  const bool sound = WithSound && video_.HasSound();
  if (shown == 0) {
    place.SetRatio(0);
    if (sound) video_.WriteSoundHead(be, Owner() != nullptr ? Owner()->FrameRate() : 0);
  } else {
    place.SetMove(true);
    place.SetRatio(videoFrame);
  }
  if (sound) video_.WriteSoundBlock(be, videoFrame);
  TSWFVideoFrame data;
  data.StreamId = video_.CharacterId();
  data.FrameNum = videoFrame;
  const std::span<const std::uint8_t> bytes = video_.FrameData(videoFrame);
  data.OnDataWrite = [bytes](TSWFDataObject&, TBitsEngine& out) { out.WriteBytes(bytes.data(), bytes.size()); };
  data.WriteToStream(be);
  if (OnPlaceFrame) OnPlaceFrame(*this, place, videoFrame);
  if (Owner() != nullptr) place.PlaceTag().SWFVersion = Owner()->Version();
  place.WriteToStream(be);
}

}  // namespace movara::swf
