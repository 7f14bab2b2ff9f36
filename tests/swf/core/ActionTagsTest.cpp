#include <gtest/gtest.h>

#include "TagCases.h"
#include "swf/core/ActionList.h"

namespace movara::swf {
namespace {

using test::Bytes;
using test::TagCase;

Bytes ActionBytes(TSWFActionList& list) {
  return test::Written([&](TBitsEngine& be) { list.WriteActions(be); });
}

std::unique_ptr<TSWFDoAction> DoAction(std::function<void(TSWFActionList&)> fill) {
  auto tag = std::make_unique<TSWFDoAction>();
  fill(tag->Actions);
  return tag;
}

std::vector<TagCase> ActionTagCases() {
  return {
      {"empty DoAction", [] { return DoAction([](TSWFActionList&) {}); }, {0x01, 0x03, 0x00}},
      {"Stop", [] { return DoAction([](TSWFActionList& l) { l.Add<TSWFActionStop>(); }); }, {0x02, 0x03, 0x07, 0x00}},
      {"GetUrl to _blank",
       [] { return DoAction([](TSWFActionList& l) { l.Add<TSWFActionGetUrl>("http://x", "_blank"); }); },
       {0x14, 0x03, 0x83, 0x10, 0x00, 'h', 't', 't', 'p', ':', '/', '/', 'x', 0, '_', 'b', 'l', 'a', 'n', 'k', 0, 0x00}},
      {"Push integer 1",
       [] { return DoAction([](TSWFActionList& l) { l.Add<TSWFActionPush>().AddInteger(1); }); },
       {0x09, 0x03, 0x96, 0x05, 0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x00}},
      {"Push text a",
       [] { return DoAction([](TSWFActionList& l) { l.Add<TSWFActionPush>().AddString("a"); }); },
       {0x07, 0x03, 0x96, 0x03, 0x00, 0x00, 0x61, 0x00, 0x00}},
      {"Push FlashVar_null",
       [] { return DoAction([](TSWFActionList& l) { l.Add<TSWFActionPush>().AddString("FlashVar_null"); }); },
       {0x05, 0x03, 0x96, 0x01, 0x00, 0x02, 0x00}},
      {"Push double 1.5 high half first",
       [] { return DoAction([](TSWFActionList& l) { l.Add<TSWFActionPush>().AddDouble(1.5); }); },
       {0x0D, 0x03, 0x96, 0x09, 0x00, 0x06, 0x00, 0x00, 0xF8, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"Call and WaitForFrame2 carry an empty payload",
       [] {
         return DoAction([](TSWFActionList& l) {
           l.Add<TSWFActionCall>();
           l.Add<TSWFActionWaitForFrame2>();
         });
       },
       {0x07, 0x03, 0x9E, 0x00, 0x00, 0x8D, 0x00, 0x00, 0x00}},
      {"forward Jump over Stop",
       [] {
         return DoAction([](TSWFActionList& l) {
           auto& jump = l.Add<TSWFActionJump>();
           l.Add<TSWFActionStop>();
           jump.BranchOffset.Marker = &l.AddMarker();
         });
       },
       {0x07, 0x03, 0x99, 0x02, 0x00, 0x01, 0x00, 0x07, 0x00}},
      {"backward Jump to a marker right before it",
       [] {
         return DoAction([](TSWFActionList& l) {
           auto& marker = l.AddMarker();
           l.Add<TSWFActionJump>().BranchOffset.Marker = &marker;
         });
       },
       {0x06, 0x03, 0x99, 0x02, 0x00, 0xFB, 0xFF, 0x00}},
      {"If with an explicit offset",
       [] { return DoAction([](TSWFActionList& l) { l.Add<TSWFActionIf>().BranchOffset.Set(-3); }); },
       {0x06, 0x03, 0x9D, 0x02, 0x00, 0xFD, 0xFF, 0x00}},
      {"DefineFunction sized by a marker",
       [] {
         return DoAction([](TSWFActionList& l) {
           auto& f = l.Add<TSWFActionDefineFunction>();
           f.FunctionName = "f";
           f.Params = {"a"};
           l.Add<TSWFActionPlay>();
           l.Add<TSWFActionStop>();
           f.CodeSize.Marker = &l.AddMarker();
         });
       },
       {0x0E, 0x03, 0x9B, 0x08, 0x00, 'f', 0, 0x01, 0x00, 'a', 0, 0x02, 0x00, 0x06, 0x07, 0x00}},
      {"GotoFrame2 with scene bias",
       [] {
         return DoAction([](TSWFActionList& l) {
           auto& g = l.Add<TSWFActionGotoFrame2>();
           g.SceneBiasFlag = true;
           g.PlayFlag = true;
           g.SceneBias = 7;
         });
       },
       {0x07, 0x03, 0x9F, 0x03, 0x00, 0x03, 0x07, 0x00, 0x00}},
      {"DoInitAction for sprite 3",
       [] {
         auto tag = std::make_unique<TSWFDoInitAction>();
         tag->SpriteID = 3;
         tag->Actions.Add<TSWFActionStop>();
         return tag;
       },
       {0xC4, 0x0E, 0x03, 0x00, 0x07, 0x00}},
  };
}

TEST(ActionTags, TableOfBytes) {
  for (const auto& c : ActionTagCases()) test::CheckTagCase(c);
}

TEST(ActionTags, TruncatedTagsThrow) {
  for (const auto& c : ActionTagCases()) test::CheckTruncationsThrow(c);
}

TEST(ActionTags, MinVersions) {
  TSWFActionPush strings;
  strings.AddString("x");
  strings.AddSingle(1.5f);
  EXPECT_EQ(strings.MinVersion(), 4);
  EXPECT_EQ(TSWFActionPush().MinVersion(), 4);
  TSWFActionPush withDouble;
  withDouble.AddDouble(2.0);
  EXPECT_EQ(withDouble.MinVersion(), 5);
  TSWFActionPush withBool;
  withBool.AddBoolean(true);
  EXPECT_EQ(withBool.MinVersion(), 5);
  EXPECT_FALSE(withBool.SetValueType(0, 10));
  EXPECT_EQ(TSWFActionStop().MinVersion(), 3);
  EXPECT_EQ(TSWFActionAdd().MinVersion(), 4);
  EXPECT_EQ(TSWFActionExtends().MinVersion(), 7);
  TSWFDoAction tag;
  EXPECT_EQ(tag.MinVersion(), 3);
  tag.Actions.Add<TSWFActionStrictEquals>();
  EXPECT_EQ(tag.MinVersion(), 6);
  EXPECT_EQ(TSWFDoInitAction().MinVersion(), 6);
}

TEST(ActionTags, PushTypingAndInvalidValues) {
  TSWFActionPush push;
  push.AddString("FlashVar_undefined");
  push.AddInvalid();
  push.AddNull();
  EXPECT_EQ(push.Values[0].ValueType, TPushValue::Undefined);
  EXPECT_EQ(push.Values[0].Text, "undefined");
  TSWFActionList list;
  list.Add(push.Clone());
  EXPECT_EQ(ActionBytes(list), (Bytes{0x96, 0x02, 0x00, 0x03, 0x02}));
}

TEST(ActionTags, FourByteMarkersForwardAndBackward) {
  TSWFActionList list;
  auto& back = list.AddMarker();
  back.OffsetSize = 4;
  list.Add<TSWFActionStop>();
  auto& jumpBack = list.Add<TSWFActionJump>();
  jumpBack.BranchOffset.Marker = &back;
  auto& jumpOn = list.Add<TSWFActionJump>();
  list.Add<TSWFActionPlay>();
  auto& on = list.AddMarker();
  on.OffsetSize = 4;
  jumpOn.BranchOffset.Marker = &on;
  // Stop at 0; the first Jump's field at 4..7 ends at 8: back to 0 is -8.
  // The second Jump's field at 12..15 ends at 16, Play at 16: forward 1.
  EXPECT_EQ(ActionBytes(list), (Bytes{0x07, 0x99, 0x04, 0x00, 0xF8, 0xFF, 0xFF, 0xFF, 0x99, 0x04, 0x00, 0x01, 0x00,
                                      0x00, 0x00, 0x06}));
  // Writing twice gives the same bytes: markers forget the last write.
  EXPECT_EQ(ActionBytes(list), ActionBytes(list));
}

TEST(ActionTags, ReadingPlacesMarkersWhereOffsetsPoint) {
  // Play; Jump +1 (over Stop, to If); Stop; If -12 (back to Play).
  const Bytes bytes = {0x06, 0x99, 0x02, 0x00, 0x01, 0x00, 0x07, 0x9D, 0x02, 0x00, 0xF4, 0xFF, 0x00};
  const TSWFActionList list = TSWFActionList::Read(bytes);
  // marker (back) Play Jump Stop marker (forward) If.
  ASSERT_EQ(list.Count(), 6u);
  EXPECT_NE(dynamic_cast<TSWFOffsetMarker*>(&list[0]), nullptr);
  EXPECT_TRUE(dynamic_cast<TSWFOffsetMarker&>(list[0]).IsBefore);
  EXPECT_NE(dynamic_cast<TSWFOffsetMarker*>(&list[4]), nullptr);
  EXPECT_FALSE(dynamic_cast<TSWFOffsetMarker&>(list[4]).IsBefore);
  const TSWFActionList copy = list.Clone();
  EXPECT_EQ(test::Written([&](TBitsEngine& be) { copy.WriteActions(be); }),
            Bytes(bytes.begin(), bytes.end() - 1));
  // An offset into the middle of an action stays explicit.
  const Bytes odd = {0x99, 0x02, 0x00, 0xFE, 0xFF, 0x00};
  const TSWFActionList explicitList = TSWFActionList::Read(odd);
  ASSERT_EQ(explicitList.Count(), 1u);
  EXPECT_EQ(dynamic_cast<TSWFActionJump&>(explicitList[0]).BranchOffset.Value, -2);
}

TEST(ActionTags, UnparsedActionsStayRawBytes) {
  const Bytes body = {0x96, 0x02, 0x00, 0x05, 0x01, 0x07, 0x00};
  TSWFDoAction tag;
  tag.ParseActions = false;
  ReadTagBody(tag, body);
  ASSERT_EQ(tag.Actions.Count(), 1u);
  EXPECT_EQ(dynamic_cast<TSWFActionByteCode&>(tag.Actions[0]).Data, Bytes(body.begin(), body.end() - 1));
  EXPECT_EQ(test::Written([&](TBitsEngine& be) { tag.WriteTagBody(be); }), body);
}

TEST(ActionTags, UnknownActionCodesSurviveARoundTrip) {
  const Bytes body = {0x7F, 0xC0, 0x03, 0x00, 1, 2, 3, 0x00};
  TSWFDoAction tag;
  ReadTagBody(tag, body);
  EXPECT_EQ(test::Written([&](TBitsEngine& be) { tag.WriteTagBody(be); }), body);
  EXPECT_EQ(CreateAction(0x7F), nullptr);
}

TEST(ActionTags, HostileActionBlocksAreRefused) {
  TSWFDoAction tag;
  EXPECT_THROW(ReadTagBody(tag, Bytes{0x83, 0x10, 0x00, 'a', 0}), SWFFormatError);   // payload past the tag
  EXPECT_THROW(ReadTagBody(tag, Bytes{0x96, 0x02, 0x00, 0x0B, 0x00, 0x00}), SWFFormatError);  // push type 11
  EXPECT_THROW(ReadTagBody(tag, Bytes{0x81, 0x03, 0x00, 1, 2, 3, 0x00}), SWFFormatError);     // surplus payload
  EXPECT_ANY_THROW(ReadTagBody(tag, Bytes{0x83, 0x02, 0x00, 'a', 'b', 0x00}));              // unterminated URL
}

// Random lists of actions with branches to random boundaries, forward and
// backward, written, read back (markers re-inserted) and written again.
TEST(ActionTags, RandomListsRoundTrip) {
  for (int round = 0; round < 300; ++round) {
    const int count = test::RandomInt(1, 12);
    std::vector<std::unique_ptr<TSWFAction>> actions;
    std::vector<TSWFActionJump*> jumps;
    for (int i = 0; i < count; ++i) {
      switch (test::RandomInt(0, 6)) {
        case 0: actions.push_back(std::make_unique<TSWFActionStop>()); break;
        case 1: actions.push_back(std::make_unique<TSWFActionGotoFrame>(static_cast<std::uint16_t>(test::RandomInt(0, 65535)))); break;
        case 2: {
          auto push = std::make_unique<TSWFActionPush>();
          push->AddInteger(test::RandomInt(-1000, 1000));
          push->AddString("v" + std::to_string(i));
          push->AddDouble(test::RandomInt(-50, 50) / 4.0);
          push->AddBoolean(i % 2 == 0);
          actions.push_back(std::move(push));
          break;
        }
        case 3: actions.push_back(std::make_unique<TSWFActionJump>()); break;
        case 4: actions.push_back(std::make_unique<TSWFActionIf>()); break;
        case 5: actions.push_back(std::make_unique<TSWFActionGetUrl>("u" + std::to_string(i), "_self")); break;
        default: {
          auto pool = std::make_unique<TSWFActionConstantPool>();
          pool->Constants = {"a", "bc"};
          actions.push_back(std::move(pool));
          break;
        }
      }
      if (auto* jump = dynamic_cast<TSWFActionJump*>(actions.back().get())) jumps.push_back(jump);
    }
    // Each branch gets a marker before a random action or at the end.
    std::vector<std::vector<std::unique_ptr<TSWFOffsetMarker>>> markersAt(actions.size() + 1);
    for (TSWFActionJump* jump : jumps) {
      auto marker = std::make_unique<TSWFOffsetMarker>();
      jump->BranchOffset.Marker = marker.get();
      markersAt[static_cast<std::size_t>(test::RandomInt(0, count))].push_back(std::move(marker));
    }
    TSWFDoAction tag;
    for (std::size_t i = 0; i <= actions.size(); ++i) {
      for (auto& m : markersAt[i]) tag.Actions.Add(std::move(m));
      if (i < actions.size()) tag.Actions.Add(std::move(actions[i]));
    }
    const Bytes bytes = test::WriteTag(tag);
    auto back = test::ReadOneTag(bytes, 7);
    ASSERT_EQ(test::WriteTag(*back), bytes) << "round " << round;
    // Every branch found its marker again.
    for (const auto& a : dynamic_cast<TSWFDoAction&>(*back).Actions) {
      if (auto* jump = dynamic_cast<TSWFActionJump*>(a.get())) {
        EXPECT_NE(jump->BranchOffset.Marker, nullptr);
      }
    }
  }
}

}  // namespace
}  // namespace movara::swf
