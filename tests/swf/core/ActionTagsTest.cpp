#include <gtest/gtest.h>

#include <set>

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

// A DoAction tag of the given action records and its end byte.
Bytes DoActionBytes(Bytes records) {
  records.push_back(0x00);
  const auto size = static_cast<std::uint32_t>(records.size());
  // Bodies of 63 bytes and more take the long header.
  Bytes tag = size < 63 ? Bytes{static_cast<std::uint8_t>(size), 0x03}
                        : Bytes{0x3F, 0x03, static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size >> 8), 0, 0};
  tag.insert(tag.end(), records.begin(), records.end());
  return tag;
}

// Every code without fields, in code order: the codes as this test knows
// them, so that a code added to the library without a row here fails.
const Bytes kSimpleCodes = {0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10, 0x11,
                            0x12, 0x13, 0x14, 0x15, 0x17, 0x18, 0x1C, 0x1D, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25,
                            0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36,
                            0x37, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46,
                            0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F, 0x50, 0x51, 0x52, 0x53, 0x54,
                            0x55, 0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x8D, 0x9E};

Bytes SimpleCodeRecords() {
  Bytes out;
  for (const std::uint8_t code : kSimpleCodes) {
    out.push_back(code);
    // Codes from 0x80 carry an empty payload.
    if (code >= 0x80) out.insert(out.end(), {0x00, 0x00});
  }
  return out;
}

TPushValue Value(std::uint8_t type, std::int64_t integer = 0, double number = 0, std::string text = {}) {
  TPushValue v;
  v.ValueType = type, v.Int = integer, v.Number = number, v.Text = std::move(text);
  return v;
}

// One row per action type, its fields set to values that differ from one
// another, so that fields read or written in the wrong place fail.
std::vector<TagCase> EveryActionCases() {
  return {
      {"every code without fields",
       [] {
         return DoAction([](TSWFActionList& l) {
           for (const TActionCode& row : kActionCodes) {
             if (!row.HasFields) l.Add(CreateAction(row.Code));
           }
         });
       },
       DoActionBytes(SimpleCodeRecords())},
      {"GotoFrame 0x1234", [] { return DoAction([](TSWFActionList& l) { l.Add<TSWFActionGotoFrame>(0x1234); }); },
       DoActionBytes({0x81, 0x02, 0x00, 0x34, 0x12})},
      {"WaitForFrame frame 0x0102 skipping 3",
       [] {
         return DoAction([](TSWFActionList& l) {
           auto& w = l.Add<TSWFActionWaitForFrame>();
           w.Frame = 0x0102, w.SkipCount = 3;
         });
       },
       DoActionBytes({0x8A, 0x03, 0x00, 0x02, 0x01, 0x03})},
      {"SetTarget and GoToLabel",
       [] {
         return DoAction([](TSWFActionList& l) {
           l.Add<TSWFActionSetTarget>().Text = "t";
           l.Add<TSWFActionGoToLabel>().Text = "L";
         });
       },
       DoActionBytes({0x8B, 0x02, 0x00, 't', 0, 0x8C, 0x02, 0x00, 'L', 0})},
      {"Push of every value type",
       [] {
         return DoAction([](TSWFActionList& l) {
           l.Add<TSWFActionPush>().Values = {
               Value(TPushValue::String, 0, 0, "s"), Value(TPushValue::Float, 0, 1.5), Value(TPushValue::Null),
               Value(TPushValue::Undefined), Value(TPushValue::Register, 2), Value(TPushValue::Boolean, 1),
               Value(TPushValue::Double, 0, 1.5), Value(TPushValue::Integer, -2), Value(TPushValue::Constant8, 7),
               Value(TPushValue::Constant16, 0x0102)};
         });
       },
       DoActionBytes({0x96, 0x21, 0x00, 0x00, 's', 0, 0x01, 0x00, 0x00, 0xC0, 0x3F, 0x02, 0x03, 0x04, 0x02, 0x05, 0x01,
                      0x06, 0x00, 0x00, 0xF8, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x07, 0xFE, 0xFF, 0xFF, 0xFF, 0x08, 0x07,
                      0x09, 0x02, 0x01})},
      {"StoreRegister 5", [] { return DoAction([](TSWFActionList& l) { l.Add<TSWFActionStoreRegister>().RegisterNumber = 5; }); },
       DoActionBytes({0x87, 0x01, 0x00, 0x05})},
      {"ConstantPool a, bc",
       [] { return DoAction([](TSWFActionList& l) { l.Add<TSWFActionConstantPool>().Constants = {"a", "bc"}; }); },
       DoActionBytes({0x88, 0x07, 0x00, 0x02, 0x00, 'a', 0, 'b', 'c', 0})},
      {"GetURL2: method 2, load target",
       [] {
         return DoAction([](TSWFActionList& l) {
           auto& g = l.Add<TSWFActionGetURL2>();
           g.SendVarsMethod = 2, g.LoadTargetFlag = true;
         });
       },
       DoActionBytes({0x9A, 0x01, 0x00, 0x82})},
      {"GetURL2: method 1, load variables",
       [] {
         return DoAction([](TSWFActionList& l) {
           auto& g = l.Add<TSWFActionGetURL2>();
           g.SendVarsMethod = 1, g.LoadVariablesFlag = true;
         });
       },
       DoActionBytes({0x9A, 0x01, 0x00, 0x41})},
      {"GotoFrame2 and play, no scene bias",
       [] { return DoAction([](TSWFActionList& l) { l.Add<TSWFActionGotoFrame2>().PlayFlag = true; }); },
       DoActionBytes({0x9F, 0x01, 0x00, 0x01})},
      {"Jump and With with offsets past the list stay explicit",
       [] {
         return DoAction([](TSWFActionList& l) {
           l.Add<TSWFActionJump>().BranchOffset.Set(0x0102);
           l.Add<TSWFActionWith>().Size.Set(0x0010);
         });
       },
       DoActionBytes({0x99, 0x02, 0x00, 0x02, 0x01, 0x94, 0x02, 0x00, 0x10, 0x00})},
      {"DefineFunction2 with every flag told apart",
       [] {
         return DoAction([](TSWFActionList& l) {
           auto& f = l.Add<TSWFActionDefineFunction2>();
           f.FunctionName = "f", f.RegisterCount = 4;
           f.PreloadParent = true, f.SuppressSuper = true, f.PreloadArguments = true, f.PreloadGlobal = true;
           f.Params = {{1, "a"}, {0, "b"}};
           f.CodeSize.Set(0x40);
         });
       },
       DoActionBytes({0x8E, 0x0F, 0x00, 'f', 0, 0x02, 0x00, 0x04, 0xA4, 0x01, 0x01, 'a', 0, 0x00, 'b', 0, 0x40, 0x00})},
      {"Try catching into a register",
       [] {
         return DoAction([](TSWFActionList& l) {
           auto& t = l.Add<TSWFActionTry>();
           t.CatchInRegister = true, t.CatchBlock = true, t.CatchRegister = 7;
           t.TrySize.Set(0x30), t.CatchSize.Set(0x31), t.FinallySize.Set(0x32);
         });
       },
       DoActionBytes({0x8F, 0x08, 0x00, 0x05, 0x30, 0x00, 0x31, 0x00, 0x32, 0x00, 0x07})},
      {"Try catching into a name, with a finally block",
       [] {
         return DoAction([](TSWFActionList& l) {
           auto& t = l.Add<TSWFActionTry>();
           t.FinallyBlock = true, t.CatchName = "e";
           t.TrySize.Set(0x10), t.FinallySize.Set(0x20);
         });
       },
       DoActionBytes({0x8F, 0x09, 0x00, 0x02, 0x10, 0x00, 0x00, 0x00, 0x20, 0x00, 'e', 0})},
      {"an unknown code keeps its payload",
       [] {
         return DoAction([](TSWFActionList& l) {
           auto unknown = std::make_unique<TSWFActionUnknown>(0xC0);
           unknown->Payload = {1, 2, 3};
           l.Add(std::move(unknown));
         });
       },
       DoActionBytes({0xC0, 0x03, 0x00, 1, 2, 3})},
  };
}

std::vector<TagCase> ActionTagCases() {
  std::vector<TagCase> cases = EveryActionCases();
  std::vector<TagCase> more = {
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
  cases.insert(cases.end(), more.begin(), more.end());
  return cases;
}

// Every code of the library's table is made by some row, and the factory
// makes each code's own class.
TEST(ActionTags, EveryActionCodeHasARow) {
  std::set<std::uint8_t> covered;
  for (const auto& c : ActionTagCases()) {
    const auto tag = c.make();
    for (const auto& a : dynamic_cast<const TSWFDoAction&>(*tag).Actions) covered.insert(a->ActionCode);
  }
  for (const TActionCode& row : kActionCodes) {
    EXPECT_EQ(covered.count(row.Code), 1u) << row.Name << " has no row";
    const auto made = CreateAction(row.Code);
    ASSERT_NE(made, nullptr) << row.Name;
    EXPECT_EQ(made->ActionCode, row.Code) << row.Name;
    EXPECT_EQ(made->Clone()->ActionCode, row.Code) << row.Name;
  }
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
