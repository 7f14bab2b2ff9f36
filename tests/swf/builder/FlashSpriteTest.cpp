#include <gtest/gtest.h>

#include "MovieReadBack.h"
#include "TagCases.h"
#include "base/FileStream.h"
#include "swf/builder/FlashMovie.h"
#include "swf/core/ActionList.h"
#include "swf/core/ControlTags.h"
#include "swf/core/DisplayListTags.h"
#include "swf/core/SpriteTags.h"
#include "swf/core/TagReader.h"

namespace movara::swf {
namespace {

using test::Bytes;

TFlashMovie PixelMovie() { return TFlashMovie(0, 0, 200, 100, 24, true); }

TEST(FlashSprite, FramesLabelsAndThePendingObject) {
  auto movie = PixelMovie();
  TFlashSprite& sprite = movie.AddSprite();
  EXPECT_EQ(sprite.CharacterId(), 1);
  EXPECT_EQ(sprite.SpriteTag().SpriteID, 1);
  EXPECT_EQ(movie.NextCharacterId(), 2);

  sprite.PendingFrameObject = std::make_unique<TSWFRemoveObject2>(3);
  sprite.FrameLabel = "go";
  sprite.ShowFrame(0);
  // The pending object comes before the label, the other way round from the
  // movie's frames.
  EXPECT_EQ(test::CodesOf(sprite.ControlTags()),
            (std::vector<std::uint16_t>{tagRemoveObject2, tagFrameLabel, tagShowFrame}));
  EXPECT_TRUE(sprite.FrameLabel.empty());
  EXPECT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(sprite.CurrentFrame(), 0);
  sprite.ShowFrame(2);
  EXPECT_EQ(sprite.FrameCount(), 3);
  EXPECT_EQ(sprite.CurrentFrame(), 2);
  EXPECT_EQ(sprite.ControlTags().size(), 5u);
  // The frame count is 16-bit: a timeline that would wrap it is refused.
  sprite.ShowFrame(65532);
  EXPECT_EQ(sprite.FrameCount(), 65535);
  EXPECT_THROW(sprite.ShowFrame(1), std::length_error);
  EXPECT_EQ(sprite.FrameCount(), 65535);
}

TEST(FlashSprite, AnEmptySpriteGetsOneFrame) {
  auto movie = PixelMovie();
  TFlashSprite& sprite = movie.AddSprite();
  const Bytes bytes = test::Written([&](TBitsEngine& be) { sprite.WriteToStream(be); });
  EXPECT_EQ(bytes, (Bytes{0xC8, 0x09, 0x01, 0x00, 0x01, 0x00, 0x40, 0x00, 0x00, 0x00}));
  // Written with one frame, it is left without.
  EXPECT_EQ(sprite.FrameCount(), 0);
  EXPECT_EQ(sprite.MinVersion(), 3);
  // Its label and pending object are written as ShowFrame would close them.
  sprite.FrameLabel = "a";
  sprite.PendingFrameObject = std::make_unique<TSWFRemoveObject2>(1);
  const Bytes open = test::Written([&](TBitsEngine& be) { sprite.WriteToStream(be); });
  sprite.ShowFrame();
  EXPECT_EQ(test::Written([&](TBitsEngine& be) { sprite.WriteToStream(be); }), open);
}

TEST(FlashSprite, InitActionsFollowTheDefinition) {
  auto movie = PixelMovie();
  movie.AddRectangle(0, 0, 1, 1);
  movie.AddRectangle(0, 0, 1, 1);
  TFlashSprite& sprite = movie.AddSprite();
  EXPECT_FALSE(sprite.HasInitActions());
  sprite.InitActions().ActionList().Add<TSWFActionStop>();
  sprite.ShowFrame();
  const Bytes bytes = test::Written([&](TBitsEngine& be) { sprite.WriteToStream(be); });
  const Bytes init{0xC4, 0x0E, 0x03, 0x00, 0x07, 0x00};
  ASSERT_EQ(bytes.size(), 10u + init.size());
  EXPECT_EQ(Bytes(bytes.begin() + 10, bytes.end()), init);
  // The script keeps its actions: writing again gives the same bytes.
  EXPECT_EQ(sprite.InitActions().ActionList().Count(), 1u);
  EXPECT_EQ(test::Written([&](TBitsEngine& be) { sprite.WriteToStream(be); }), bytes);

  // Init actions run only from version 6 on, so they raise the movie to it.
  EXPECT_EQ(sprite.MinVersion(), 6);
  movie.SetVersion(5);
  movie.PlaceObject(sprite, 1);
  movie.ShowFrame();
  movie.BuildBody();
  EXPECT_EQ(movie.Version(), 6);
}

TEST(FlashSprite, ATimelineOfItsOwnInsideAOneFrameMovie) {
  auto movie = PixelMovie();
  movie.SetVersion(6);
  TFlashSprite& sprite = movie.AddSprite();
  // Defined after the sprite: the movie writes the definition ahead of it.
  TFlashShape& box = movie.AddRectangle(0, 0, 10, 10);
  box.SetSolidColor(255, 0, 0, 255);
  TFlashPlaceObject& place = sprite.PlaceObject(box, 1);
  place.SetTranslate(5, 0);
  sprite.FrameLabel = "start";
  sprite.ShowFrame();
  sprite.AddActions().ActionList().Add<TSWFActionPlay>();
  sprite.RemoveObject(1, &box);
  sprite.ShowFrame();
  sprite.RemoveObject(2, nullptr);
  sprite.ShowFrame();
  movie.PlaceObject(sprite, 1);
  movie.ShowFrame();

  const TSWFFile file = test::BuildAndRead(movie);
  EXPECT_EQ(place.PlaceTag().SWFVersion, 3);
  EXPECT_EQ(file.Header.FrameCount, 1);
  EXPECT_EQ(test::CodesOf(file.Tags),
            (std::vector<std::uint16_t>{tagDefineShape2, tagDefineSprite, tagPlaceObject2, tagShowFrame, tagEnd}));
  const auto& read = dynamic_cast<const TSWFDefineSprite&>(*file.Tags[1]);
  EXPECT_EQ(read.SpriteID, sprite.CharacterId());
  EXPECT_EQ(read.FrameCount, 3);
  EXPECT_EQ(test::CodesOf(read.ControlTags),
            (std::vector<std::uint16_t>{tagPlaceObject2, tagFrameLabel, tagShowFrame, tagDoAction, tagRemoveObject,
                                        tagShowFrame, tagRemoveObject2, tagShowFrame}));
  const auto& placed = dynamic_cast<const TSWFPlaceObject2&>(*read.ControlTags[0]);
  EXPECT_EQ(placed.CharacterId, box.CharacterId());
  EXPECT_EQ(placed.MatrixIfAny()->TranslateX, 100);
  EXPECT_EQ(dynamic_cast<const TSWFFrameLabel&>(*read.ControlTags[1]).Name, "start");
  EXPECT_EQ(dynamic_cast<const TSWFRemoveObject&>(*read.ControlTags[4]).CharacterId, box.CharacterId());
}

TEST(FlashSprite, StreamsItsOwnSoundInsideIt) {
  auto movie = PixelMovie();
  TFlashSprite& sprite = movie.AddSprite();
  EXPECT_FALSE(sprite.HasStreamSound());
  const auto tone = std::filesystem::path(MOVARA_TEST_DATA_DIR) / "sound" / "tone-11025-u8-mono.wav";
  sprite.StreamSound().LoadFile(tone);
  EXPECT_TRUE(sprite.HasStreamSound());
  EXPECT_TRUE(sprite.StreamSound().Loop);
  sprite.StreamSound().StartFrame = 1;
  sprite.ShowFrame(3);
  movie.PlaceObject(sprite, 1);
  movie.ShowFrame();
  const TSWFFile file = test::BuildAndRead(movie);
  // Nothing of the sound in the movie's own timeline.
  EXPECT_EQ(test::CodesOf(file.Tags),
            (std::vector<std::uint16_t>{tagDefineSprite, tagPlaceObject2, tagShowFrame, tagEnd}));
  const auto& read = dynamic_cast<const TSWFDefineSprite&>(*file.Tags[0]);
  // The head first; from frame 1 on a block before each frame.
  EXPECT_EQ(test::CodesOf(read.ControlTags),
            (std::vector<std::uint16_t>{tagSoundStreamHead2, tagShowFrame, tagSoundStreamBlock, tagShowFrame,
                                        tagSoundStreamBlock, tagShowFrame}));
  const auto& head = dynamic_cast<const TSWFSoundStreamHead2&>(*read.ControlTags[0]);
  EXPECT_EQ(head.StreamFormat, 3);
  EXPECT_EQ(head.StreamRate, 1);
  EXPECT_EQ(head.SampleCount, 11025 / 24);
  // The blocks are the file's samples from its start, a movie frame's worth each.
  const Bytes wav = ReadFileBytes(tone);
  const Bytes data(wav.begin() + sprite.StreamSound().DataStart(), wav.end());
  const auto& first = dynamic_cast<const TSWFUnknownTag&>(*read.ControlTags[2]).Data;
  const auto& second = dynamic_cast<const TSWFUnknownTag&>(*read.ControlTags[4]).Data;
  ASSERT_EQ(first.size(), 11025u / 24);
  EXPECT_EQ(first, Bytes(data.begin(), data.begin() + 459));
  EXPECT_EQ(second, Bytes(data.begin() + 459, data.begin() + 918));
  EXPECT_EQ(sprite.MinVersion(), 3);

  TFlashSprite& mp3 = movie.AddSprite();
  mp3.StreamSound().LoadFile(std::filesystem::path(MOVARA_TEST_DATA_DIR) / "sound" / "tone-11025-cbr-mono.mp3");
  EXPECT_EQ(mp3.MinVersion(), 4) << "MP3 streams from version 4 on";
}

}  // namespace
}  // namespace movara::swf
