// The report's lines: names as JSON strings that give every byte back, and
// each kind of line as programs read it.
#include <gtest/gtest.h>

#include <string>

#include "run/JsonText.h"
#include "run/RunRecords.h"

namespace movara::run {
namespace {

TEST(JsonText, NamesKeepEveryByte) {
  const struct {
    const char* what;
    std::string bytes;
    std::string json;
  } cases[] = {
      {"plain", "a b.gif", R"("a b.gif")"},
      {"quote and backslash", "a\"b\\c", R"("a\"b\\c")"},
      {"control characters", "\n\t\r\x01\x1f\x7f", R"("\n\t\r\u0001\u001f\u007f")"},
      {"UTF-8 as it is", "\xe4\xb8\xad \xf0\x9f\x98\x80.gif", "\"\xe4\xb8\xad \xf0\x9f\x98\x80.gif\""},
      {"a Latin-1 byte", "caf\xe9.gif", R"("caf\udce9.gif")"},
      {"a cut sequence", "\xe4\xb8.gif", R"("\udce4\udcb8.gif")"},
      {"an overlong slash", "\xc0\xaf", R"("\udcc0\udcaf")"},
      {"an encoded surrogate", "\xed\xa0\x80", R"("\udced\udca0\udc80")"},
      {"beyond U+10FFFF", "\xf4\x90\x80\x80", R"("\udcf4\udc90\udc80\udc80")"},
      {"a lone continuation byte", "\x80", R"("\udc80")"},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonString(c.bytes), c.json) << c.what;
}

TEST(RunRecords, LinesOfEachKind) {
  TFileRecord converted;
  converted.Input = "/in/a.gif";
  converted.Movie = "/out/a.swf";
  converted.Page = "/out/a.html";
  converted.GifFrames = 3;
  converted.MovieFrames = 10;
  converted.Bytes = 1234;
  converted.Seconds = 0.25;
  EXPECT_EQ(FileRecordLine(converted),
            R"({"type":"file","input":"/in/a.gif","movie":"/out/a.swf","page":"/out/a.html","outcome":"converted",)"
            R"("code":0,"reason":"","gif_frames":3,"movie_frames":10,"bytes":1234,"seconds":0.250})"
            "\n");
  TFileRecord failed;
  failed.Input = "/in/\xff.gif";
  failed.Movie = "/out/\xff.swf";
  failed.Outcome = TFileOutcome::NotReached;
  failed.Code = 1;
  failed.Reason = "stopped";
  EXPECT_EQ(FileRecordLine(failed),
            R"({"type":"file","input":"/in/\udcff.gif","movie":"/out/\udcff.swf","page":null,"outcome":"not reached",)"
            R"("code":1,"reason":"stopped","gif_frames":null,"movie_frames":null,"bytes":0,"seconds":0.000})"
            "\n");
  EXPECT_EQ(UnreadableFolderLine("/in/locked", "Permission denied"),
            R"({"type":"folder","folder":"/in/locked","reason":"Permission denied"})"
            "\n");
  TRunSummary summary{10, 3, 1, 1, 0, 0, 1, 0, {2, 4}, 130, 1.5};
  EXPECT_EQ(SummaryLine(summary),
            R"({"type":"summary","planned":10,"files":3,"converted":1,"kept":1,"failed":0,"refused":0,)"
            R"("not_reached":1,"unreadable_folders":0,"shard":"2/4","status":130,"seconds":1.500})"
            "\n");
}

}  // namespace
}  // namespace movara::run
