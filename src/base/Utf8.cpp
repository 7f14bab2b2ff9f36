#include "base/Utf8.h"

namespace movara {

TUtf8Sequence Utf8SequenceAt(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {1, lead};
  // The sequence's length, the lead's bits and the least code point of that
  // length.
  std::size_t length = 0;
  char32_t cp = 0, least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2, cp = lead & 0x1F, least = 0x80;
  if (lead >= 0xE0 && lead <= 0xEF) length = 3, cp = lead & 0x0F, least = 0x800;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4, cp = lead & 0x07, least = 0x10000;
  if (length == 0 || text.size() - at < length) return {};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {};
    cp = cp << 6 | (byte(i) & 0x3F);
  }
  if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {};
  return {length, cp};
}

}  // namespace movara
