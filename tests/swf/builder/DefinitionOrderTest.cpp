// Definitions go out ahead of their uses whatever the order a client builds
// in, with the ids the characters were given, whole or streamed; a use of a
// character the movie does not define is refused with its id.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "MovieReadBack.h"
#include "SoundBytes.h"
#include "base/MemoryStream.h"
#include "swf/builder/FlashMovie.h"
#include "swf/core/DisplayListTags.h"
#include "swf/core/SpriteTags.h"

namespace movara::swf {
namespace {

// A tag as the test reads it: its code and the character it defines, or
// else the first one it uses (0 for none).
using TTagId = std::pair<std::uint16_t, std::uint16_t>;
using TTagIds = std::vector<TTagId>;

template <class Tags>
TTagIds IdsOf(const Tags& tags) {
  TTagIds out;
  for (const auto& t : tags) {
    std::vector<std::uint16_t> used;
    t->UsedCharacters(used);
    const std::uint16_t id = t->DefinedCharacter() != 0 ? t->DefinedCharacter() : used.empty() ? 0 : used.front();
    out.emplace_back(dynamic_cast<const TSWFObject&>(*t).TagCode, id);
  }
  return out;
}

imaging::TBitmap Picture() {
  imaging::TBitmap picture(4, 3, imaging::TPixelFormat::pf24bit);
  picture.SetPixelARGB(1, 1, imaging::MakeARGB(255, 200, 100, 50));
  return picture;
}

// The link: the button made before the rectangle it shows, and placed
// before the rectangle is made.
void ButtonBeforeItsRecord(TFlashMovie& movie) {
  TFlashButton& button = movie.AddButton(false, true);
  movie.PlaceObject(button, 3);
  TFlashShape& rect = movie.AddRectangle(0, 0, 9, 9);
  rect.SetSolidColor(0, 0, 0, 0);
  button.AddRecord(rect, bsUp | bsHitTest, 1);
  movie.ShowFrame();
}

// A button that plays a sound added after it.
void ButtonBeforeItsSound(TFlashMovie& movie) {
  TFlashButton& button = movie.AddButton(false, true);
  button.AddRecord(movie.AddRectangle(0, 0, 9, 9), bsUp | bsHitTest, 1);
  button.SetSound(TSWFDefineButtonSound::IdleToOverUp, movie.AddSound(test::SoundData("tone-11025-u8-mono.wav")));
  movie.PlaceObject(button, 1);
  movie.ShowFrame();
}

// A shape filled with a picture added after it, and one added before it.
void ShapeBeforeItsBitmap(TFlashMovie& movie) {
  TFlashImage& before = movie.AddImage(Picture());
  TFlashShape& shape = movie.AddRectangle(0, 0, 4, 3);
  TFlashImage& after = movie.AddImage(Picture());
  shape.SetImageFill(after, 1, 1, 1);
  shape.SetImageFill(before, 1, 1, 1);
  movie.PlaceObject(shape, 1);
  movie.ShowFrame();
}

// A sprite that places a shape made after it, whose fill is a picture made
// later still.
void SpriteBeforeWhatItPlaces(TFlashMovie& movie) {
  TFlashSprite& sprite = movie.AddSprite();
  TFlashShape& shape = movie.AddRectangle(0, 0, 4, 3);
  sprite.PlaceObject(shape, 1);
  sprite.ShowFrame();
  shape.SetImageFill(movie.AddImage(Picture()), 1, 1, 1);
  movie.PlaceObject(sprite, 1);
  movie.ShowFrame(2);
}

struct TOrderCase {
  std::string name;
  std::function<void(TFlashMovie&)> compose;
  TTagIds written;
};

const std::vector<TOrderCase> kOrderCases = {
    {"button record", ButtonBeforeItsRecord,
     {{tagDefineShape3, 2}, {tagDefineButton2, 1}, {tagPlaceObject2, 1}, {tagShowFrame, 0}, {tagEnd, 0}}},
    {"button sound", ButtonBeforeItsSound,
     {{tagDefineShape2, 2}, {tagDefineSound, 3}, {tagDefineButton2, 1}, {tagDefineButtonSound, 1},
      {tagPlaceObject2, 1}, {tagShowFrame, 0}, {tagEnd, 0}}},
    {"bitmap fill", ShapeBeforeItsBitmap,
     {{tagDefineBitsLossless, 1}, {tagDefineBitsLossless, 3}, {tagDefineShape2, 2}, {tagPlaceObject2, 2},
      {tagShowFrame, 0}, {tagEnd, 0}}},
    {"sprite placement", SpriteBeforeWhatItPlaces,
     {{tagDefineBitsLossless, 3}, {tagDefineShape2, 2}, {tagDefineSprite, 1}, {tagPlaceObject2, 1}, {tagShowFrame, 0},
      {tagShowFrame, 0}, {tagEnd, 0}}},
};

TFlashMovie PixelMovie() { return TFlashMovie(0, 0, 10, 10, 12, true); }

std::vector<std::uint8_t> Streamed(const std::function<void(TFlashMovie&)>& compose, std::uint16_t frames) {
  TFlashMovie movie = PixelMovie();
  TMemoryStream out;
  movie.BeginStream(out, frames);
  compose(movie);
  movie.EndStream();
  return out.Bytes();
}

TEST(DefinitionOrder, DefinitionsGoAheadOfTheirUsesWithTheirIds) {
  for (const TOrderCase& c : kOrderCases) {
    SCOPED_TRACE(c.name);
    TFlashMovie movie = PixelMovie();
    c.compose(movie);
    const auto objects = movie.Objects().size();
    const TSWFFile file = test::BuildAndRead(movie);
    EXPECT_EQ(IdsOf(file.Tags), c.written);
    EXPECT_EQ(movie.Objects().size(), objects) << "the list itself is left as it is";
    // Built again, the body is the same.
    const std::vector<std::uint8_t> body = movie.Body.Bytes();
    movie.BuildBody();
    EXPECT_EQ(movie.Body.Bytes(), body);
    // Streamed, frame by frame, the movie is the same.
    TMemoryStream whole;
    movie.SaveToStream(whole);
    EXPECT_EQ(Streamed(c.compose, movie.FrameCount), whole.Bytes());
  }
  // The sprite's timeline places the shape by its own id.
  TFlashMovie movie = PixelMovie();
  SpriteBeforeWhatItPlaces(movie);
  const TSWFFile file = test::BuildAndRead(movie);
  EXPECT_EQ(IdsOf(dynamic_cast<const TSWFDefineSprite&>(*file.Tags[2]).ControlTags),
            (TTagIds{{tagPlaceObject2, 2}, {tagShowFrame, 0}}));
}

// Expects the movie's writing to be refused with a message naming the
// character, built whole and streamed.
void ExpectRefused(const std::function<void(TFlashMovie&)>& compose, const std::string& message) {
  TFlashMovie movie = PixelMovie();
  compose(movie);
  try {
    movie.BuildBody();
    ADD_FAILURE() << "built without a word: " << message;
  } catch (const FlashCharacterError& e) {
    EXPECT_EQ(std::string(e.what()), message);
  }
  EXPECT_THROW(Streamed(compose, 1), FlashCharacterError);
}

TEST(DefinitionOrder, AUseOfACharacterNotDefinedIsRefused) {
  ExpectRefused([](TFlashMovie& movie) {
    movie.AddButton(false, true).AddRecord(9, bsUp | bsHitTest, 1);
    movie.ShowFrame();
  }, "character 9 is used in frame 1 but the movie does not define it");
  ExpectRefused([](TFlashMovie& movie) {
    TFlashMovie other = PixelMovie();
    other.AddImage(Picture());
    TFlashImage& foreign = other.AddImage(Picture());
    movie.AddRectangle(0, 0, 4, 3).SetImageFill(foreign, 1, 1, 1);
    movie.ShowFrame();
  }, "character 2 is used in frame 1 but the movie does not define it");
  ExpectRefused([](TFlashMovie& movie) {
    movie.ShowFrame();
    TFlashSprite& sprite = movie.AddSprite();
    auto place = std::make_unique<TSWFPlaceObject2>();
    place->SetCharacterId(7);
    sprite.AppendObject(std::move(place));
    movie.ShowFrame();
  }, "character 7 is used in frame 2 but the movie does not define it");
  // A character defined twice, and a sprite that places itself.
  ExpectRefused([](TFlashMovie& movie) {
    movie.AddRectangle(0, 0, 1, 1);
    movie.AddRectangle(0, 0, 1, 1).SetCharacterId(1);
    movie.ShowFrame();
  }, "character 1 is defined twice");
  ExpectRefused([](TFlashMovie& movie) {
    TFlashSprite& sprite = movie.AddSprite();
    sprite.PlaceObject(sprite, 1);
    movie.ShowFrame();
  }, "character 1 is used within its own definition");
}

// A definition made in a later frame than its use: built whole, it is
// written in the frame of the use; streamed, that frame is written before
// the definition exists, and is refused.
TEST(DefinitionOrder, ADefinitionFromALaterFrame) {
  const auto compose = [](TFlashMovie& movie) {
    TFlashButton& button = movie.AddButton(false, true);
    button.AddRecord(2, bsUp | bsHitTest, 1);
    movie.PlaceObject(button, 1);
    movie.ShowFrame();
    movie.AddRectangle(0, 0, 9, 9);
    movie.ShowFrame();
  };
  TFlashMovie movie = PixelMovie();
  compose(movie);
  EXPECT_EQ(IdsOf(test::BuildAndRead(movie).Tags),
            (TTagIds{{tagDefineShape2, 2}, {tagDefineButton2, 1}, {tagPlaceObject2, 1}, {tagShowFrame, 0},
                     {tagShowFrame, 0}, {tagEnd, 0}}));
  try {
    Streamed(compose, 2);
    ADD_FAILURE() << "streamed without a word";
  } catch (const FlashCharacterError& e) {
    EXPECT_STREQ(e.what(), "character 2 is used in frame 1 but the movie does not define it");
  }
}

}  // namespace
}  // namespace movara::swf
