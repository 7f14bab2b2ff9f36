#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "MovieReadBack.h"
#include "SoundBytes.h"
#include "TagCases.h"
#include "TempDir.h"
#include "base/FileStream.h"
#include "media/FlvBuilder.h"
#include "swf/builder/FlashMovie.h"
#include "swf/core/ControlTags.h"
#include "swf/core/DisplayListTags.h"
#include "swf/core/SoundTags.h"
#include "swf/core/SpriteTags.h"
#include "swf/core/TagReader.h"

namespace movara::swf {
namespace {

using test::Bytes;
using test::FlvBuilder;

const std::filesystem::path kColors = std::filesystem::path(MOVARA_TEST_DATA_DIR) / "flv" / "colors-h263-mp3.flv";
const std::filesystem::path kColorsPcm = std::filesystem::path(MOVARA_TEST_DATA_DIR) / "flv" / "colors-h263-pcm.flv";

// What one timeline frame holds of a video: the VideoFrame numbers and the
// placements (ratio, and whether they move what is at their depth).
struct FrameOfVideo {
  std::vector<int> videoFrames;
  std::vector<std::pair<int, bool>> places;
  bool operator==(const FrameOfVideo&) const = default;
};

template <class Tags>
std::vector<FrameOfVideo> FramesOfVideo(const Tags& tags) {
  std::vector<FrameOfVideo> frames(1);
  for (const auto& t : tags) {
    if (const auto* v = dynamic_cast<const TSWFVideoFrame*>(t.get())) frames.back().videoFrames.push_back(v->FrameNum);
    if (const auto* p = dynamic_cast<const TSWFPlaceObject2*>(t.get())) {
      EXPECT_TRUE(p->HasRatio);
      frames.back().places.emplace_back(p->Ratio(), p->Move);
    }
    if (dynamic_cast<const TSWFShowFrame*>(t.get()) != nullptr) frames.emplace_back();
  }
  frames.pop_back();
  return frames;
}

FrameOfVideo Shows(int videoFrame, bool move) { return {{videoFrame}, {{videoFrame, move}}}; }

TEST(FlashVideo, StreamDefinitionFromTheFile) {
  TFlashMovie movie(0, 0, 64, 48, 12, true);
  movie.AddRectangle(0, 0, 1, 1);
  TFlashVideo& video = movie.AddVideo(kColors);
  EXPECT_EQ(video.CharacterId(), 2);
  const TSWFDefineVideoStream& tag = video.StreamTag();
  EXPECT_EQ(tag.CharacterId, 2);
  EXPECT_EQ(tag.NumFrames, 12);
  EXPECT_EQ(tag.Width, 64);
  EXPECT_EQ(tag.Height, 48);
  EXPECT_EQ(tag.CodecId, TSWFDefineVideoStream::kCodecH263);
  EXPECT_EQ(video.MinVersion(), 6);

  EXPECT_EQ(movie.VideoCount(), 0u);
  EXPECT_EQ(movie.Video(0), nullptr);
  movie.PlaceVideo(video, 1, false);
  movie.ShowFrame(12);
  ASSERT_EQ(movie.VideoCount(), 1u);
  EXPECT_EQ(movie.Video(1), nullptr);
  movie.SetVersion(5);
  const TSWFFile file = test::BuildAndRead(movie);
  EXPECT_EQ(movie.Version(), 6) << "video needs version 6";
  // Every frame's data as the file has it.
  int seen = 0;
  for (const auto& t : file.Tags) {
    const auto* frame = dynamic_cast<const TSWFVideoFrame*>(t.get());
    if (frame == nullptr) continue;
    EXPECT_EQ(frame->StreamId, 2);
    const auto payload = video.Source().Payload(video.Source().VideoFrames()[frame->FrameNum]);
    EXPECT_EQ(*frame->Data, Bytes(payload.begin(), payload.end()));
    ++seen;
  }
  EXPECT_EQ(seen, 12);
}

TEST(FlashVideo, ANonRepeatedVideoStopsAfterItsLastFrame) {
  TFlashMovie movie(0, 0, 64, 48, 12, true);
  TFlashVideo& video = movie.AddVideo(kColors);
  movie.ShowFrame(2);
  TFlashPlaceVideo& place = movie.PlaceVideo(video, 3, false);
  EXPECT_EQ(place.FirstFrame, 2);
  EXPECT_EQ(place.Depth(), 3);
  movie.ShowFrame(16);
  const auto frames = FramesOfVideo(test::BuildAndRead(movie).Tags);
  ASSERT_EQ(frames.size(), 18u);
  std::vector<FrameOfVideo> expected(2);
  expected.push_back(Shows(0, false));
  for (int i = 1; i < 12; ++i) expected.push_back(Shows(i, true));
  expected.resize(18);
  EXPECT_EQ(frames, expected);
  EXPECT_EQ(movie.FrameCount, 18);
}

TEST(FlashVideo, ARepeatedVideoStartsAgain) {
  TFlashMovie movie(0, 0, 64, 48, 12, true);
  TFlashVideo& video = movie.AddVideo(kColors);
  movie.PlaceVideo(video, 1, true);
  movie.ShowFrame(30);
  const auto frames = FramesOfVideo(test::BuildAndRead(movie).Tags);
  ASSERT_EQ(frames.size(), 30u);
  EXPECT_EQ(frames[0], Shows(0, false));
  for (int f = 1; f < 30; ++f) EXPECT_EQ(frames[f], Shows(f % 12, true)) << "frame " << f;
}

TEST(FlashVideo, VP6FramesLoseTheAdjustmentByte) {
  FlvBuilder flv;
  flv.Video(0, 1, media::kFLVCodecVP6, {0x21, 0x00, 0x46, 3, 5, 3, 5});
  flv.Video(40, 2, media::kFLVCodecVP6, {0x21, 0x80, 0x46, 9});
  media::TFLVReader reader;
  reader.LoadFromBytes(flv.Build());
  TFlashMovie movie(0, 0, 78, 47, 25, true);
  TFlashVideo& video = movie.AddVideo(std::move(reader));
  EXPECT_EQ(video.StreamTag().CodecId, TSWFDefineVideoStream::kCodecVP6);
  EXPECT_EQ(video.StreamTag().Width, 78);
  EXPECT_EQ(video.MinVersion(), 8);
  const auto second = video.FrameData(1);
  EXPECT_EQ(Bytes(second.begin(), second.end()), (Bytes{0x80, 0x46, 9}));

  FlvBuilder alpha;
  alpha.Video(0, 1, media::kFLVCodecVP6Alpha, {0x00, 0, 0, 6, 0x00, 0x46, 1, 1, 1, 1});
  media::TFLVReader alphaReader;
  alphaReader.LoadFromBytes(alpha.Build());
  TFlashVideo& withAlpha = movie.AddVideo(std::move(alphaReader));
  const auto first = withAlpha.FrameData(0);
  EXPECT_EQ(Bytes(first.begin(), first.end()), (Bytes{0, 0, 6, 0x00, 0x46, 1, 1, 1, 1}));
}

TEST(FlashVideo, HooksSeeAndReplaceTheFrames) {
  TFlashMovie movie(0, 0, 64, 48, 12, true);
  TFlashVideo& video = movie.AddVideo(kColors);
  TFlashPlaceVideo& moved = movie.PlaceVideo(video, 1, false);
  std::vector<int> placed;
  moved.OnPlaceFrame = [&](TFlashPlaceVideo& sender, TFlashPlaceObject& place, std::uint16_t videoFrame) {
    EXPECT_EQ(&sender, &moved);
    placed.push_back(videoFrame);
    place.SetTranslate(videoFrame, 0);
  };
  TFlashPlaceVideo& replaced = movie.PlaceVideo(video, 2, false);
  std::vector<int> asked;
  replaced.OnWriteFrame = [&](TFlashPlaceVideo&, TBitsEngine&, std::uint16_t frame) { asked.push_back(frame); };
  movie.ShowFrame(3);
  const TSWFFile file = test::BuildAndRead(movie);
  EXPECT_EQ(placed, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(asked, (std::vector<int>{0, 1, 2}));
  std::vector<int> translations;
  for (const auto& t : file.Tags) {
    if (const auto* p = dynamic_cast<const TSWFPlaceObject2*>(t.get())) {
      EXPECT_EQ(p->Depth, 1) << "the replaced placement writes nothing";
      translations.push_back(p->MatrixIfAny() != nullptr ? p->MatrixIfAny()->TranslateX : -1);
    }
  }
  EXPECT_EQ(translations, (std::vector<int>{-1, 20, 40})) << "at the origin the first carries no matrix";
}

TEST(FlashVideo, ASpriteShowsAVideoOnItsOwnTimeline) {
  TFlashMovie movie(0, 0, 64, 48, 12, true);
  TFlashSprite& sprite = movie.AddSprite();
  // Defined after the sprite: placing it moves the definition ahead.
  TFlashVideo& video = movie.AddVideo(kColors);
  sprite.ShowFrame();
  sprite.PlaceVideo(video, 1, true);
  sprite.ShowFrame(13);
  EXPECT_EQ(sprite.VideoCount(), 1u);
  EXPECT_EQ(sprite.Video(0)->FirstFrame, 1);
  movie.PlaceObject(sprite, 1);
  movie.ShowFrame();
  const TSWFFile file = test::BuildAndRead(movie);
  EXPECT_EQ(test::CodesOf(file.Tags), (std::vector<std::uint16_t>{tagDefineVideoStream, tagDefineSprite,
                                                                  tagPlaceObject2, tagShowFrame, tagEnd}));
  const auto frames = FramesOfVideo(dynamic_cast<const TSWFDefineSprite&>(*file.Tags[1]).ControlTags);
  ASSERT_EQ(frames.size(), 14u);
  EXPECT_EQ(frames[0], FrameOfVideo{});
  EXPECT_EQ(frames[1], Shows(0, false));
  EXPECT_EQ(frames[12], Shows(11, true));
  EXPECT_EQ(frames[13], Shows(0, true));
}

// The sound a video writes into each timeline frame: the stream heads and
// the bodies of the SoundStreamBlock tags.
struct FrameOfSound {
  std::vector<const TSWFSoundStreamHead*> heads;
  std::vector<Bytes> blocks;
};

template <class Tags>
std::vector<FrameOfSound> FramesOfSound(const Tags& tags) {
  std::vector<FrameOfSound> frames(1);
  bool videoSeen = false;
  for (const auto& t : tags) {
    if (const auto* h = dynamic_cast<const TSWFSoundStreamHead*>(t.get())) {
      EXPECT_FALSE(videoSeen) << "the head comes before the frame's video";
      frames.back().heads.push_back(h);
    }
    if (const auto* b = dynamic_cast<const TSWFUnknownTag*>(t.get()); b != nullptr && b->TagCode == tagSoundStreamBlock) {
      EXPECT_FALSE(videoSeen) << "the block comes before the frame's video";
      frames.back().blocks.push_back(b->Data);
    }
    videoSeen = videoSeen || dynamic_cast<const TSWFVideoFrame*>(t.get()) != nullptr;
    if (dynamic_cast<const TSWFShowFrame*>(t.get()) != nullptr) {
      frames.emplace_back();
      videoSeen = false;
    }
  }
  frames.pop_back();
  return frames;
}

Bytes AllSound(const media::TFLVReader& source) {
  Bytes all;
  for (const auto& f : source.SoundFrames()) {
    const auto bytes = source.Payload(f);
    all.insert(all.end(), bytes.begin(), bytes.end());
  }
  return all;
}

int Word(const Bytes& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }

// A test video placed at 12 frames per second for 12 frames, read back: the
// sound of each frame, and all the sound of the file.
struct PlacedVideo {
  TSWFFile file;
  std::vector<FrameOfSound> frames;
  Bytes sound;
};

PlacedVideo PlaceAndRead(const std::filesystem::path& flv) {
  TFlashMovie movie(0, 0, 64, 48, 12, true);
  TFlashVideo& video = movie.AddVideo(flv);
  EXPECT_TRUE(video.HasSound());
  movie.PlaceVideo(video, 1, false);
  movie.ShowFrame(12);
  PlacedVideo placed{test::BuildAndRead(movie), {}, AllSound(video.Source())};
  placed.frames = FramesOfSound(placed.file.Tags);
  EXPECT_EQ(placed.frames.size(), 12u);
  for (std::size_t k = 0; k < placed.frames.size(); ++k) {
    EXPECT_EQ(placed.frames[k].heads.size(), k == 0 ? 1u : 0u) << "a head with the first frame only";
  }
  return placed;
}

TEST(FlashVideo, StreamHeadsOfBothSoundFormats) {
  struct Case {
    std::filesystem::path flv;
    std::uint16_t code;
    std::uint8_t format, rate;
    bool is16Bit;
    std::uint16_t samples;
  };
  // Only the second form of the head can say "uncompressed".
  const Case cases[] = {{kColors, tagSoundStreamHead, 2, 2, true, 22050 / 12},
                        {kColorsPcm, tagSoundStreamHead2, 3, 0, false, 5512 / 12}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flv.filename().string());
    const PlacedVideo placed = PlaceAndRead(c.flv);
    ASSERT_EQ(placed.frames.at(0).heads.size(), 1u);
    const TSWFSoundStreamHead& head = *placed.frames[0].heads[0];
    EXPECT_EQ(head.TagCode, c.code);
    EXPECT_EQ(head.StreamFormat, c.format);
    EXPECT_EQ(head.StreamRate, c.rate);
    EXPECT_EQ(head.PlaybackRate, c.rate);
    EXPECT_EQ(head.StreamSize, c.is16Bit);
    EXPECT_FALSE(head.StreamType);
    EXPECT_EQ(head.SampleCount, c.samples);
    EXPECT_EQ(head.LatencySeek, 0);
  }
}

TEST(FlashVideo, MP3SoundGoesWithTheFrames) {
  const PlacedVideo placed = PlaceAndRead(kColors);
  const auto& frames = placed.frames;
  Bytes mp3;
  int samples = 0;
  for (std::size_t k = 0; k < frames.size(); ++k) {
    SCOPED_TRACE(k);
    ASSERT_EQ(frames[k].blocks.size(), 1u);
    const Bytes& block = frames[k].blocks[0];
    const int count = Word(block, 0);
    const auto seek = static_cast<std::int16_t>(Word(block, 2));
    // Whole frames of 576 samples, each starting within the movie frame.
    EXPECT_EQ(count % 576, 0);
    EXPECT_GE(count, 576);
    EXPECT_LE(seek, 0);
    EXPECT_GT(seek, -576);
    samples += count;
    mp3.insert(mp3.end(), block.begin() + 4, block.end());
  }
  EXPECT_EQ(samples, 41 * 576);
  EXPECT_EQ(mp3, placed.sound) << "every MP3 frame once, in order";
}

TEST(FlashVideo, UncompressedSoundIsCutAtTheFrames) {
  const PlacedVideo placed = PlaceAndRead(kColorsPcm);
  const auto& frames = placed.frames;
  Bytes pcm;
  for (const auto& f : frames) {
    ASSERT_EQ(f.blocks.size(), 1u);
    // A twelfth of a second by the timestamps, which are whole milliseconds.
    EXPECT_NEAR(static_cast<double>(f.blocks[0].size()), 5512 / 12.0, 6);
    pcm.insert(pcm.end(), f.blocks[0].begin(), f.blocks[0].end());
  }
  EXPECT_EQ(pcm, placed.sound);
}

TEST(FlashVideo, ARepeatedVideoRepeatsItsSound) {
  TFlashMovie movie(0, 0, 64, 48, 12, true);
  TFlashVideo& video = movie.AddVideo(kColors);
  movie.PlaceVideo(video, 1, true);
  movie.ShowFrame(24);
  TFlashPlaceVideo& silent = movie.PlaceVideo(video, 2, true);
  silent.WithSound = false;
  silent.FirstFrame = 0;
  const TSWFFile file = test::BuildAndRead(movie);
  const auto frames = FramesOfSound(file.Tags);
  ASSERT_EQ(frames.size(), 24u);
  int heads = 0;
  for (std::size_t k = 0; k < frames.size(); ++k) {
    heads += static_cast<int>(frames[k].heads.size());
    ASSERT_EQ(frames[k].blocks.size(), 1u) << "one block a frame, from the placement with sound";
    EXPECT_EQ(frames[k].blocks[0], frames[k % 12].blocks[0]);
  }
  EXPECT_EQ(heads, 1);
}

TEST(FlashVideo, SoundBeforeAndBeyondWhatAFrameHolds) {
  // The sound starts after the first video frame has gone: its block is
  // empty, and the next ones take the frames that start during them.
  FlvBuilder late;
  late.Video(0, 1, media::kFLVCodecH263, FlvBuilder::H263Picture(16, 8));
  late.Video(100, 2, media::kFLVCodecH263, {0});
  late.Video(200, 2, media::kFLVCodecH263, {0});
  for (int i = 0; i < 4; ++i) late.Audio(150 + 26 * i, media::kFLVSoundMP3, 3, true, true, test::Mp3Frame44());
  media::TFLVReader lateSource;
  lateSource.LoadFromBytes(late.Build());
  TFlashMovie movie(0, 0, 16, 8, 10, true);
  movie.PlaceVideo(movie.AddVideo(std::move(lateSource)), 1, false);
  movie.ShowFrame(3);
  const TSWFFile file = test::BuildAndRead(movie);
  const auto frames = FramesOfSound(file.Tags);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0].blocks, (std::vector<Bytes>{{0, 0, 0, 0}}));
  // 50 ms of the second frame are 2205 samples: frames at 0 and 1152.
  ASSERT_EQ(frames[1].blocks.size(), 1u);
  EXPECT_EQ(Word(frames[1].blocks[0], 0), 2 * 1152);
  EXPECT_EQ(static_cast<std::int16_t>(Word(frames[1].blocks[0], 2)), 0);
  EXPECT_EQ(Word(frames[2].blocks[0], 0), 2 * 1152);
  EXPECT_EQ(static_cast<std::int16_t>(Word(frames[2].blocks[0], 2)), 2205 - 2304);

  // One video frame with 1.5 s of MP3: more samples than a block can number.
  FlvBuilder longSound;
  longSound.Video(0, 1, media::kFLVCodecH263, FlvBuilder::H263Picture(16, 8));
  for (int i = 0; i < 60; ++i) longSound.Audio(26 * i, media::kFLVSoundMP3, 3, true, true, test::Mp3Frame44());
  media::TFLVReader longSource;
  longSource.LoadFromBytes(longSound.Build());
  TFlashMovie tooLong(0, 0, 16, 8, 10, true);
  TFlashPlaceVideo& place = tooLong.PlaceVideo(tooLong.AddVideo(std::move(longSource)), 1, false);
  tooLong.ShowFrame();
  try {
    tooLong.BuildBody();
    ADD_FAILURE() << "built";
  } catch (const FlashSoundError& e) {
    EXPECT_STREQ(e.what(), "the sound of video frame 0 lasts 69120 samples, more than a stream block can number (65535)");
  }
  // Without its sound the video goes in.
  place.WithSound = false;
  EXPECT_NO_THROW(tooLong.BuildBody());
}

TEST(FlashVideo, AFileItCannotUseAddsNothing) {
  const test::TempDir dir;
  const auto bad = dir.Write("h264.flv", FlvBuilder().Video(0, 1, 7, {1, 0, 0, 0}).Build());
  TFlashMovie movie(0, 0, 64, 48, 12, true);
  EXPECT_THROW(movie.AddVideo(bad), media::FLVError);
  EXPECT_THROW(movie.AddVideo(dir.path / "missing.flv"), StreamError);
  EXPECT_TRUE(movie.Objects().empty());
  EXPECT_EQ(movie.NextCharacterId(), 1);
}

}  // namespace
}  // namespace movara::swf
