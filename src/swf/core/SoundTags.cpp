#include "swf/core/SoundTags.h"

namespace movara::swf {

std::uint8_t TSWFDefineSound::MinVersion() const {
  if (SoundFormat == kSoundMP3 || SoundFormat == kSoundUncompressedLE) return 4;
  return SoundFormat == kSoundNellymoser ? 6 : 1;
}

void TSWFDefineSound::AssignFrom(const TBasedSWFObject& source) {
  TSWFDataObject::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFDefineSound*>(&source)) {
    SoundId = s->SoundId, SoundFormat = s->SoundFormat, SoundRate = s->SoundRate, SoundSize = s->SoundSize;
    SoundType = s->SoundType, SampleCount = s->SampleCount, SeekSamples = s->SeekSamples;
  }
}

void TSWFDefineSound::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(SoundId);
  be.WriteByteBits(SoundFormat, 4);
  be.WriteByteBits(SoundRate, 2);
  be.WriteBit(SoundSize);
  be.WriteBit(SoundType);
  be.WriteDWord(SampleCount);
  if (SoundFormat == kSoundMP3) be.WriteWord(SeekSamples);
  WriteData(be);
}

void TSWFDefineSound::ReadFromStream(TBitsEngine& be) {
  SoundId = be.ReadWord();
  SoundFormat = static_cast<std::uint8_t>(be.ReadBits(4));
  SoundRate = static_cast<std::uint8_t>(be.ReadBits(2));
  SoundSize = be.ReadBit();
  SoundType = be.ReadBit();
  SampleCount = be.ReadDWord();
  if (SoundFormat == kSoundMP3) SeekSamples = be.ReadWord();
  ReadRest(be);
}

void TSWFStartSound::CopyFields(const TSWFStartSound& s) {
  SoundId = s.SoundId, SyncStop = s.SyncStop, SyncNoMultiple = s.SyncNoMultiple, HasEnvelope = s.HasEnvelope;
  Envelope = s.Envelope;
  hasInPoint_ = s.hasInPoint_, hasOutPoint_ = s.hasOutPoint_, hasLoops_ = s.hasLoops_;
  inPoint_ = s.inPoint_, outPoint_ = s.outPoint_, loopCount_ = s.loopCount_;
}

void TSWFStartSound::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  AssignSame(*this, source);
}

void TSWFStartSound::WriteTagBody(TBitsEngine& be) {
  const bool envelope = HasEnvelope && !Envelope.empty();
  be.WriteWord(SoundId);
  be.WriteByteBits(0, 2);
  be.WriteBit(SyncStop);
  be.WriteBit(SyncNoMultiple);
  be.WriteBit(envelope);
  be.WriteBit(hasLoops_);
  be.WriteBit(hasOutPoint_);
  be.WriteBit(hasInPoint_);
  if (hasInPoint_) be.WriteDWord(inPoint_);
  if (hasOutPoint_) be.WriteDWord(outPoint_);
  if (hasLoops_) be.WriteWord(loopCount_);
  if (envelope) {
    be.WriteByte(static_cast<std::uint8_t>(Envelope.size()));
    for (const auto& p : Envelope) {
      be.WriteDWord(p.Pos44);
      be.WriteWord(p.LeftLevel);
      be.WriteWord(p.RightLevel);
    }
  }
}

void TSWFStartSound::ReadFromStream(TBitsEngine& be) {
  SoundId = be.ReadWord();
  be.ReadBits(2);
  SyncStop = be.ReadBit();
  SyncNoMultiple = be.ReadBit();
  HasEnvelope = be.ReadBit();
  hasLoops_ = be.ReadBit();
  hasOutPoint_ = be.ReadBit();
  hasInPoint_ = be.ReadBit();
  if (hasInPoint_) inPoint_ = be.ReadDWord();
  if (hasOutPoint_) outPoint_ = be.ReadDWord();
  if (hasLoops_) loopCount_ = be.ReadWord();
  Envelope.clear();
  if (HasEnvelope) {
    Envelope.resize(be.ReadByte());
    for (auto& p : Envelope) {
      p.Pos44 = be.ReadDWord();
      p.LeftLevel = be.ReadWord();
      p.RightLevel = be.ReadWord();
    }
  }
}

void TSWFSoundStreamHead::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFSoundStreamHead*>(&source)) {
    PlaybackRate = s->PlaybackRate, PlaybackSize = s->PlaybackSize, PlaybackType = s->PlaybackType;
    StreamFormat = s->StreamFormat, StreamRate = s->StreamRate, StreamSize = s->StreamSize;
    StreamType = s->StreamType, SampleCount = s->SampleCount, LatencySeek = s->LatencySeek;
  }
}

void TSWFSoundStreamHead::WriteTagBody(TBitsEngine& be) {
  be.WriteByteBits(0, 4);
  be.WriteByteBits(PlaybackRate, 2);
  be.WriteBit(PlaybackSize);
  be.WriteBit(PlaybackType);
  be.WriteByteBits(StreamFormat, 4);
  be.WriteByteBits(StreamRate, 2);
  be.WriteBit(StreamSize);
  be.WriteBit(StreamType);
  be.WriteWord(SampleCount);
  if (StreamFormat == 2) be.WriteWord(LatencySeek);
}

void TSWFSoundStreamHead::ReadFromStream(TBitsEngine& be) {
  be.ReadBits(4);
  PlaybackRate = static_cast<std::uint8_t>(be.ReadBits(2));
  PlaybackSize = be.ReadBit();
  PlaybackType = be.ReadBit();
  StreamFormat = static_cast<std::uint8_t>(be.ReadBits(4));
  StreamRate = static_cast<std::uint8_t>(be.ReadBits(2));
  StreamSize = be.ReadBit();
  StreamType = be.ReadBit();
  SampleCount = be.ReadWord();
  if (StreamFormat == 2) LatencySeek = be.ReadWord();
}

std::uint8_t TSWFDefineVideoStream::MinVersion() const {
  if (CodecId == kCodecScreenVideo) return 7;
  return CodecId >= kCodecVP6 ? 8 : 6;
}

void TSWFDefineVideoStream::CopyFields(const TSWFDefineVideoStream& s) {
  CharacterId = s.CharacterId, NumFrames = s.NumFrames, Width = s.Width, Height = s.Height;
  Deblocking = s.Deblocking, Smoothing = s.Smoothing, CodecId = s.CodecId;
}

void TSWFDefineVideoStream::AssignFrom(const TBasedSWFObject& source) {
  TSWFObject::AssignFrom(source);
  AssignSame(*this, source);
}

void TSWFDefineVideoStream::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(CharacterId);
  be.WriteWord(NumFrames);
  be.WriteWord(Width);
  be.WriteWord(Height);
  be.WriteByteBits(0, 4);
  be.WriteByteBits(Deblocking, 3);
  be.WriteBit(Smoothing);
  be.WriteByte(CodecId);
}

void TSWFDefineVideoStream::ReadFromStream(TBitsEngine& be) {
  CharacterId = be.ReadWord();
  NumFrames = be.ReadWord();
  Width = be.ReadWord();
  Height = be.ReadWord();
  be.ReadBits(4);
  Deblocking = static_cast<std::uint8_t>(be.ReadBits(3));
  Smoothing = be.ReadBit();
  CodecId = be.ReadByte();
}

void TSWFVideoFrame::AssignFrom(const TBasedSWFObject& source) {
  TSWFDataObject::AssignFrom(source);
  if (const auto* s = dynamic_cast<const TSWFVideoFrame*>(&source)) StreamId = s->StreamId, FrameNum = s->FrameNum;
}

void TSWFVideoFrame::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(StreamId);
  be.WriteWord(FrameNum);
  WriteData(be);
}

void TSWFVideoFrame::ReadFromStream(TBitsEngine& be) {
  StreamId = be.ReadWord();
  FrameNum = be.ReadWord();
  ReadRest(be);
}

}  // namespace movara::swf
