#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <stdexcept>

#include "BmpBytes.h"
#include "MovieReadBack.h"
#include "SoundBytes.h"
#include "TagCases.h"
#include "base/FileStream.h"
#include "swf/builder/FlashActionScript.h"
#include "swf/builder/FlashMovie.h"
#include "swf/core/ButtonTags.h"
#include "swf/core/ControlTags.h"
#include "swf/core/DisplayListTags.h"
#include "swf/core/ShapeTags.h"

namespace movara::swf {
namespace {

using test::Bytes;

TFlashMovie PixelMovie() { return TFlashMovie(0, 0, 200, 100, 24, true); }

std::vector<std::uint16_t> TagCodes(TFlashMovie& movie) {
  movie.BuildBody();
  TMemoryViewStream stream(movie.Body.Bytes());
  TBitsEngine be(stream);
  std::vector<std::uint16_t> codes;
  while (stream.Remaining() > 0) codes.push_back(ReadTag(be, movie.Version())->TagCode);
  return codes;
}

std::filesystem::path TempBmp(const std::string& name, const Bytes& bytes) {
  const auto path = std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "-" + name);
  WriteFileBytes(path, bytes);
  return path;
}

TEST(FlashMovie, CharacterIdentifiersInCreationOrder) {
  const auto bmp = TempBmp("movara-ids.bmp", test::MakeBmp(1, 1, 24, 0, {}, {0, 0, 0, 0}));
  auto movie = PixelMovie();
  EXPECT_EQ(movie.AddImage(bmp).CharacterId(), 1);
  EXPECT_EQ(movie.AddRectangle(0, 0, 10, 10).CharacterId(), 2);
  EXPECT_EQ(movie.AddButton(false, true).CharacterId(), 3);
  EXPECT_EQ(movie.NextCharacterId(), 4);
  EXPECT_EQ(movie.Images().Count(), 1u);
  EXPECT_EQ(movie.Shapes().Count(), 1u);
  EXPECT_EQ(movie.Buttons().Count(), 1u);
  std::filesystem::remove(bmp);
}

TEST(FlashMovie, SixteenBitLimitsAreRefusedNotWrapped) {
  auto movie = PixelMovie();
  for (int i = 1; i < 65535; ++i) movie.AddShape();
  EXPECT_EQ(movie.AddShape().CharacterId(), 65535);
  EXPECT_THROW(movie.AddShape(), std::length_error);

  auto longest = PixelMovie();
  longest.ShowFrame(65535);
  longest.BuildBody();
  EXPECT_EQ(longest.FrameCount, 65535);
  EXPECT_THROW(longest.ShowFrame(1), std::length_error) << "refused when the frame is added";
}

TEST(FlashMovie, FramesAndTheEndTag) {
  auto empty = PixelMovie();
  empty.BuildBody();
  EXPECT_EQ(empty.Body.Bytes(), (Bytes{0x00, 0x00}));
  EXPECT_EQ(empty.FrameCount, 0);

  auto movie = PixelMovie();
  movie.ShowFrame(0);
  EXPECT_EQ(movie.FrameCount, 1);
  movie.ShowFrame(5);
  EXPECT_EQ(movie.FrameCount, 6);
  EXPECT_EQ(movie.CurrentFrame(), 5);
  movie.FrameLabel = "here";
  movie.PendingFrameObject = std::make_unique<TSWFRemoveObject2>(3);
  movie.ShowFrame(1);
  const auto codes = TagCodes(movie);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), tagShowFrame), 7);
  // The label comes first in its frame, then the pending object.
  EXPECT_EQ(std::vector<std::uint16_t>(codes.begin() + 6, codes.begin() + 9),
            (std::vector<std::uint16_t>{tagFrameLabel, tagRemoveObject2, tagShowFrame}));
  EXPECT_EQ(codes.back(), tagEnd);
  EXPECT_EQ(movie.FrameCount, 7);
  EXPECT_TRUE(movie.FrameLabel.empty());

  auto ended = PixelMovie();
  ended.AppendObject(std::make_unique<TSWFEnd>());
  EXPECT_EQ(TagCodes(ended), (std::vector<std::uint16_t>{tagEnd}));
  // Building twice gives the same body.
  const Bytes first = movie.Body.Bytes();
  movie.BuildBody();
  EXPECT_EQ(movie.Body.Bytes(), first);
}

TEST(FlashMovie, RemovalsBackgroundAndInsertMode) {
  auto movie = PixelMovie();
  TFlashShape& shape = movie.AddRectangle(0, 0, 1, 1);
  movie.RemoveObject(4, nullptr);
  movie.RemoveObject(4, &shape);
  const auto& objs = movie.Objects();
  EXPECT_EQ(dynamic_cast<TSWFRemoveObject2&>(*objs[1]).Depth, 4);
  EXPECT_EQ(dynamic_cast<TSWFRemoveObject&>(*objs[2]).CharacterId, shape.CharacterId());

  EXPECT_EQ(TagCodes(movie).front(), tagDefineShape2);
  movie.BackgroundColor();
  EXPECT_EQ(TagCodes(movie).front(), tagSetBackgroundColor);

  auto ins = PixelMovie();
  for (int i = 0; i < 4; ++i) ins.ShowFrame(1);
  ins.InsertMode = true;
  ins.InsertIndex = 1;
  ins.AppendObject(std::make_unique<TSWFRemoveObject2>(1));
  ins.AppendObject(std::make_unique<TSWFRemoveObject2>(2));
  ins.ShowFrame(1);
  EXPECT_EQ(dynamic_cast<TSWFRemoveObject2&>(*ins.Objects()[1]).Depth, 1);
  EXPECT_EQ(dynamic_cast<TSWFRemoveObject2&>(*ins.Objects()[2]).Depth, 2);
  EXPECT_EQ(ins.Objects().size(), 7u);
  EXPECT_NE(dynamic_cast<TSWFShowFrame*>(ins.Objects().back().get()), nullptr);
}

TEST(FlashMovie, VersionsAndPlacements) {
  auto movie = PixelMovie();
  movie.SetVersion(6);
  TFlashShape& shape = movie.AddRectangle(0, 0, 5, 5);
  shape.SetSolidColor(255, 0, 0, 255);
  TFlashPlaceObject& at0 = movie.PlaceObject(shape, 2);
  at0.SetTranslate(0, 0);
  TFlashPlaceObject& moved = movie.PlaceObject(shape, 4);
  moved.SetTranslate(3, 4);
  movie.ShowFrame(1);
  movie.BuildBody();
  EXPECT_EQ(movie.Version(), 6);
  // Written for the movie's version, the placement keeps its own.
  EXPECT_EQ(at0.PlaceTag().SWFVersion, 3);
  EXPECT_FALSE(at0.PlaceTag().HasMatrix);
  EXPECT_EQ(moved.PlaceTag().Matrix().TranslateX, 60);
  EXPECT_EQ(moved.PlaceTag().Matrix().TranslateY, 80);
  EXPECT_FALSE(moved.PlaceTag().Matrix().HasScale);
  EXPECT_EQ(at0.CharacterId(), moved.CharacterId());
  moved.SetTranslate(0, 0);
  EXPECT_TRUE(moved.PlaceTag().HasMatrix);
  EXPECT_EQ(moved.PlaceTag().Matrix().TranslateX, 0);
  EXPECT_EQ(at0.MinVersion(), 3);
  const Bytes placed = test::Written([&](TBitsEngine& be) { at0.WriteToStream(be); });
  // Character only, no matrix: the flag byte is 0x02.
  EXPECT_EQ(placed, (Bytes{0x85, 0x06, 0x02, 0x02, 0x00, 0x01, 0x00}));

  auto low = PixelMovie();
  low.SetVersion(2);
  low.PlaceObject(low.AddRectangle(0, 0, 1, 1), 1);
  low.BuildBody();
  EXPECT_EQ(low.Version(), 3) << "raised to what its tags need";
}

TEST(FlashMovie, OnProgressCountsObjects) {
  auto movie = PixelMovie();
  for (int i = 0; i < 8; ++i) movie.ShowFrame(1);
  std::vector<int> percents;
  movie.OnProgress = [&](TBasedSWFStream&, int percent, std::uint8_t kind) {
    EXPECT_EQ(kind, TBasedSWFStream::kProgressBuild);
    percents.push_back(percent);
  };
  movie.BuildBody();
  // 1/8 = 12.5 rounds to 12 and 5/8 = 62.5 to 62: halves to even.
  EXPECT_EQ(percents, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));
}

TEST(FlashShape, RectangleRecordsInPixelUnits) {
  auto movie = PixelMovie();
  TFlashShape& shape = movie.AddRectangle(0, 0, 99, 49);
  EXPECT_EQ(shape.Bounds.XMax, 1980);
  EXPECT_EQ(shape.Bounds.YMax, 980);
  const auto& r = shape.Tag.Records;
  ASSERT_EQ(r.size(), 6u);
  const auto& first = dynamic_cast<const TSWFStyleChangeRecord&>(*r[0]);
  EXPECT_TRUE(first.StateFillStyle1);
  EXPECT_EQ(first.FillStyle1(), 0);
  EXPECT_FALSE(first.StateMoveTo) << "the pen already is at 0, 0";
  const std::pair<int, int> deltas[] = {{1980, 0}, {0, 980}, {-1980, 0}, {0, -980}};
  for (int i = 0; i < 4; ++i) {
    const auto& e = dynamic_cast<const TSWFStraightEdgeRecord&>(*r[i + 1]);
    EXPECT_EQ(e.DeltaX, deltas[i].first);
    EXPECT_EQ(e.DeltaY, deltas[i].second);
  }
  EXPECT_EQ(r[5]->Kind, 0);
  TFlashShape& offset = movie.AddRectangle(10, 0, 20, 5);
  const auto& move = dynamic_cast<const TSWFStyleChangeRecord&>(*offset.Tag.Records[0]);
  EXPECT_TRUE(move.StateMoveTo);
  EXPECT_EQ(move.DeltaX, 200);
}

TEST(FlashShape, LongLinesAreSplit) {
  TFlashMovie twips(0, 0, 100, 100, 24, false);
  TFlashShape& shape = twips.AddShape();
  shape.Edges.LineDelta(70000, 0);
  EXPECT_EQ(shape.Edges.LineDelta(0, 0), nullptr);
  ASSERT_EQ(shape.Tag.Records.size(), 3u);
  EXPECT_EQ(dynamic_cast<TSWFStraightEdgeRecord&>(*shape.Tag.Records[1]).DeltaX, 35000);
  EXPECT_EQ(dynamic_cast<TSWFStraightEdgeRecord&>(*shape.Tag.Records[2]).DeltaX, 35000);
  shape.Edges.LineDelta(-200001, 7);
  int sumX = 0, sumY = 0;
  for (std::size_t i = 3; i < shape.Tag.Records.size(); ++i) {
    const auto& e = dynamic_cast<TSWFStraightEdgeRecord&>(*shape.Tag.Records[i]);
    EXPECT_LE(std::abs(e.DeltaX), 65535);
    sumX += e.DeltaX, sumY += e.DeltaY;
  }
  EXPECT_EQ(sumX, -200001);
  EXPECT_EQ(sumY, 7);
}

TEST(FlashShape, FillsAndTagCodes) {
  auto movie = PixelMovie();
  TFlashShape& clear = movie.AddRectangle(0, 0, 10, 10);
  clear.SetSolidColor(0, 0, 0, 0);
  EXPECT_TRUE(clear.HasAlpha);
  const Bytes clearBytes = test::Written([&](TBitsEngine& be) { clear.WriteToStream(be); });
  auto clearTag = test::ReadOneTag(clearBytes, 6);
  EXPECT_EQ(clearTag->TagCode, tagDefineShape3);
  const auto& fill = dynamic_cast<TSWFColorFill&>(*dynamic_cast<TSWFDefineShape&>(*clearTag).FillStyles[0]);
  EXPECT_EQ(fill.Color.RGBA(), 0u);

  TFlashShape& red = movie.AddRectangle(0, 0, 10, 10);
  TSWFColorFill& style = red.SetSolidColor(255, 0, 0, 255);
  red.SelectFillStyle(style);
  EXPECT_EQ(red.Tag.FillStyles.size(), 1u);
  EXPECT_EQ(red.FillStyle1(), 1);
  auto redTag = test::ReadOneTag(test::Written([&](TBitsEngine& be) { red.WriteToStream(be); }), 6);
  EXPECT_EQ(redTag->TagCode, tagDefineShape2);
  EXPECT_EQ(dynamic_cast<TSWFDefineShape&>(*redTag).ShapeBounds, red.Bounds) << "no line styles: bounds as given";
}

TEST(FlashShape, ImageFillStretchesThePictureDefinedAhead) {
  const auto bmp = TempBmp("movara-fill.bmp", test::MakeBmp(100, 50, 24, 0, {}, Bytes(100 * 50 * 3, 0x80)));
  auto movie = PixelMovie();
  TFlashShape& shape = movie.AddRectangle(0, 0, 100, 50);
  TFlashImage& image = movie.AddImage(bmp);
  TSWFImageFill& fill = shape.SetImageFill(image, 1, 1.0, 1.0);
  EXPECT_EQ(movie.Objects()[0].get(), &shape) << "the list keeps its order; writing puts the bitmap first";
  EXPECT_EQ(fill.FillStyleType, 0x41);
  EXPECT_EQ(fill.BitmapID, image.CharacterId());
  EXPECT_EQ(fill.Matrix.ScaleX, 1310960);
  EXPECT_EQ(fill.Matrix.ScaleY, 1310960);
  EXPECT_EQ(fill.Matrix.TranslateX, -5);
  EXPECT_EQ(fill.Matrix.TranslateY, -5);
  EXPECT_EQ(shape.FillStyle1(), 1);
  TSWFImageFill& tiled = shape.SetImageFill(image, 2, 0.5, 2.0);
  EXPECT_EQ(tiled.FillStyleType, 0x40);
  EXPECT_EQ(tiled.Matrix.ScaleX, 10 << 16);
  EXPECT_EQ(TagCodes(movie), (std::vector<std::uint16_t>{tagDefineBitsLossless, tagDefineShape2, tagEnd}));
  std::filesystem::remove(bmp);
}

TEST(FlashButton, LinkButtonTagOrderAndStates) {
  auto movie = PixelMovie();
  TFlashButton& button = movie.AddButton(false, true);
  TFlashShape& rect = movie.AddRectangle(0, 0, 199, 99);
  rect.SetSolidColor(0, 0, 0, 0);
  button.AddRecord(rect, bsUp | bsHitTest, 1);
  button.AddRecord(rect, bsOver | bsHitTest, 1);
  button.AddRecord(rect, bsDown | bsHitTest, 1);
  button.OnRelease().GetUrl("http://example.com/", "_blank");
  movie.PlaceObject(button, 2);
  movie.ShowFrame(1);
  // The rectangle, made after the button, is defined ahead of it.
  EXPECT_EQ(TagCodes(movie),
            (std::vector<std::uint16_t>{tagDefineShape3, tagDefineButton2, tagPlaceObject2, tagShowFrame, tagEnd}));
  auto tag = test::ReadOneTag(test::Written([&](TBitsEngine& be) { button.WriteToStream(be); }), 6);
  const auto& b2 = dynamic_cast<TSWFDefineButton2&>(*tag);
  ASSERT_EQ(b2.Records.size(), 3u);
  EXPECT_EQ(b2.Records[0]->States, 9);
  EXPECT_EQ(b2.Records[1]->States, 12);
  EXPECT_EQ(b2.Records[2]->States, 10);
  for (const auto& r : b2.Records) {
    EXPECT_EQ(r->CharacterId, rect.CharacterId());
    EXPECT_EQ(r->PlaceDepth, 1);
  }
  ASSERT_EQ(b2.Actions.size(), 1u);
  EXPECT_EQ(b2.Actions[0]->Conditions, bcOverDownToOverUp);
  const auto& url = dynamic_cast<TSWFActionGetUrl&>(b2.Actions[0]->Actions[0]);
  EXPECT_EQ(url.URL, "http://example.com/");
  EXPECT_EQ(url.Target, "_blank");
  EXPECT_EQ(button.Actions().MinVersion(), 3);
}

// What a 16-bit field cannot hold is refused with the limit named, never
// cut or wrapped: the frame count and an action's length.
TEST(FlashMovie, LengthLimitsAreRefused) {
  const struct {
    const char* name;
    std::function<void(TFlashMovie&)> build;
    const char* error;  // empty: it fits
  } cases[] = {
      {"65535 frames", [](TFlashMovie& m) { m.ShowFrame(65535); }, ""},
      {"65536 frames at once", [](TFlashMovie& m) { m.ShowFrame(65536); },
       "a movie holds at most 65535 frames, this one would have 65536"},
      {"one frame past 65535", [](TFlashMovie& m) { m.ShowFrame(65535); m.ShowFrame(); },
       "a movie holds at most 65535 frames, this one would have 65536"},
      {"a link of 65527 bytes", [](TFlashMovie& m) {
         m.AddButton(false, true).OnRelease().GetUrl(std::string(65527, 'u'), "_blank");
       }, ""},
      {"a link of 65528 bytes", [](TFlashMovie& m) {
         m.AddButton(false, true).OnRelease().GetUrl(std::string(65528, 'u'), "_blank");
       }, "an action holds at most 65535 bytes of data, this one 65536"},
  };
  for (const auto& c : cases) {
    auto movie = PixelMovie();
    try {
      c.build(movie);
      movie.BuildBody();
      EXPECT_STREQ(c.error, "") << c.name;
    } catch (const std::length_error& e) {
      EXPECT_STREQ(e.what(), c.error) << c.name;
    }
  }
}

TEST(FlashButton, ConditionListsAndRecords) {
  auto movie = PixelMovie();
  TFlashButton& button = movie.AddButton(false, true);
  auto& twoThree = static_cast<TSWFDefineButton2&>(button.ButtonTag());
  EXPECT_EQ(twoThree.Actions.size(), 1u) << "an advanced button starts with a release list";
  EXPECT_EQ(&button.OnRelease(), &button.OnRelease());
  button.OnRelease().GetUrl("a", "_self");
  button.OnRelease().GetUrl("b", "_self");
  EXPECT_EQ(twoThree.Actions[0]->Actions.Count(), 2u);
  EXPECT_EQ(button.AddCondAction((1 << 3) | (1 << 12)).Conditions, 1 << 3);

  TFlashButton& other = movie.AddButton(false, true);
  auto& tag = static_cast<TSWFDefineButton2&>(other.ButtonTag());
  tag.Actions.clear();
  TSWFButtonCondAction& both = other.AddCondAction((1 << 2) | (1 << 3));
  EXPECT_EQ(&other.ActionsForEvent(3), &both);

  const std::uint16_t box = movie.AddRectangle(0, 0, 1, 1).CharacterId();
  EXPECT_TRUE(button.AddRecord(box, bsUp, 1).HasColorTransform);
  TFlashButton& plain = movie.AddButton(false, false);
  EXPECT_FALSE(plain.AddRecord(box, bsUp, 1).HasColorTransform);
  EXPECT_EQ(plain.MinVersion(), 1);
  // A plain button's tag is a DefineButton: it has no condition lists to
  // hand out, and its release script stays its one action list.
  EXPECT_THROW(plain.AddCondAction(1 << 3), std::logic_error);
  EXPECT_THROW(plain.ActionsForEvent(TFlashButton::kReleaseEvent), std::logic_error);
  plain.OnRelease().GetUrl("c", "_self");
  EXPECT_EQ(dynamic_cast<TSWFDefineButton&>(plain.ButtonTag()).Actions.Count(), 1u);
  const auto codes = TagCodes(movie);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), tagDefineButtonSound), 0);
  plain.SetSound(TSWFDefineButtonSound::IdleToOverUp, movie.AddSound(test::SoundData("tone-11025-u8-mono.wav")));
  const auto withSound = TagCodes(movie);
  EXPECT_EQ(std::count(withSound.begin(), withSound.end(), tagDefineButtonSound), 1);
}

// A movie that shows a picture file and opens a link when clicked, saved to
// disk and read back tag by tag.
TEST(FlashMovie, PictureAndLinkMovieReadsBack) {
  const auto dir = std::filesystem::temp_directory_path();
  imaging::TBitmap picture(40, 30, imaging::TPixelFormat::pf24bit);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) picture.SetPixelARGB(x, y, imaging::MakeARGB(255, static_cast<std::uint8_t>(x * 6), static_cast<std::uint8_t>(y * 8), 128));
  picture.SaveToFile(dir / "movara-picture.bmp");
  TFlashMovie movie(0, 0, 40 * 20, 30 * 20, 24.0, false);
  movie.SetPixelUnits(true);
  movie.SetVersion(6);
  TFlashImage& image = movie.AddImage(dir / "movara-picture.bmp");
  TFlashShape& shape = movie.AddRectangle(0, 0, 40, 30);
  shape.SetImageFill(image, 1, 1.0, 1.0);
  TFlashButton& button = movie.AddButton(false, true);
  TFlashShape& hit = movie.AddRectangle(0, 0, 39, 29);
  hit.SetSolidColor(0, 0, 0, 0);
  button.AddRecord(hit, bsUp | bsHitTest, 1);
  button.OnRelease().GetUrl("http://example.com/", "_blank");
  movie.PlaceObject(shape, 0).SetTranslate(0, 0);
  movie.PlaceObject(button, 2);
  movie.ShowFrame(10);
  movie.BuildBody();
  movie.SaveFile(dir / "movara-picture.swf");
  const TSWFFile file = ReadSWFFile(ReadFileBytes(dir / "movara-picture.swf"));
  std::filesystem::remove(dir / "movara-picture.bmp");
  std::filesystem::remove(dir / "movara-picture.swf");
  EXPECT_EQ(file.Header.Version, 6);
  EXPECT_EQ(file.Header.FrameCount, 10);
  EXPECT_EQ(file.Header.FrameRect, (TRectangle{0, 0, 800, 600}));
  std::vector<std::uint16_t> codes;
  for (const auto& t : file.Tags) codes.push_back(t->TagCode);
  std::vector<std::uint16_t> expected = {tagDefineBitsLossless, tagDefineShape2, tagDefineShape3, tagDefineButton2,
                                         tagPlaceObject2, tagPlaceObject2};
  expected.insert(expected.end(), 10, tagShowFrame);
  expected.push_back(tagEnd);
  EXPECT_EQ(codes, expected);
}

// A script copied with AssignFrom branches to its own markers: the copy
// writes the same bytes as the original.
TEST(FlashActionScript, AssignedCopyKeepsItsBranches) {
  auto movie = PixelMovie();
  TFlashActionScript original(&movie, nullptr);
  auto& jump = original.ActionList().Add<TSWFActionJump>();
  original.ActionList().Add<TSWFActionStop>();
  jump.BranchOffset.Marker = &original.ActionList().AddMarker();
  TFlashActionScript copy(&movie, nullptr);
  copy.AssignFrom(original);
  const auto bytes = [](TFlashActionScript& script) {
    return test::Written([&](TBitsEngine& be) { script.WriteToStream(be); });
  };
  EXPECT_EQ(bytes(copy), bytes(original));
  EXPECT_EQ(bytes(original), (Bytes{0x07, 0x03, 0x99, 0x02, 0x00, 0x01, 0x00, 0x07, 0x00}));
}


// What an object shows of itself, to see that writing leaves it as it was.
using State = std::vector<std::int64_t>;

TEST(FlashMovie, WritingTwiceGivesTheSameBytesAndLeavesEveryObjectAsItWas) {
  const std::filesystem::path data(MOVARA_TEST_DATA_DIR);
  auto movie = PixelMovie();
  movie.SetVersion(6);
  movie.SetCompressionThreads(1);
  movie.StreamSound().LoadFile(data / "sound" / "tone-22050-vbr-mono-id3.mp3");
  TFlashShape& shape = movie.AddRectangle(0, 0, 10, 10);
  shape.SetSolidColor(1, 2, 3, 255);
  struct Case {
    const char* name;
    std::function<TBasedSWFObject&()> make;
    std::function<State(TBasedSWFObject&)> state;
  } cases[] = {
      {"an opaque shape", [&]() -> TBasedSWFObject& { return shape; },
       [](TBasedSWFObject& o) {
         const auto& s = dynamic_cast<TFlashShape&>(o);
         return State{s.Tag.TagCode, s.Tag.HasAlpha, s.Tag.ShapeBounds.XMax};
       }},
      {"a picture compressed on a worker",
       [&]() -> TBasedSWFObject& {
         imaging::TBitmap raster(3, 2, imaging::TPixelFormat::pf32bit);
         raster.SetPixelARGB(1, 1, imaging::MakeARGB(128, 10, 20, 30));
         return movie.AddImage(raster);
       },
       [](TBasedSWFObject& o) { return State{dynamic_cast<TFlashImage&>(o).BuildCount()}; }},
      {"a button with a sound",
       [&]() -> TBasedSWFObject& {
         TFlashButton& button = movie.AddButton(false, true);
         button.AddRecord(shape, 15, 1);
         button.SetSound(TSWFDefineButtonSound::OverUpToOverDown, movie.AddSound(data / "sound" / "tone-11025-u8-mono.wav"));
         return button;
       },
       [](TBasedSWFObject& o) { return State{dynamic_cast<TFlashButton&>(o).ButtonSound().ButtonId}; }},
      {"a sprite without frames",
       [&]() -> TBasedSWFObject& {
         TFlashSprite& sprite = movie.AddSprite();
         sprite.PlaceObject(shape, 1);
         sprite.FrameLabel = "open";
         sprite.PendingFrameObject = std::make_unique<TSWFRemoveObject2>(1);
         return sprite;
       },
       [](TBasedSWFObject& o) {
         const auto& s = dynamic_cast<TFlashSprite&>(o);
         return State{s.FrameCount(), static_cast<std::int64_t>(s.Objects().size()),
                      static_cast<std::int64_t>(s.FrameLabel.size()), s.PendingFrameObject != nullptr};
       }},
      {"a placement with a clip action",
       [&]() -> TBasedSWFObject& {
         TFlashPlaceObject& place = movie.PlaceObject(shape, 2);
         place.PlaceTag().ClipActions().AddRecord(ceRelease).Actions.Add<TSWFActionStop>();
         return place;
       },
       [](TBasedSWFObject& o) { return State{dynamic_cast<TFlashPlaceObject&>(o).PlaceTag().SWFVersion}; }},
      {"a video", [&]() -> TBasedSWFObject& { return movie.AddVideo(data / "flv" / "colors-h263-mp3.flv"); },
       [](TBasedSWFObject& o) { return State{dynamic_cast<TFlashVideo&>(o).FrameCount()}; }},
  };
  std::vector<std::pair<TBasedSWFObject*, State>> objects;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBasedSWFObject& object = c.make();
    const State before = c.state(object);
    const Bytes first = test::Written([&](TBitsEngine& be) { object.WriteToStream(be); });
    EXPECT_EQ(c.state(object), before);
    EXPECT_EQ(test::Written([&](TBitsEngine& be) { object.WriteToStream(be); }), first);
    EXPECT_EQ(c.state(object), before);
    objects.emplace_back(&object, before);
  }
  movie.ShowFrame(3);
  const std::uint16_t frames = movie.FrameCount;
  movie.BuildBody();
  const Bytes body = movie.Body.Bytes();
  // The placement's clip action is written for the movie's version 6.
  const TSWFFile file = test::BuildAndRead(movie);
  EXPECT_EQ(file.Header.Version, 6);
  EXPECT_EQ(movie.Body.Bytes(), body);
  EXPECT_EQ(movie.FrameCount, frames);
  for (std::size_t i = 0; i < objects.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(cases[i].state(*objects[i].first), objects[i].second);
  }
}

}  // namespace
}  // namespace movara::swf
