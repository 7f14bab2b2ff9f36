#include "run/JsonText.h"

#include <cstdint>
#include <cstdio>

#include "base/Utf8.h"

namespace movara::run {

namespace {

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
    const std::size_t length = Utf8SequenceAt(bytes, 0).Length;
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
