#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Stream.h"

namespace movara::animation {

// The eight bytes every PNG file starts with.
inline constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// A chunk's length, type and CRC.
inline constexpr std::uint64_t kChunkOverhead = 12;

std::uint32_t ReadBE32(const std::uint8_t* p);
void WriteBE32(std::vector<std::uint8_t>& out, std::uint32_t value);

struct TPngChunk {
  std::string Type;  // four letters
  std::vector<std::uint8_t> Data;
  bool Is(const char* type) const { return Type == type; }
};

// Walks a PNG stream chunk by chunk: every length is checked against what
// the stream still holds and every CRC against the chunk's bytes before the
// chunk is handed over. Failures throw AnimationError.
class TPngChunkReader {
 public:
  // Checks the signature.
  explicit TPngChunkReader(TStream& stream);
  // The next chunk, or false at the end of the stream.
  bool Next(TPngChunk& chunk);
  std::uint64_t Size() const { return stream_.Size(); }

 private:
  TStream& stream_;
};

// Appends a chunk (length, type, data, CRC) to a PNG byte stream.
void AppendChunk(std::vector<std::uint8_t>& png, const char* type, const std::uint8_t* data, std::size_t size);

// Throws AnimationError with "not an animated PNG: " before the reason.
[[noreturn]] void Refuse(const std::string& reason);

}  // namespace movara::animation
