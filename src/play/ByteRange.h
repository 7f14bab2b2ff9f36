#pragma once

#include <cstdint>
#include <string>

namespace movara::play {

// What a Range field asks of a file of `size` bytes, as RFC 9110 reads it:
// the whole file (no field, another unit, a field that cannot be parsed, or
// several ranges, which a server may answer whole), one range (clamped to
// the file), or none it can satisfy (416).
struct TByteRange {
  enum class Kind { Whole, Part, Unsatisfiable };
  Kind Is = Kind::Whole;
  std::uint64_t First = 0;
  std::uint64_t Length = 0;
};
TByteRange ChooseRange(const std::string& field, std::uint64_t size);

}  // namespace movara::play
