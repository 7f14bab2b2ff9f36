#include <gtest/gtest.h>

#include "play/HtmlPage.h"
#include "play/PlayerFiles.h"

namespace movara::play {
namespace {

std::string Lines(std::initializer_list<const char*> rows) {
  std::string text;
  for (const char* r : rows) text += std::string(r) + "\r\n";
  return text;
}

TEST(HtmlPage, OpaqueMovie) {
  EXPECT_EQ(BuildTestPage("My Clip.swf", "320", "200", false, 600),
            Lines({"<html>", "<head>", "<title>Test page for My Clip.swf</title>",
                   "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">", "</head>",
                   "<body bgcolor=\"#CCCCCC\" text=\"#000000\">",
                   "<p align=\"center\"><font size=\"6\" color=\"#000000\">HTML Sample Page.</font></p>",
                   "<font color=\"#000000\">File: My Clip.swf</font><BR>", "",
                   "<object classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\" codebase=\"http://download.example.com"
                   "/pub/shockwave/cabs/flash/swflash.cab#version=5,0,0,0\" width=\"320\" height=\"200\">",
                   "    <param name=\"movie\" value=\"My Clip.swf\">", "    <param name=\"quality\" value=\"high\">",
                   "    <embed src=\"My Clip.swf\" quality=\"high\" pluginspage=\"http://www.example.com"
                   "/shockwave/download/index.cgi?P1_Prod_Version=ShockwaveFlash\"",
                   "type=\"application/x-shockwave-flash\" width=\"320\" height=\"200\">", "    </embed>", "</object>", "",
                   "<BR>", "<font color=\"#000000\">File size: 600 bytes</font>", "</body>", "</html>"}));
}

TEST(HtmlPage, TransparentMovie) {
  const std::string page = BuildTestPage("a.swf", "1", "2", true, 0);
  EXPECT_NE(page.find("\r\n    <param name=\"quality\" value=\"high\">\r\n    <param name=\"wmode\" value=\"transparent\">\r\n"
                      "    <embed src=\"a.swf\" quality=\"high\" wmode=\"transparent\" pluginspage=\"http://"),
            std::string::npos);
  EXPECT_NE(page.find("File size: 0 bytes"), std::string::npos);
  EXPECT_EQ(page.substr(page.size() - 9), "</html>\r\n");
  EXPECT_EQ(page.find("\n\n"), std::string::npos) << "every line ends with CR LF";
}

TEST(HtmlPage, PlaceholdersIgnoreCaseAndApplyInOrder) {
  const std::string page = BuildTestPage("%ww%x%TT%.swf", "7", "8", false, 1);
  EXPECT_NE(page.find("<title>Test page for %ww%x%TT%.swf</title>"), std::string::npos);
  EXPECT_NE(page.find("value=\"%25ww%25x%25TT%25.swf\""), std::string::npos)
      << "in the link the name's own \"%\" is encoded, so no placeholder of it is replaced";
}

// The links name the movie's file whatever its name holds; the text shown
// is the name as before.
TEST(HtmlPage, LinksArePercentEncodedWhereANameWouldChangeTheirMeaning) {
  const struct {
    const char* name;
    const char* link;
    const char* shown;
  } cases[] = {
      {"a#b.swf", "a%23b.swf", "a#b.swf"},
      {"e?f.swf", "e%3Ff.swf", "e?f.swf"},
      {"c%41d.swf", "c%2541d.swf", "c%41d.swf"},
      {"\x80x\xE5\x8A.swf", "%80x%E5%8A.swf", "&#65533;x&#65533;&#65533;.swf"},
      {"tab\tbell\x7F.swf", "tab%09bell%7F.swf", "tab\tbell\x7F.swf"},
      {"my clip & co.swf", "my clip &amp; co.swf", "my clip &amp; co.swf"},
      {"  x y.swf  ", "%20%20x y.swf%20%20", "  x y.swf  "},
      {"\xC2\x80\xC2\x9F\xC2\xA0.swf", "%C2%80%C2%9F&#160;.swf", "&#128;&#159;&#160;.swf"},
      {"\xE5\x8A\xA8\xE7\x94\xBB.swf", "&#21160;&#30011;.swf", "&#21160;&#30011;.swf"},
  };
  for (const auto& c : cases) {
    const std::string page = BuildTestPage(c.name, "1", "1", false, 1);
    EXPECT_NE(page.find(std::string("value=\"") + c.link + "\""), std::string::npos) << c.name;
    EXPECT_NE(page.find(std::string("<embed src=\"") + c.link + "\""), std::string::npos) << c.name;
    EXPECT_NE(page.find(std::string("File: ") + c.shown + "</font>"), std::string::npos) << c.name;
  }
}

TEST(HtmlPage, NamesAreTextNotMarkup) {
  const std::string page = BuildTestPage("a\"><script>alert(1)<!--.swf", "1", "1", false, 1);
  EXPECT_EQ(page.find("<script>"), std::string::npos);
  EXPECT_EQ(page.find("<!--"), std::string::npos);
  const std::string escaped = "a&quot;&gt;&lt;script&gt;alert(1)&lt;!--.swf";
  EXPECT_NE(page.find("<title>Test page for " + escaped + "</title>"), std::string::npos);
  EXPECT_NE(page.find("File: " + escaped + "</font>"), std::string::npos);
  EXPECT_NE(page.find("value=\"" + escaped + "\""), std::string::npos);
  EXPECT_NE(page.find("<embed src=\"" + escaped + "\""), std::string::npos);
  EXPECT_EQ(EscapeHtml("Tom & Jerry.swf"), "Tom &amp; Jerry.swf");
}

TEST(HtmlPage, NamesBeyondAsciiAreCharacterReferences) {
  // Two, three and four UTF-8 bytes: u-umlaut, two CJK characters, an emoji.
  EXPECT_EQ(EscapeHtml("\xC3\xBC \xE5\x8A\xA8\xE7\x94\xBB \xF0\x9F\x98\x80.swf"),
            "&#252; &#21160;&#30011; &#128512;.swf");
  // The ends of each length's lead bytes: U+0080, U+07FF, U+E000 (0xEE),
  // U+FFFD (0xEF), U+10FFFF (0xF4).
  EXPECT_EQ(EscapeHtml("\xC2\x80\xDF\xBF\xEE\x80\x80\xEF\xBF\xBD\xF4\x8F\xBF\xBF"),
            "&#128;&#2047;&#57344;&#65533;&#1114111;");
  // Malformed sequences (a stray continuation byte, a cut sequence, an
  // overlong form, a surrogate) each stand as U+FFFD and lose nothing after.
  EXPECT_EQ(EscapeHtml("\x80" "a"), "&#65533;a");
  EXPECT_EQ(EscapeHtml("\xE5\x8A"), "&#65533;&#65533;");
  EXPECT_EQ(EscapeHtml("\xC0\xAF" "b"), "&#65533;&#65533;b");
  EXPECT_EQ(EscapeHtml("\xED\xA0\x80"), "&#65533;&#65533;&#65533;");
  const std::string page = BuildTestPage("\xE5\x8A\xA8\xE7\x94\xBB.swf", "1", "1", false, 1);
  EXPECT_NE(page.find("value=\"&#21160;&#30011;.swf\""), std::string::npos);
  for (const unsigned char c : page) EXPECT_LT(c, 0x80) << "the page is plain ASCII";
}

// The player goes just before the end of the head however it is written,
// and at the start of a page without one.
TEST(PlayerFiles, ThePlayerGoesAtTheEndOfTheHead) {
  const std::string player = PageWithPlayer("", "p.js");
  const struct {
    std::string page;
    std::size_t at;
  } cases[] = {{"<head><title>a</title></head><body>", 22},
               {"<HEAD><TITLE>a</TITLE></HEAD><BODY>", 22},
               {"<Head></Head>", 6},
               {"<body>no head</body>", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page);
    const std::string served = PageWithPlayer(c.page, "p.js");
    EXPECT_EQ(served, c.page.substr(0, c.at) + player + c.page.substr(c.at));
  }
  EXPECT_TRUE(player.ends_with("<script src=\"p.js\"></script>\r\n")) << player;
}

}  // namespace
}  // namespace movara::play
