#include <gtest/gtest.h>

#include "TagCases.h"
#include "swf/core/DisplayListTags.h"

namespace movara::swf {
namespace {

using test::Bytes;
using test::TagCase;

std::unique_ptr<TSWFPlaceObject2> PlaceWithClipActions(std::uint8_t version, std::uint8_t key) {
  auto p = std::make_unique<TSWFPlaceObject2>();
  p->SWFVersion = version;
  p->Depth = 1;
  auto& r = p->ClipActions().AddRecord(ceRelease, key);
  r.Actions.Add<TSWFActionStop>();
  return p;
}

std::vector<TagCase> DisplayListCases() {
  return {
      {"place character 3 at depth 2 with an empty matrix",
       [] {
         auto p = std::make_unique<TSWFPlaceObject2>();
         p->Depth = 2;
         p->SetCharacterId(3);
         p->Matrix();
         return p;
       },
       {0x86, 0x06, 0x06, 0x02, 0x00, 0x03, 0x00, 0x00}},
      {"move with a new ratio",
       [] {
         auto p = std::make_unique<TSWFPlaceObject2>();
         p->Depth = 4;
         p->Move = true;
         p->SetRatio(9);
         return p;
       },
       {0x85, 0x06, 0x11, 0x04, 0x00, 0x09, 0x00}},
      {"name and clip depth",
       [] {
         auto p = std::make_unique<TSWFPlaceObject2>();
         p->Depth = 1;
         p->SetName("ab");
         p->SetClipDepth(5);
         return p;
       },
       {0x88, 0x06, 0x60, 0x01, 0x00, 'a', 'b', 0x00, 0x05, 0x00}},
      {"empty clip action list writes no clip actions",
       [] {
         auto p = std::make_unique<TSWFPlaceObject2>();
         p->Depth = 1;
         p->ClipActions();
         return p;
       },
       {0x83, 0x06, 0x00, 0x01, 0x00}},
      // Reserved word, all-events (release = bit 12), record events, size 2,
      // Stop, 0, end flag: 16-bit fields below version 6.
      {"clip actions, version 5",
       [] { return PlaceWithClipActions(5, 0); },
       {0x91, 0x06, 0x80, 0x01, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x08, 0x02, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00,
        0x00},
       5},
      {"clip actions, version 6, with a key code",
       [] { return PlaceWithClipActions(6, 0x41); },
       {0x98, 0x06, 0x80, 0x01, 0x00, 0x00, 0x00, 0x00, 0x08, 0x02, 0x00, 0x00, 0x08, 0x02, 0x00, 0x03, 0x00,
        0x00, 0x00, 0x41, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00},
       6},
      {"RemoveObject2 of depth 1", [] { return std::make_unique<TSWFRemoveObject2>(1); }, {0x02, 0x07, 0x01, 0x00}},
      {"RemoveObject of character 1 at depth 1", [] { return std::make_unique<TSWFRemoveObject>(1, 1); },
       {0x44, 0x01, 0x01, 0x00, 0x01, 0x00}},
  };
}

TEST(DisplayListTags, TableOfBytes) {
  for (const auto& c : DisplayListCases()) test::CheckTagCase(c);
}

TEST(DisplayListTags, TruncatedTagsThrow) {
  for (const auto& c : DisplayListCases()) test::CheckTruncationsThrow(c);
}

TEST(DisplayListTags, MinVersionsAndClipActionVersionRaise) {
  TSWFPlaceObject2 plain;
  EXPECT_EQ(plain.MinVersion(), 3);
  auto clip = PlaceWithClipActions(3, 0);
  EXPECT_EQ(clip->MinVersion(), 5);
  test::WriteTag(*clip);
  EXPECT_EQ(clip->SWFVersion, 5);
  EXPECT_EQ(TSWFRemoveObject2().MinVersion(), 3);
  TSWFClipActionRecord record;
  record.SetKeyCode(7);
  EXPECT_NE(record.EventFlags & ceKeyPress, 0u);
  record.SetKeyCode(0);
  EXPECT_EQ(record.EventFlags & ceKeyPress, 0u);
}

TEST(DisplayListTags, RandomPlacementsRoundTrip) {
  for (int round = 0; round < 300; ++round) {
    TSWFPlaceObject2 p;
    p.SWFVersion = static_cast<std::uint8_t>(test::RandomInt(5, 8));
    p.Depth = static_cast<std::uint16_t>(test::RandomInt(0, 65535));
    p.Move = test::RandomInt(0, 1) != 0;
    if (test::RandomInt(0, 1)) p.SetCharacterId(static_cast<std::uint16_t>(test::RandomInt(1, 65535)));
    if (test::RandomInt(0, 1)) {
      p.Matrix().SetTranslate(test::RandomInt(-100000, 100000), test::RandomInt(-100000, 100000));
      if (test::RandomInt(0, 1)) p.Matrix().SetScale(test::RandomInt(1, 400) / 16.0, test::RandomInt(1, 400) / 16.0);
    }
    if (test::RandomInt(0, 1)) p.ColorTransform().SetMultA(test::RandomInt(0, 256));
    if (test::RandomInt(0, 1)) p.SetRatio(static_cast<std::uint16_t>(test::RandomInt(0, 65535)));
    if (test::RandomInt(0, 1)) p.SetName("n" + std::to_string(round));
    if (test::RandomInt(0, 1)) p.SetClipDepth(static_cast<std::uint16_t>(test::RandomInt(0, 65535)));
    const int records = test::RandomInt(0, 3);
    for (int i = 0; i < records; ++i) {
      const auto events = static_cast<std::uint32_t>(test::RandomInt(1, (1 << 19) - 1));
      auto& r = p.ClipActions().AddRecord(events, static_cast<std::uint8_t>(test::RandomInt(0, 1) ? 0 : 65));
      for (int k = test::RandomInt(0, 3); k > 0; --k) r.Actions.Add<TSWFActionPlay>();
    }
    // Below version 6 only the low 16 event bits exist.
    if (p.SWFVersion < 6 && records > 0) {
      for (auto& r : p.ClipActions().Records) r->EventFlags = (r->EventFlags & 0xFFFF) | 1;
      p.ClipActions().AllEventFlags &= 0xFFFF;
    }
    const Bytes bytes = test::WriteTag(p);
    auto back = test::ReadOneTag(bytes, p.SWFVersion);
    ASSERT_EQ(test::WriteTag(*back), bytes) << "round " << round;
    const auto& q = dynamic_cast<TSWFPlaceObject2&>(*back);
    EXPECT_EQ(q.Depth, p.Depth);
    EXPECT_EQ(q.Name(), p.Name());
    if (p.HasMatrix) {
      EXPECT_EQ(*q.MatrixIfAny(), *p.MatrixIfAny());
    }
  }
}

}  // namespace
}  // namespace movara::swf
