#include "imaging/GIFLZW.h"

#include <algorithm>

#include "imaging/GIFException.h"

namespace movara::imaging {

std::uint64_t LZWPixelBound(std::size_t dataBytes, std::uint8_t minCodeSize) {
  // Every code takes at least minCodeSize + 1 bits and expands to at most the
  // expansion stack plus one pixel.
  const std::uint64_t codes = std::uint64_t{dataBytes} * 8 / (std::uint64_t{minCodeSize} + 1) + 1;
  return codes * (kLZWStackSize + 1);
}

TLZWResult DecodeLZW(std::span<const std::uint8_t> data, std::uint8_t minCodeSize, std::uint8_t* out,
                     std::size_t count) {
  if (minCodeSize > kLZWMaxMinCodeSize) throw GIFException(gifmsg::kBadTable);
  TLZWResult result;
  if (count == 0) return result;

  std::uint16_t prefix[kLZWTableSize];
  std::uint8_t suffix[kLZWTableSize];
  std::uint8_t stack[kLZWStackSize + 1];

  const std::uint32_t clear = 1u << minCodeSize;
  const std::uint32_t end = clear + 1;
  for (std::uint32_t i = 0; i < clear; ++i) prefix[i] = 0, suffix[i] = static_cast<std::uint8_t>(i);

  const std::uint8_t* bytes = data.data();
  const std::uint64_t totalBits = std::uint64_t{data.size()} * 8;
  std::uint64_t bitPos = 0;
  std::uint32_t codeSize = 0;
  std::uint32_t codeMask = 0;
  // Codes are read least significant bit first; a code is at most 12 bits,
  // so three bytes from its first one always hold it.
  const auto readCode = [&](std::uint32_t& code) {
    if (bitPos + codeSize > totalBits) {
      result.Underrun = bitPos >= totalBits;
      return false;
    }
    const std::size_t at = static_cast<std::size_t>(bitPos >> 3);
    const std::uint32_t window = bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16);
    code = (window >> (bitPos & 7)) & codeMask;
    bitPos += codeSize;
    return true;
  };

  std::size_t pos = 0;
  std::uint32_t next = 0;
  std::uint32_t limit = 0;
  std::uint32_t prev = 0;
  std::uint8_t first = 0;
  std::uint32_t code = clear;  // the first request answers with a clear code
  for (;;) {
    if (code == clear) {
      std::fill(prefix + clear, prefix + kLZWTableSize, 0);
      std::fill(suffix + clear, suffix + kLZWTableSize, 0);
      codeSize = minCodeSize + 1u;
      codeMask = (1u << codeSize) - 1;
      limit = 2 * clear;
      next = clear + 2;
      do {
        if (!readCode(code)) return result;
      } while (code == clear);
      if (code == end) return result;
      // The first code after a clear is its own string.
      prev = code;
      first = static_cast<std::uint8_t>(code);
      out[pos++] = first;
    } else if (code == end) {
      return result;
    } else {
      std::uint32_t sp = 0;
      std::uint32_t cur = code;
      if (code >= next) {
        stack[sp++] = first;
        cur = prev;
      }
      while (cur >= clear) {
        if (prefix[cur] == cur || sp >= kLZWStackSize) throw GIFException(gifmsg::kBadTable);
        stack[sp++] = suffix[cur];
        cur = prefix[cur];
      }
      stack[sp++] = static_cast<std::uint8_t>(cur);
      first = static_cast<std::uint8_t>(cur);
      if (next < kLZWTableSize) {
        prefix[next] = static_cast<std::uint16_t>(prev);
        suffix[next] = first;
        ++next;
        if (next == limit && limit < kLZWTableSize) {
          limit *= 2;
          ++codeSize;
          codeMask = (1u << codeSize) - 1;
        }
      }
      prev = code;
      const std::size_t n = std::min<std::size_t>(sp, count - pos);
      std::uint8_t* dst = out + pos;
      for (std::size_t i = 0; i < n; ++i) dst[i] = stack[sp - 1 - i];
      pos += n;
    }
    result.Pixels = pos;
    if (pos >= count) return result;
    if (!readCode(code)) return result;
  }
}

}  // namespace movara::imaging
