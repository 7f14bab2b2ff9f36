// Lists of file names as other programs write them: lines or NUL-ended
// names, read from memory and from a file (standard input: many_files_test).
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "TempDir.h"
#include "run/FileList.h"

namespace movara::run {
namespace {

using Names = std::vector<std::string>;
using namespace std::string_literals;

struct ListCase {
  const char* what;
  std::string bytes;
  TListSeparator separator;
  Names names;
};

const ListCase kCases[] = {
    {"lines", "a.gif\nb c.gif\n", TListSeparator::Newline, {"a.gif", "b c.gif"}},
    {"no newline after the last", "a.gif\nb.gif", TListSeparator::Newline, {"a.gif", "b.gif"}},
    {"empty lines skipped", "\n\na.gif\n\n", TListSeparator::Newline, {"a.gif"}},
    {"carriage return and spaces kept", " a.gif\r\n-b.gif \n", TListSeparator::Newline, {" a.gif\r", "-b.gif "}},
    {"bytes that are not UTF-8", "caf\xe9.gif\n\xff\xfe.gif\n", TListSeparator::Newline, {"caf\xe9.gif", "\xff\xfe.gif"}},
    {"a newline splits a name of a line list", "two\nlines.gif\n", TListSeparator::Newline, {"two", "lines.gif"}},
    {"NUL-ended names hold newlines", "two\nlines.gif\0-x.gif\0"s, TListSeparator::Nul, {"two\nlines.gif", "-x.gif"}},
    {"no NUL after the last", "a.gif\0b.gif"s, TListSeparator::Nul, {"a.gif", "b.gif"}},
    {"empty NUL names skipped", "\0\0a.gif\0\0"s, TListSeparator::Nul, {"a.gif"}},
    {"an empty list", "", TListSeparator::Nul, {}},
    {"only separators", "\n\n", TListSeparator::Newline, {}},
};

TEST(FileList, SplitsNamesAsWritten) {
  for (const auto& c : kCases) EXPECT_EQ(SplitFileList(c.bytes, c.separator), c.names) << c.what;
}

TEST(FileList, NulInALineListIsRefused) {
  try {
    SplitFileList("a.gif\0b.gif\0"s, TListSeparator::Newline);
    FAIL() << "a NUL byte in a list of lines was taken as part of a name";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("--null"), std::string::npos) << e.what();
  }
}

TEST(FileList, ReadsAFileAndSaysWhyItCannot) {
  test::TempDir dir;
  const std::string text = "x y.gif\0\xe9.gif\0"s;
  const auto list = dir.Write("list", test::Bytes(text.begin(), text.end()));
  EXPECT_EQ(ReadFileList(list, TListSeparator::Nul), (Names{"x y.gif", "\xe9.gif"}));
  for (const auto& missing : {dir.path / "missing", dir.path}) {
    try {
      ReadFileList(missing, TListSeparator::Newline);
      FAIL() << missing << " was read";
    } catch (const std::runtime_error& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(missing.string()), std::string::npos) << message;
      EXPECT_TRUE(message.find("No such file") != std::string::npos || message.find("Is a directory") != std::string::npos)
          << message;
    }
  }
}

}  // namespace
}  // namespace movara::run
