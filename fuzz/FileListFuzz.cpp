// Feeds arbitrary bytes to the list reader, as lines and as NUL-ended names,
// and every name it finds to the report's JSON strings. No name may be
// empty or hold its separator, the names must be the input's bytes in
// order, and each JSON string must decode back to its name's bytes.
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "run/FileList.h"
#include "run/JsonText.h"

namespace {

unsigned Hex(std::string_view s) {
  unsigned value = 0;
  for (const char c : s) value = value * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'a' + 10);
  return value;
}

// Decodes the escapes JsonString writes: \udc80-\udcff give a raw byte back,
// other \u escapes are below 0x80.
std::string Decode(std::string_view json) {
  if (json.size() < 2 || json.front() != '"' || json.back() != '"') std::abort();
  json = json.substr(1, json.size() - 2);
  std::string bytes;
  for (std::size_t i = 0; i < json.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(json[i]);
    if (c < 0x20 || c == '"') std::abort();
    if (c != '\\') {
      bytes += static_cast<char>(c);
      continue;
    }
    const char e = json.at(++i);
    if (e == 'n') bytes += '\n';
    else if (e == 't') bytes += '\t';
    else if (e == 'r') bytes += '\r';
    else if (e == '"' || e == '\\') bytes += e;
    else if (e == 'u') {
      const unsigned code = Hex(json.substr(i + 1, 4));
      i += 4;
      if (code >= 0xDC80 && code <= 0xDCFF) bytes += static_cast<char>(code - 0xDC00);
      else if (code < 0x80) bytes += static_cast<char>(code);
      else std::abort();
    } else {
      std::abort();
    }
  }
  return bytes;
}

void Check(std::string_view input, movara::run::TListSeparator separator) {
  const char end = separator == movara::run::TListSeparator::Nul ? '\0' : '\n';
  std::string joined;
  try {
    for (const std::string& name : movara::run::SplitFileList(input, separator)) {
      if (name.empty() || name.find(end) != std::string::npos) std::abort();
      if (Decode(movara::run::JsonString(name)) != name) std::abort();
      joined += name;
    }
  } catch (const std::invalid_argument&) {
    if (input.find('\0') == std::string_view::npos) std::abort();
    return;
  }
  std::string expected(input);
  std::erase(expected, end);
  if (joined != expected) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  Check(input, movara::run::TListSeparator::Newline);
  Check(input, movara::run::TListSeparator::Nul);
  return 0;
}
