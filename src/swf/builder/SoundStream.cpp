#include "swf/builder/SoundStream.h"

#include <algorithm>
#include <cstdlib>

#include "swf/builder/FlashSound.h"

namespace movara::swf {

std::uint16_t StreamSamplesPerFrame(std::uint32_t sampleRate, double frameRate, const std::string& sound) {
  const double perFrame = frameRate > 0 ? sampleRate / frameRate : 0;
  if (perFrame < 1 || perFrame >= 65536) {
    throw FlashSoundError(sound + " cannot stream at " + std::to_string(frameRate) + " frames per second");
  }
  return static_cast<std::uint16_t>(perFrame);
}

void FillStreamHead(TSWFSoundStreamHead& head, const TStreamFormat& format, std::uint16_t samplesPerFrame) {
  head.StreamFormat = format.Format;
  head.StreamRate = head.PlaybackRate = format.RateCode;
  head.StreamSize = head.PlaybackSize = format.Is16Bit;
  head.StreamType = head.PlaybackType = format.IsStereo;
  head.SampleCount = samplesPerFrame;
}

std::optional<TMP3Block> NextMP3Block(const TSoundStreamCursor& at, std::uint16_t samplesPerFrame,
                                      std::size_t frameCount, bool loop) {
  if (frameCount == 0 || (!loop && at.NextFrame >= frameCount)) return std::nullopt;
  const std::int64_t spf = samplesPerFrame;
  TMP3Block block;
  // A seek beyond one MPEG frame empties the block.
  const bool tooFar = std::llabs(at.Seek) > spf;
  std::int64_t count = tooFar ? 0 : (at.Seek + at.SamplesPerBlock) / spf;
  block.Seek = tooFar ? 0 : at.Seek;
  // Whole frames only: without looping the stream ends with the last frame.
  if (!loop) count = std::min<std::int64_t>(count, static_cast<std::int64_t>(frameCount - at.NextFrame));
  block.Frames = static_cast<std::uint32_t>(std::max<std::int64_t>(count, 0));
  TSoundStreamCursor& next = block.Next;
  next = at;
  next.NextFrame = at.NextFrame + block.Frames;
  if (loop) next.NextFrame %= frameCount;
  ++next.Blocks;
  next.SamplesWritten += std::uint64_t{block.Frames} * samplesPerFrame;
  next.Seek = static_cast<std::int64_t>(next.Blocks) * at.SamplesPerBlock - static_cast<std::int64_t>(next.SamplesWritten);
  return block;
}

}  // namespace movara::swf
