#include "run/JsonText.h"

#include <cstdint>
#include <cstdio>
#include <utility>

namespace movara::run {

namespace {

// The length of the valid UTF-8 sequence at the start of `s` (shortest
// form, no surrogates, at most U+10FFFF); 0 when there is none.
std::size_t Utf8Length(std::string_view s) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  // The sequence's length and the least code point of that length.
  const auto [length, low] = lead >= 0xC2 && lead <= 0xDF   ? std::pair<std::size_t, std::uint32_t>{2, 0x80}
                             : lead >= 0xE0 && lead <= 0xEF ? std::pair<std::size_t, std::uint32_t>{3, 0x800}
                             : lead >= 0xF0 && lead <= 0xF4 ? std::pair<std::size_t, std::uint32_t>{4, 0x10000}
                                                            : std::pair<std::size_t, std::uint32_t>{0, 0};
  if (length == 0) return 0;
  if (s.size() < length) return 0;
  std::uint32_t cp = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i) & 0x3F);
  }
  if (cp < low || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

void AppendEscape(std::string& out, unsigned value) {
  char code[8];
  std::snprintf(code, sizeof code, "\\u%04x", value);
  out += code;
}

}  // namespace

std::string JsonString(std::string_view bytes) {
  std::string out = "\"";
  while (!bytes.empty()) {
    const unsigned char c = static_cast<unsigned char>(bytes.front());
    const std::size_t length = Utf8Length(bytes);
    if (length == 0) {
      AppendEscape(out, 0xDC00 + c);
      bytes.remove_prefix(1);
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c == 0x7F) {
      AppendEscape(out, c);
    } else {
      out.append(bytes.substr(0, length));
    }
    bytes.remove_prefix(length);
  }
  out += '"';
  return out;
}

}  // namespace movara::run
