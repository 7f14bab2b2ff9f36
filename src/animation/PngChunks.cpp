#include "animation/PngChunks.h"

#include <zlib.h>

#include <algorithm>

#include "animation/AnimationReader.h"

namespace movara::animation {

namespace {

// PNG limits a chunk's length to 2^31 - 1.
constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFF;

std::uint32_t ChunkCrc(const std::uint8_t* type, const std::uint8_t* data, std::size_t size) {
  uLong crc = crc32(0, type, 4);
  // zlib takes at most 4 GiB a call; a chunk is shorter. A null buffer
  // would ask for the initial value instead.
  if (size > 0) crc = crc32(crc, data, static_cast<uInt>(size));
  return static_cast<std::uint32_t>(crc);
}

bool ChunkTypeValid(const std::uint8_t* type) {
  return std::all_of(type, type + 4, [](std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

}  // namespace

std::uint32_t ReadBE32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

void WriteBE32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void Refuse(const std::string& reason) { throw AnimationError("not an animated PNG: " + reason); }

TPngChunkReader::TPngChunkReader(TStream& stream) : stream_(stream) {
  std::array<std::uint8_t, 8> head{};
  if (stream_.Read(head.data(), head.size()) != head.size() || head != kPngSignature) {
    Refuse("invalid signature");
  }
}

bool TPngChunkReader::Next(TPngChunk& chunk) {
  if (stream_.Remaining() == 0) return false;
  if (stream_.Remaining() < kChunkOverhead) Refuse("the data ends early");
  std::uint8_t head[8];
  stream_.ReadBuffer(head, sizeof head);
  const std::uint32_t length = ReadBE32(head);
  if (!ChunkTypeValid(head + 4)) Refuse("invalid chunk type");
  chunk.Type.assign(reinterpret_cast<const char*>(head + 4), 4);
  if (length > kMaxChunkLength) Refuse("chunk " + chunk.Type + " is too long");
  if (length > stream_.Remaining() || stream_.Remaining() - length < 4) Refuse("the data ends early");
  chunk.Data.resize(length);
  stream_.ReadBuffer(chunk.Data.data(), length);
  std::uint8_t crc[4];
  stream_.ReadBuffer(crc, sizeof crc);
  if (ReadBE32(crc) != ChunkCrc(head + 4, chunk.Data.data(), length)) Refuse("chunk " + chunk.Type + " has a bad CRC");
  return true;
}

void AppendChunk(std::vector<std::uint8_t>& png, const char* type, const std::uint8_t* data, std::size_t size) {
  WriteBE32(png, static_cast<std::uint32_t>(size));
  const auto* t = reinterpret_cast<const std::uint8_t*>(type);
  png.insert(png.end(), t, t + 4);
  if (size > 0) png.insert(png.end(), data, data + size);
  WriteBE32(png, ChunkCrc(t, data, size));
}

}  // namespace movara::animation
