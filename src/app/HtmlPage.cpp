#include <cctype>
#include <system_error>

#include "app/HtmlPage.h"

#include "app/MainForm.h"
#include "base/FileStream.h"

namespace movara::app {

namespace {

// Hosts of the plug-in download links in the page; browsers of today ignore
// both attributes, so neutral names serve.
constexpr const char* kDownloadHost = "download.example.com";
constexpr const char* kPluginSite = "www.example.com";

// Replaces every occurrence of a placeholder, ignoring case, in one pass.
std::string ReplaceAll(const std::string& text, const std::string& placeholder, const std::string& value) {
  const auto lower = [](std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  const std::string hay = lower(text);
  const std::string needle = lower(placeholder);
  std::string out;
  std::size_t from = 0;
  for (std::size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, from)) {
    out.append(text, from, at - from);
    out += value;
    from = at + needle.size();
  }
  out.append(text, from, std::string::npos);
  return out;
}

}  // namespace

std::string BuildTestPage(const std::string& movieName, const std::string& width, const std::string& height,
                          bool transparent, std::uintmax_t movieSize) {
  std::vector<std::string> rows = {
      "<html>",
      "<head>",
      "<title>Test page for %TT%</title>",
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">",
      "</head>",
      "<body bgcolor=\"%SS%\" text=\"#000000\">",
      "<p align=\"center\"><font size=\"6\" color=\"%NN%\">HTML Sample Page.</font></p>",
      "<font color=\"%NN%\">File: %TT%</font><BR>",
      "",
      std::string("<object classid=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\" codebase=\"http://") + kDownloadHost +
          "/pub/shockwave/cabs/flash/swflash.cab#version=5,0,0,0\" width=\"%WW%\" height=\"%HH%\">",
      "    <param name=\"movie\" value=\"%FF%\">",
      "    <param name=\"quality\" value=\"high\">",
  };
  if (transparent) rows.push_back("    <param name=\"wmode\" value=\"transparent\">");
  rows.push_back(std::string("    <embed src=\"%FF%\" quality=\"high\"") + (transparent ? " wmode=\"transparent\"" : "") +
                 " pluginspage=\"http://" + kPluginSite + "/shockwave/download/index.cgi?P1_Prod_Version=ShockwaveFlash\"");
  rows.insert(rows.end(), {"type=\"application/x-shockwave-flash\" width=\"%WW%\" height=\"%HH%\">",
                           "    </embed>",
                           "</object>",
                           "",
                           "<BR>",
                           "<font color=\"%NN%\">File size: " + std::to_string(movieSize) + " bytes</font>",
                           "</body>",
                           "</html>"});
  std::string text;
  for (std::size_t i = 0; i < rows.size(); ++i) text += (i > 0 ? "\r\n" : "") + rows[i];
  text = ReplaceAll(text, "%WW%", width);
  text = ReplaceAll(text, "%HH%", height);
  text = ReplaceAll(text, "%FF%", movieName);
  text = ReplaceAll(text, "%SS%", "#CCCCCC");
  text = ReplaceAll(text, "%NN%", "#000000");
  text = ReplaceAll(text, "%TT%", movieName);
  return text + "\r\n";
}

std::filesystem::path WriteTestPage(const std::filesystem::path& movie, const std::string& width,
                                    const std::string& height, bool transparent) {
  std::error_code ec;
  std::uintmax_t size = std::filesystem::file_size(movie, ec);
  if (ec) size = 0;
  std::filesystem::path page = movie;
  page.replace_extension(".html");
  const std::string text = BuildTestPage(movie.filename().string(), width, height, transparent, size);
  WriteFileBytes(page, std::vector<std::uint8_t>(text.begin(), text.end()));
  return page;
}

void TfrmMain::ShowHTML(const std::filesystem::path& fileName, const std::string& width, const std::string& height,
                        bool transparent) {
  const std::filesystem::path page = WriteTestPage(fileName, width, height, transparent);
  view_.ProcessMessages();
  view_.OpenDocument(page);
}

}  // namespace movara::app
