#include <cctype>
#include <system_error>

#include "play/HtmlPage.h"

#include "base/FileStream.h"
#include "base/PartialFile.h"
#include "base/Utf8.h"

namespace movara::play {

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

// Decodes the UTF-8 sequence at `at`; U+FFFD for a malformed one, of which
// one byte is consumed.
char32_t NextCodePoint(const std::string& text, std::size_t& at) {
  const TUtf8Sequence sequence = Utf8SequenceAt(text, at);
  if (sequence.Length == 0) return ++at, U'\uFFFD';
  at += sequence.Length;
  return sequence.CodePoint;
}

}  // namespace

std::string EncodeLink(const std::string& name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const auto encode = [&](std::string& out, unsigned char c) {
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
  };
  std::string out;
  const std::size_t first = name.find_first_not_of(' ');
  const std::size_t last = name.find_last_not_of(' ');
  for (std::size_t at = 0; at < name.size();) {
    const auto c = static_cast<unsigned char>(name[at]);
    if (c >= 0x80) {
      const std::size_t from = at;
      const char32_t point = NextCodePoint(name, at);
      // A malformed byte is the only thing a single-byte step consumes. A
      // C1 control would reach the page as a character reference, which
      // HTML reads as another character: its bytes are encoded too.
      if (at - from == 1 || point < 0xA0) {
        for (std::size_t i = from; i < at; ++i) encode(out, static_cast<unsigned char>(name[i]));
      } else {
        out.append(name, from, at - from);
      }
      continue;
    }
    // A browser drops the spaces at either end of a link: those are encoded.
    const bool end = at < first || at > last;
    ++at;
    if (c < 0x20 || c == 0x7F || c == '#' || c == '?' || c == '%' || (c == ' ' && end)) {
      encode(out, c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string EscapeHtml(const std::string& text) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const char c = text[at];
    if (static_cast<unsigned char>(c) >= 0x80) {
      out += "&#" + std::to_string(static_cast<std::uint32_t>(NextCodePoint(text, at))) + ";";
      continue;
    }
    ++at;
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

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
  // The name is the user's: it goes into the page as text, never as markup,
  // and in any language whatever the page's declared character set; in the
  // links it names the file whatever characters it holds.
  const std::string name = EscapeHtml(movieName);
  text = ReplaceAll(text, "%FF%", EscapeHtml(EncodeLink(movieName)));
  text = ReplaceAll(text, "%SS%", "#CCCCCC");
  text = ReplaceAll(text, "%NN%", "#000000");
  text = ReplaceAll(text, "%TT%", name);
  return text + "\r\n";
}

std::optional<std::filesystem::path> WriteTestPage(const std::filesystem::path& movie, const std::string& width,
                                                   const std::string& height, bool transparent, bool replace) {
  std::error_code ec;
  std::uintmax_t size = std::filesystem::file_size(movie, ec);
  if (ec) size = 0;
  std::filesystem::path page = movie;
  page.replace_extension(".html");
  const std::string text = BuildTestPage(movie.filename().string(), width, height, transparent, size);
  // Like the movie: complete or not at all, an earlier page kept on failure.
  TPartialFile partial(page);
  partial.Stream().Write(text.data(), text.size());
  if (!partial.Commit(replace)) return std::nullopt;
  return page;
}

}  // namespace movara::play
