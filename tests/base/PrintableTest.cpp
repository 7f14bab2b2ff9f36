#include <gtest/gtest.h>

#include <string>

#include "base/Printable.h"

namespace movara {
namespace {

TEST(Printable, ControlCharactersAreEscapedEverythingElseKept) {
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"plain name.gif", "plain name.gif"},
      {"a\nb\rc\td", "a\\nb\\rc\\td"},
      {"\x1b[2J", "\\x1b[2J"},
      {std::string("nul\0x", 5), "nul\\x00x"},
      {"del\x7f", "del\\x7f"},
      {"\xE5\x8A\xA8\xE7\x94\xBB \\n", "\xE5\x8A\xA8\xE7\x94\xBB \\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Printable(c.text), c.shown) << c.shown;
}

}  // namespace
}  // namespace movara
