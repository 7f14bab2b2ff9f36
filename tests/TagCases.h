#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestBytes.h"
#include "swf/core/SWFObject.h"
#include "swf/core/TagDump.h"
#include "swf/core/TagReader.h"

namespace movara::test {

// One row of a tag table: a tag built in code and the exact bytes it frames to.
struct TagCase {
  std::string name;
  std::function<std::unique_ptr<swf::TSWFObject>()> make;
  Bytes bytes;
  std::uint8_t version = 6;
};

inline Bytes WriteTag(swf::TSWFObject& tag) {
  return Written([&](swf::TBitsEngine& be) { tag.WriteToStream(be); });
}

inline std::unique_ptr<swf::TSWFObject> ReadOneTag(const Bytes& bytes, std::uint8_t version) {
  TMemoryViewStream stream(bytes);
  swf::TBitsEngine be(stream);
  auto tag = swf::ReadTag(be, version);
  EXPECT_EQ(stream.Remaining(), 0u);
  return tag;
}

// The checks of a table row: writing gives the bytes; reading them gives a
// tag of the same class and code with the same field values (compared
// through their dumps, which show every field); writing what was read gives
// the bytes again.
inline void CheckTagCase(const TagCase& c) {
  SCOPED_TRACE(c.name);
  auto tag = c.make();
  EXPECT_EQ(WriteTag(*tag), c.bytes);
  auto back = ReadOneTag(c.bytes, c.version);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(typeid(*back), typeid(*tag));
  EXPECT_EQ(back->TagCode, tag->TagCode);
  EXPECT_EQ(swf::DescribeTag(*back), swf::DescribeTag(*tag));
  EXPECT_EQ(WriteTag(*back), c.bytes);
}

// A truncated tag must throw, never read on: every proper prefix of the bytes.
inline void CheckTruncationsThrow(const TagCase& c) {
  SCOPED_TRACE(c.name);
  for (std::size_t cut = 0; cut < c.bytes.size(); ++cut) {
    const Bytes prefix(c.bytes.begin(), c.bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    TMemoryViewStream stream(prefix);
    swf::TBitsEngine be(stream);
    EXPECT_ANY_THROW(swf::ReadTag(be, c.version)) << "cut at " << cut;
  }
}

}  // namespace movara::test
