#include <gtest/gtest.h>

#include "TagCases.h"
#include "swf/core/ActionList.h"
#include "swf/core/ControlTags.h"
#include "swf/core/DisplayListTags.h"
#include "swf/core/SpriteTags.h"

namespace movara::swf {
namespace {

using test::Bytes;
using test::TagCase;

std::vector<TagCase> SpriteCases() {
  return {
      {"sprite of one empty frame",
       [] {
         auto t = std::make_unique<TSWFDefineSprite>();
         t->SpriteID = 2;
         t->FrameCount = 1;
         t->ControlTags.push_back(std::make_unique<TSWFShowFrame>());
         return t;
       },
       {0xC8, 0x09, 0x02, 0x00, 0x01, 0x00, 0x40, 0x00, 0x00, 0x00}},
      {"sprite with a placement, a label, a removal and two frames",
       [] {
         auto t = std::make_unique<TSWFDefineSprite>();
         t->SpriteID = 3;
         t->FrameCount = 2;
         auto place = std::make_unique<TSWFPlaceObject2>();
         place->SetCharacterId(1);
         place->Depth = 1;
         t->ControlTags.push_back(std::move(place));
         t->ControlTags.push_back(std::make_unique<TSWFFrameLabel>("a"));
         t->ControlTags.push_back(std::make_unique<TSWFShowFrame>());
         t->ControlTags.push_back(std::make_unique<TSWFRemoveObject2>(1));
         t->ControlTags.push_back(std::make_unique<TSWFShowFrame>());
         return t;
       },
       {0xD9, 0x09, 0x03, 0x00, 0x02, 0x00,              // id 3, 2 frames
        0x85, 0x06, 0x02, 0x01, 0x00, 0x01, 0x00,        // place character 1 at depth 1
        0xC2, 0x0A, 0x61, 0x00,                          // label "a"
        0x40, 0x00, 0x02, 0x07, 0x01, 0x00, 0x40, 0x00,  // frame, remove depth 1, frame
        0x00, 0x00}},                                    // End
      {"sprite with actions in its frame",
       [] {
         auto t = std::make_unique<TSWFDefineSprite>();
         t->SpriteID = 1;
         t->FrameCount = 1;
         auto actions = std::make_unique<TSWFDoAction>();
         actions->Actions.Add<TSWFActionStop>();
         t->ControlTags.push_back(std::move(actions));
         t->ControlTags.push_back(std::make_unique<TSWFShowFrame>());
         return t;
       },
       {0xCC, 0x09, 0x01, 0x00, 0x01, 0x00, 0x02, 0x03, 0x07, 0x00, 0x40, 0x00, 0x00, 0x00}},
  };
}

TEST(SpriteTags, TableOfBytes) {
  for (const auto& c : SpriteCases()) {
    test::CheckTagCase(c);
    test::CheckTruncationsThrow(c);
  }
}

TEST(SpriteTags, ReadsTheNestedTagsBack) {
  const auto cases = SpriteCases();
  auto back = test::ReadOneTag(cases[1].bytes, 6);
  const auto& sprite = dynamic_cast<TSWFDefineSprite&>(*back);
  EXPECT_EQ(sprite.SpriteID, 3);
  EXPECT_EQ(sprite.FrameCount, 2);
  ASSERT_EQ(sprite.ControlTags.size(), 5u);
  const auto& place = dynamic_cast<TSWFPlaceObject2&>(*sprite.ControlTags[0]);
  EXPECT_EQ(place.CharacterId, 1);
  EXPECT_EQ(dynamic_cast<TSWFFrameLabel&>(*sprite.ControlTags[1]).Name, "a");
  EXPECT_EQ(dynamic_cast<TSWFRemoveObject2&>(*sprite.ControlTags[3]).Depth, 1);
}

TEST(SpriteTags, HostileBodies) {
  struct Case {
    const char* name;
    Bytes body;
    const char* message;
  };
  const Case cases[] = {
      {"a sprite inside a sprite", {0x01, 0x00, 0x01, 0x00, 0xC4, 0x09, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00},
       "sprite 1 holds a sprite"},
      {"no End", {0x01, 0x00, 0x01, 0x00, 0x40, 0x00}, "sprite 1 without End tag"},
      {"bytes after End", {0x01, 0x00, 0x01, 0x00, 0x40, 0x00, 0x00, 0x00, 0x07, 0x07},
       "tag 39: 2 bytes left after its body"},
      {"an End with a body", {0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00}, "tag 0: 1 bytes left after its body"},
      {"a nested tag beyond the body", {0x01, 0x00, 0x01, 0x00, 0x45, 0x00, 0x00}, "tag 1 declares 5 bytes, only 1 left"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TSWFDefineSprite sprite;
    try {
      ReadTagBody(sprite, c.body);
      ADD_FAILURE() << "read without error";
    } catch (const SWFFormatError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST(SpriteTags, HooksAndTheEndRule) {
  TSWFDefineSprite sprite;
  sprite.SpriteID = 1;
  sprite.FrameCount = 2;
  sprite.ControlTags.push_back(std::make_unique<TSWFShowFrame>());
  sprite.ControlTags.push_back(std::make_unique<TSWFShowFrame>());
  sprite.ControlTags.push_back(std::make_unique<TSWFEnd>());
  std::vector<int> frames;
  sprite.OnStart = [](TBitsEngine& be) { be.WriteByte(0xAA); };
  sprite.OnShowFrame = [&](TBitsEngine& be, std::uint16_t frame) {
    frames.push_back(frame);
    be.WriteByte(0xB0 + frame);
  };
  const Bytes body = test::Written([&](TBitsEngine& be) { sprite.WriteTagBody(be); });
  // The last control tag is End already: no second one.
  EXPECT_EQ(body, (Bytes{0x01, 0x00, 0x02, 0x00, 0xAA, 0xB0, 0x40, 0x00, 0xB1, 0x40, 0x00, 0x00, 0x00}));
  EXPECT_EQ(frames, (std::vector<int>{0, 1}));
  EXPECT_EQ(sprite.MinVersion(), 3);
  auto init = std::make_unique<TSWFDoAction>();
  init->Actions.Add<TSWFActionStrictEquals>();
  sprite.ControlTags.push_back(std::move(init));
  EXPECT_EQ(sprite.MinVersion(), 6);
}

}  // namespace
}  // namespace movara::swf
