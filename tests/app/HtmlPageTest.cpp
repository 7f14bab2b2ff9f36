#include <gtest/gtest.h>

#include "app/MainForm.h"

namespace movara::app {
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
  EXPECT_NE(page.find("value=\"%ww%x%ww%x%TT%.swf.swf\""), std::string::npos)
      << "%FF% is replaced before %TT%, so the name's own %TT% takes the name again";
}

}  // namespace
}  // namespace movara::app
