#include "swf/builder/FlashVideo.h"

#include "swf/builder/FlashMovie.h"

namespace movara::swf {

TFlashVideo::TFlashVideo(TFlashMovie* owner, media::TFLVReader source)
    : TFlashVisualObject(owner), source_(std::move(source)) {
  streamTag_.NumFrames = static_cast<std::uint16_t>(source_.VideoFrames().size());
  streamTag_.Width = source_.Width();
  streamTag_.Height = source_.Height();
  // The FLV codec numbers are the movie's.
  streamTag_.CodecId = source_.VideoCodec();
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
  if (shown == 0) {
    place.SetRatio(0);
  } else {
    place.SetMove(true);
    place.SetRatio(videoFrame);
  }
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
