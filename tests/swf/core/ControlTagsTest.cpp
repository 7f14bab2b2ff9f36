#include <crypt.h>
#include <gtest/gtest.h>

#include "TagCases.h"
#include "swf/core/ControlTags.h"

namespace movara::swf {
namespace {

using test::Bytes;
using test::TagCase;

std::vector<TagCase> ControlTagCases() {
  return {
      {"ShowFrame", [] { return std::make_unique<TSWFShowFrame>(); }, {0x40, 0x00}},
      {"End", [] { return std::make_unique<TSWFEnd>(); }, {0x00, 0x00}},
      {"white background",
       [] {
         auto t = std::make_unique<TSWFSetBackgroundColor>();
         t->Color.SetRGB(0xFFFFFF);
         return t;
       },
       {0x43, 0x02, 0xFF, 0xFF, 0xFF}},
      {"background red green blue order",
       [] {
         auto t = std::make_unique<TSWFSetBackgroundColor>();
         t->Color.SetRGB(0x563412);
         return t;
       },
       {0x43, 0x02, 0x12, 0x34, 0x56}},
      {"frame label", [] { return std::make_unique<TSWFFrameLabel>("go"); }, {0xC3, 0x0A, 'g', 'o', 0x00}},
      {"frame label with anchor",
       [] {
         auto t = std::make_unique<TSWFFrameLabel>("a");
         t->NamedAnchor = true;
         return t;
       },
       {0xC3, 0x0A, 'a', 0x00, 0x01}},
      {"protect without password", [] { return std::make_unique<TSWFProtect>(); }, {0x00, 0x06}},
      {"protect with a stored hash",
       [] {
         auto t = std::make_unique<TSWFProtect>();
         t->Hash = "$1$ab$x";
         return t;
       },
       {0x0A, 0x06, 0x00, 0x00, '$', '1', '$', 'a', 'b', '$', 'x', 0x00}},
  };
}

TEST(ControlTags, TableOfBytes) {
  for (const auto& c : ControlTagCases()) test::CheckTagCase(c);
}

TEST(ControlTags, TruncatedTagsThrow) {
  for (const auto& c : ControlTagCases()) test::CheckTruncationsThrow(c);
}

TEST(ControlTags, MinVersions) {
  TSWFFrameLabel label("x");
  EXPECT_EQ(label.MinVersion(), 3);
  label.NamedAnchor = true;
  EXPECT_EQ(label.MinVersion(), 6);
  TSWFProtect protect;
  EXPECT_EQ(protect.MinVersion(), 2);
  protect.Password = "secret";
  EXPECT_EQ(protect.MinVersion(), 5);
  EXPECT_EQ(TSWFShowFrame().MinVersion(), 1);
}

TEST(ControlTags, ReadFieldsBack) {
  auto label = test::ReadOneTag({0xC3, 0x0A, 'a', 0x00, 0x01}, 6);
  const auto& l = dynamic_cast<TSWFFrameLabel&>(*label);
  EXPECT_EQ(l.Name, "a");
  EXPECT_TRUE(l.NamedAnchor);
  auto bg = test::ReadOneTag({0x43, 0x02, 0x12, 0x34, 0x56}, 6);
  EXPECT_EQ(dynamic_cast<TSWFSetBackgroundColor&>(*bg).Color.RGB(), 0x563412u);
  // A label body with more than one byte after the name is not a label.
  EXPECT_THROW(test::ReadOneTag({0xC4, 0x0A, 'a', 0x00, 0x01, 0x01}, 6), SWFFormatError);
}

TEST(ControlTags, ProtectHashVerifiesWithTheSystemCrypt) {
  TSWFProtect protect;
  protect.Password = "open sesame";
  const Bytes bytes = test::WriteTag(protect);
  auto back = test::ReadOneTag(bytes, 6);
  const std::string hash = dynamic_cast<TSWFProtect&>(*back).Hash;
  ASSERT_EQ(hash.size(), 3u + 2u + 1u + 22u);
  EXPECT_EQ(hash.substr(0, 3), "$1$");
  EXPECT_EQ(hash[5], '$');
  crypt_data data{};
  EXPECT_STREQ(crypt_r("open sesame", hash.c_str(), &data), hash.c_str());
  crypt_data other{};
  EXPECT_STRNE(crypt_r("open sesam", hash.c_str(), &other), hash.c_str());
  // Framing: code 24, long form not needed, reserved word, hash, zero.
  EXPECT_EQ(bytes[0], static_cast<std::uint8_t>(24 * 64 + 2 + 28 + 1));
  EXPECT_EQ(bytes[2], 0);
  EXPECT_EQ(bytes[3], 0);
}

TEST(ControlTags, AssignFromCopiesTheSameClassOnly) {
  TSWFFrameLabel source("scene");
  source.NamedAnchor = true;
  TSWFFrameLabel target;
  target.AssignFrom(source);
  EXPECT_EQ(target.Name, "scene");
  EXPECT_TRUE(target.NamedAnchor);
  target.AssignFrom(TSWFShowFrame());
  EXPECT_EQ(target.Name, "scene");
}

}  // namespace
}  // namespace movara::swf
