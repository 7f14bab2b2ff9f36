#include <gtest/gtest.h>

#include "TagCases.h"
#include "swf/core/ShapeTags.h"

namespace movara::swf {
namespace {

using test::Bytes;
using test::TagCase;

std::unique_ptr<TSWFColorFill> Solid(std::uint32_t rgba) {
  auto f = std::make_unique<TSWFColorFill>();
  f->Color.SetRGBA(rgba);
  return f;
}

template <class T = TSWFDefineShape>
std::unique_ptr<T> OneFillShape() {
  auto s = std::make_unique<T>();
  s->ShapeID = 1;
  s->FillStyles.push_back(Solid(0x800000FF));
  auto change = std::make_unique<TSWFStyleChangeRecord>();
  change->SetFillStyle0(1);
  change->SetLineStyle(1);  // dropped: there are no line styles
  s->Records.push_back(std::move(change));
  return s;
}

std::vector<TagCase> ShapeCases() {
  return {
      {"no records: the end record alone",
       [] {
         auto s = std::make_unique<TSWFDefineShape>();
         s->ShapeID = 1;
         return s;
       },
       {0x87, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"one fill and no line style",
       [] { return OneFillShape(); },
       {0x8C, 0x00, 0x01, 0x00, 0x00, 0x01, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x10, 0x0A, 0x00}},
      {"the same as DefineShape3 writes alpha",
       [] { return OneFillShape<TSWFDefineShape3>(); },
       {0x0D, 0x08, 0x01, 0x00, 0x00, 0x01, 0x00, 0xFF, 0x00, 0x00, 0x80, 0x00, 0x10, 0x0A, 0x00}},
      {"bounds, a line style and a vertical edge",
       [] {
         auto s = std::make_unique<TSWFDefineShape>();
         s->ShapeID = 2;
         s->ShapeBounds.SetRect(0, 0, 20, 200);
         TSWFLineStyle line;
         line.Width = 20;
         line.Color.SetRGB(0x0000FF);
         s->LineStyles.push_back(line);
         auto change = std::make_unique<TSWFStyleChangeRecord>();
         change->SetLineStyle(1);
         s->Records.push_back(std::move(change));
         s->Records.push_back(std::make_unique<TSWFStraightEdgeRecord>(0, 200));
         return s;
       },
       // RECT nbits 9: 01001 000000000 000010100 000000000 011001000 (6 bytes);
       // records: 0 0 1 0 0 0 | 1 | 1 1 0111 0 1 011001000 | 000000.
       {0x94, 0x00, 0x02, 0x00, 0x48, 0x00, 0x28, 0x00, 0x64, 0x00, 0x00, 0x01, 0x14, 0x00, 0xFF, 0x00, 0x00, 0x01,
        0x23, 0xBA, 0xC8, 0x00}},
  };
}

TEST(ShapeTags, TableOfBytes) {
  for (const auto& c : ShapeCases()) test::CheckTagCase(c);
}

TEST(ShapeTags, TruncatedTagsThrow) {
  for (const auto& c : ShapeCases()) test::CheckTruncationsThrow(c);
}

TEST(ShapeTags, EdgeRecords) {
  const auto bits = [](TSWFShapeRecord&& r) {
    return test::Written([&](TBitsEngine& be) {
      r.WriteToStream(be);
      be.FlushBits(true);
    });
  };
  EXPECT_EQ(bits(TSWFStraightEdgeRecord(0, 200)), (Bytes{0xDD, 0x64, 0x00}));
  EXPECT_EQ(bits(TSWFStraightEdgeRecord(200, 0)), (Bytes{0xDC, 0x64, 0x00}));
  // General line (3, -3): 1 1, n = 3 as 0001, general 1, then 011 101.
  EXPECT_EQ(bits(TSWFStraightEdgeRecord(3, -3)), (Bytes{0xC6, 0xE8}));
  EXPECT_TRUE(bits(TSWFStraightEdgeRecord(0, 0)).empty());
  EXPECT_TRUE(bits(TSWFCurvedEdgeRecord()).empty());
  TSWFCurvedEdgeRecord curve;
  curve.ControlDeltaX = 1;
  // 1 0, n = 2 as 0000, then 01 00 00 00.
  EXPECT_EQ(bits(std::move(curve)), (Bytes{0x81, 0x00}));
}

TEST(ShapeTags, StyleArrayCounts) {
  for (const std::size_t count : {std::size_t{254}, std::size_t{255}}) {
    TSWFDefineShape s;
    for (std::size_t i = 0; i < count; ++i) s.FillStyles.push_back(Solid(0));
    const Bytes bytes = test::Written([&](TBitsEngine& be) { s.WriteTagBody(be); });
    if (count == 254) {
      EXPECT_EQ(bytes[3], 0xFE);
    } else {
      EXPECT_EQ(Bytes(bytes.begin() + 3, bytes.begin() + 6), (Bytes{0xFF, 0xFF, 0x00}));
    }
    TSWFDefineShape back;
    ReadTagBody(back, bytes);
    EXPECT_EQ(back.FillStyles.size(), count);
  }
}

TEST(ShapeTags, StyleFlagsWithoutStylesAreCleared) {
  TSWFDefineShape s;
  auto change = std::make_unique<TSWFStyleChangeRecord>();
  change->SetFillStyle0(1);
  change->SetFillStyle1(1);
  auto* raw = change.get();
  s.Records.push_back(std::move(change));
  const Bytes bytes = test::Written([&](TBitsEngine& be) { s.WriteTagBody(be); });
  EXPECT_FALSE(raw->StateFillStyle0);
  EXPECT_FALSE(raw->StateFillStyle1);
  // A record with no state left still moves (to 0, 0) so it cannot read as
  // the end: 0 00001 00000, then the end record.
  EXPECT_EQ(Bytes(bytes.begin() + 6, bytes.end()), (Bytes{0x04, 0x00, 0x00}));
}

TEST(ShapeTags, NewStylesInARecordAndEndRecordsInTheMiddle) {
  TSWFDefineShape3 s;
  auto change = std::make_unique<TSWFStyleChangeRecord>();
  change->NewFillStyles().push_back(Solid(0xFF00FF00));
  change->NewFillStyles().push_back(Solid(0xFFFF0000));
  s.Records.push_back(std::move(change));
  s.Records.push_back(std::make_unique<TSWFEndShapeRecord>());
  auto use = std::make_unique<TSWFStyleChangeRecord>();
  use->SetFillStyle1(2);
  s.Records.push_back(std::move(use));
  const Bytes bytes = test::Written([&](TBitsEngine& be) { s.WriteTagBody(be); });
  // id, rect, 0 fills, 0 lines, bits 00; then 0 1 000 1 00000 | pad;
  // 2 fills of 5 bytes, 0 lines, bits 2/0: 0x20; the middle end record is
  // dropped; fill1 record 0 00100 with index 10; end 000000.
  EXPECT_EQ(bytes, (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x44, 0x00, 0x02, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00,
                          0x00, 0x00, 0xFF, 0xFF, 0x00, 0x20, 0x12, 0x00}));
  TSWFDefineShape3 back;
  ReadTagBody(back, bytes);
  ASSERT_EQ(back.Records.size(), 3u);
  EXPECT_EQ(test::Written([&](TBitsEngine& be) { back.WriteTagBody(be); }), bytes);
}

TEST(ShapeTags, RandomShapesRoundTrip) {
  for (int round = 0; round < 300; ++round) {
    const bool alpha = test::RandomInt(0, 1) != 0;
    std::unique_ptr<TSWFDefineShape> s = alpha ? std::make_unique<TSWFDefineShape3>() : std::make_unique<TSWFDefineShape>();
    s->ShapeID = static_cast<std::uint16_t>(test::RandomInt(1, 65535));
    s->ShapeBounds.SetRect(test::RandomInt(-9999, 9999), test::RandomInt(-9999, 9999), test::RandomInt(-9999, 9999),
                           test::RandomInt(-9999, 9999));
    for (int i = test::RandomInt(0, 4); i > 0; --i) {
      switch (test::RandomInt(0, 2)) {
        case 0: s->FillStyles.push_back(Solid(static_cast<std::uint32_t>(test::RandomInt(0, 0x7FFFFFFF)) | 0xFF000000u)); break;
        case 1: {
          auto g = std::make_unique<TSWFGradientFill>(test::RandomInt(0, 1) ? 0x10 : 0x12);
          g->Matrix.SetScale(2.0, 0.5);
          for (int k = test::RandomInt(1, 8); k > 0; --k) {
            TSWFGradientFill::Entry e;
            e.Ratio = static_cast<std::uint8_t>(test::RandomInt(0, 255));
            e.Color.SetRGBA(0xFF000000u | static_cast<std::uint32_t>(test::RandomInt(0, 0xFFFFFF)));
            g->Entries.push_back(e);
          }
          s->FillStyles.push_back(std::move(g));
          break;
        }
        default: {
          auto f = std::make_unique<TSWFImageFill>();
          f->BitmapID = static_cast<std::uint16_t>(test::RandomInt(1, 65535));
          f->Matrix.SetTranslate(test::RandomInt(-500, 500), test::RandomInt(-500, 500));
          s->FillStyles.push_back(std::move(f));
        }
      }
    }
    for (int i = test::RandomInt(0, 2); i > 0; --i) {
      TSWFLineStyle l;
      l.Width = static_cast<std::uint16_t>(test::RandomInt(0, 400));
      l.Color.SetRGB(static_cast<std::uint32_t>(test::RandomInt(0, 0xFFFFFF)));
      s->LineStyles.push_back(l);
    }
    for (int i = test::RandomInt(0, 10); i > 0; --i) {
      switch (test::RandomInt(0, 2)) {
        case 0: {
          auto c = std::make_unique<TSWFStyleChangeRecord>();
          c->SetMoveTo(test::RandomInt(-60000, 60000), test::RandomInt(-60000, 60000));
          if (!s->FillStyles.empty()) c->SetFillStyle0(static_cast<std::uint16_t>(test::RandomInt(0, static_cast<int>(s->FillStyles.size()))));
          if (!s->LineStyles.empty()) c->SetLineStyle(static_cast<std::uint16_t>(test::RandomInt(0, static_cast<int>(s->LineStyles.size()))));
          s->Records.push_back(std::move(c));
          break;
        }
        case 1:
          s->Records.push_back(std::make_unique<TSWFStraightEdgeRecord>(test::RandomInt(-65535, 65535), test::RandomInt(-65535, 65535)));
          break;
        default: {
          auto c = std::make_unique<TSWFCurvedEdgeRecord>();
          c->ControlDeltaX = test::RandomInt(-30000, 30000), c->ControlDeltaY = test::RandomInt(-30000, 30000);
          c->AnchorDeltaX = test::RandomInt(-30000, 30000), c->AnchorDeltaY = test::RandomInt(-30000, 30000);
          s->Records.push_back(std::move(c));
        }
      }
    }
    const Bytes bytes = test::WriteTag(*s);
    auto back = test::ReadOneTag(bytes, 6);
    ASSERT_EQ(test::WriteTag(*back), bytes) << "round " << round;
    const auto& shape = dynamic_cast<TSWFDefineShape&>(*back);
    EXPECT_EQ(shape.ShapeBounds, s->ShapeBounds);
    EXPECT_EQ(shape.FillStyles.size(), s->FillStyles.size());
  }
}

}  // namespace
}  // namespace movara::swf
