#pragma once

#include <cstddef>
#include <string_view>

namespace movara {

// A UTF-8 sequence read from text: its length in bytes, 0 when the bytes
// there are not a valid sequence (a stray or missing continuation byte, an
// overlong form, a surrogate or a value past U+10FFFF), and its code point.
struct TUtf8Sequence {
  std::size_t Length = 0;
  char32_t CodePoint = 0;
};

// The sequence at byte `at` of `text` (which must be within it).
TUtf8Sequence Utf8SequenceAt(std::string_view text, std::size_t at);

}  // namespace movara
