#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace movara {

// Deflates a block in the zlib format with a faster compressor than zlib's
// (smaller output as well, at its chosen level). Any zlib inflater reads it;
// the bytes differ from ZlibCompress's.
std::vector<std::uint8_t> DeflateFast(std::span<const std::uint8_t> data);

}  // namespace movara
