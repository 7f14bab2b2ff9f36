// The annotated dump: its exact text for a small movie, and refusals.
#include <gtest/gtest.h>

#include "TagCases.h"
#include "TestBytes.h"
#include "swf/core/BitsEngine.h"
#include "swf/core/TagDump.h"

namespace movara::swf {
namespace {

using test::Bytes;

TEST(TagDump, SmallMovieTagByTag) {
  // FWS, version 6, 31 bytes; the frame 0..200 x 0..100 twips as a RECT of
  // 9-bit fields (6 bytes); 12 fps; 1 frame. Then SetBackgroundColor
  // #FF8000, RemoveObject2 of depth 3, ShowFrame and End.
  const Bytes movie = {'F', 'W', 'S', 6, 31, 0, 0, 0, 0x48, 0x01, 0x90, 0x00, 0x32, 0x00, 0x00, 0x0C,
                       0x01, 0x00, 0x43, 0x02, 0xFF, 0x80, 0x00, 0x02, 0x07, 0x03, 0x00, 0x40, 0x00, 0x00, 0x00};
  EXPECT_EQ(DumpMovie(movie),
            "FWS version 6, 31 bytes, frame 0..200 x 0..100 twips, 12.00 fps, 1 frames\n"
            "@18 SetBackgroundColor (code 9, 3 bytes)\n"
            "  Color = #FF8000\n"
            "@23 RemoveObject2 (code 28, 2 bytes)\n"
            "  Depth = 3\n"
            "@27 ShowFrame (code 1, 0 bytes)\n"
            "@29 End (code 0, 0 bytes)\n");
}

TEST(TagDump, ASpriteShowsItsTimelineAndAVideoStreamItsFields) {
  // DefineSprite 3 of one frame: RemoveObject2 of depth 2, ShowFrame, End.
  const Bytes sprite = {0xCC, 0x09, 0x03, 0x00, 0x01, 0x00, 0x02, 0x07, 0x02, 0x00, 0x40, 0x00, 0x00, 0x00};
  EXPECT_EQ(DescribeTag(*test::ReadOneTag(sprite, 6)),
            "  SpriteID = 3\n"
            "  FrameCount = 1\n"
            "  RemoveObject2 (code 28, 2 bytes)\n"
            "    Depth = 2\n"
            "  ShowFrame (code 1, 0 bytes)\n");
  // DefineVideoStream 7: 300 frames of 320 x 240, deblocking 5, smoothing, VP6.
  const Bytes video = {0x3F, 0x0F, 10, 0, 0, 0, 0x07, 0x00, 0x2C, 0x01, 0x40, 0x01, 0xF0, 0x00, 0x0B, 0x04};
  EXPECT_EQ(DescribeTag(*test::ReadOneTag(video, 6)),
            "  CharacterId = 7\n  NumFrames = 300\n  Width = 320\n  Height = 240\n"
            "  Deblocking = 5\n  Smoothing = 1\n  CodecId = 4\n");
}

TEST(TagDump, MoviesThatDoNotReadAreRefused) {
  EXPECT_THROW(DumpMovie(Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0}), SWFFormatError);
  EXPECT_THROW(DumpMovie(Bytes{'F', 'W', 'S', 6, 9, 0, 0, 0, 0x00}), std::exception);
}

TEST(TagDump, DataShowsAsSizeAndHash) {
  EXPECT_EQ(DataHash(Bytes{}), "cbf29ce484222325");
  EXPECT_EQ(DataHash(Bytes{'a'}), "af63dc4c8601ec8c");
}

}  // namespace
}  // namespace movara::swf
