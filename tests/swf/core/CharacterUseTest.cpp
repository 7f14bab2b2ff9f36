// Each tag names the character it defines and those it uses, which a movie
// must define ahead of it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "swf/core/ActionList.h"
#include "swf/core/BitmapTags.h"
#include "swf/core/ButtonTags.h"
#include "swf/core/DisplayListTags.h"
#include "swf/core/ShapeTags.h"
#include "swf/core/SoundTags.h"
#include "swf/core/SpriteTags.h"

namespace movara::swf {
namespace {

struct TUseCase {
  std::string name;
  std::function<std::unique_ptr<TSWFObject>()> make;
  std::uint16_t defined;
  std::vector<std::uint16_t> used;
};

std::unique_ptr<TSWFImageFill> BitmapFill(std::uint16_t id) {
  auto fill = std::make_unique<TSWFImageFill>(0x40);
  fill->BitmapID = id;
  return fill;
}

std::unique_ptr<TSWFPlaceObject2> Place(std::uint16_t id) {
  auto place = std::make_unique<TSWFPlaceObject2>();
  if (id != 0) place->SetCharacterId(id);
  return place;
}

const std::vector<TUseCase> kCases = {
    {"shape with bitmap fills, its own and a record's new ones",
     [] {
       auto t = std::make_unique<TSWFDefineShape3>();
       t->ShapeID = 4;
       t->FillStyles.push_back(BitmapFill(2));
       t->FillStyles.push_back(std::make_unique<TSWFColorFill>());
       t->FillStyles.push_back(BitmapFill(0xFFFF));  // no bitmap
       auto change = std::make_unique<TSWFStyleChangeRecord>();
       change->NewFillStyles().push_back(BitmapFill(3));
       t->Records.push_back(std::move(change));
       return t;
     },
     4, {2, 3}},
    {"bitmap", [] {
       auto t = std::make_unique<TSWFDefineBitsLossless2>();
       t->CharacterId = 5;
       return t;
     }, 5, {}},
    {"button and its records", [] {
       auto t = std::make_unique<TSWFDefineButton2>();
       t->ButtonId = 6;
       t->AddRecord(2, 1, bsUp);
       t->AddRecord(3, 2, bsHitTest);
       return t;
     }, 6, {2, 3}},
    {"button sounds", [] {
       auto t = std::make_unique<TSWFDefineButtonSound>();
       t->ButtonId = 6;
       t->Sound(TSWFDefineButtonSound::OverUpToOverDown).SoundId = 7;
       return t;
     }, 0, {6, 7}},
    {"placement of a character", [] { return Place(8); }, 0, {8}},
    {"placement that only moves", [] { return Place(0); }, 0, {}},
    {"removal of a character", [] { return std::make_unique<TSWFRemoveObject>(9, 1); }, 0, {9}},
    {"sound, started", [] {
       auto t = std::make_unique<TSWFStartSound>();
       t->SoundId = 7;
       return t;
     }, 0, {7}},
    {"sprite and what it places", [] {
       auto t = std::make_unique<TSWFDefineSprite>();
       t->SpriteID = 10;
       t->ControlTags.push_back(Place(8));
       t->ControlTags.push_back(std::make_unique<TSWFRemoveObject2>(1));
       return t;
     }, 10, {8}},
    {"init actions of a sprite", [] {
       auto t = std::make_unique<TSWFDoInitAction>();
       t->SpriteID = 10;
       return t;
     }, 0, {10}},
    {"video stream", [] {
       auto t = std::make_unique<TSWFDefineVideoStream>();
       t->CharacterId = 11;
       return t;
     }, 11, {}},
    {"video frame", [] {
       auto t = std::make_unique<TSWFVideoFrame>();
       t->StreamId = 11;
       return t;
     }, 0, {11}},
};

TEST(CharacterUse, EveryTagNamesWhatItDefinesAndUses) {
  for (const TUseCase& c : kCases) {
    SCOPED_TRACE(c.name);
    const auto tag = c.make();
    EXPECT_EQ(tag->DefinedCharacter(), c.defined);
    std::vector<std::uint16_t> used;
    tag->UsedCharacters(used);
    EXPECT_EQ(used, c.used);
  }
}

}  // namespace
}  // namespace movara::swf
