#pragma once

#include <cstdint>
#include <vector>

#include "base/Stream.h"

namespace movara::media {

// Random reads from a stream through a window of its bytes, so that scans
// that look at every position do not seek the file for every byte. Nothing
// is read outside the stream.
class TByteWindow {
 public:
  explicit TByteWindow(TStream& stream);

  std::uint64_t Size() const { return size_; }
  // Copies count bytes at offset into out; false when they are not all
  // inside the stream.
  bool Peek(std::uint64_t offset, std::uint8_t* out, std::size_t count);

 private:
  static constexpr std::size_t kWindow = 64 * 1024;
  TStream& stream_;
  std::uint64_t size_;
  std::uint64_t start_ = 0;
  std::vector<std::uint8_t> bytes_;
};

inline std::uint16_t LE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t LE32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace movara::media
