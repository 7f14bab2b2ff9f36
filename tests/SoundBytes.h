#pragma once

// Small WAV and MPEG audio files composed in the tests, so that every
// hostile case can be read in the test's source.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Bytes.h"

namespace movara::test {

inline void PutLE(Bytes& b, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline Bytes Chunk(const std::string& id, const Bytes& body, std::uint32_t declared) {
  Bytes b(id.begin(), id.end());
  PutLE(b, declared, 4);
  b.insert(b.end(), body.begin(), body.end());
  if (body.size() % 2 == 1) b.push_back(0);
  return b;
}
inline Bytes Chunk(const std::string& id, const Bytes& body) {
  return Chunk(id, body, static_cast<std::uint32_t>(body.size()));
}

inline Bytes FormatBody(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  Bytes b;
  const std::uint16_t align = static_cast<std::uint16_t>(channels * ((bits + 7) / 8));
  PutLE(b, tag, 2), PutLE(b, channels, 2), PutLE(b, rate, 4), PutLE(b, rate * align, 4);
  PutLE(b, align, 2), PutLE(b, bits, 2);
  return b;
}

// A RIFF/WAVE file of the given chunks, with a true RIFF size.
inline Bytes Riff(const std::vector<Bytes>& chunks) {
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  Bytes b = {'R', 'I', 'F', 'F'};
  PutLE(b, static_cast<std::uint32_t>(body.size()), 4);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

inline Bytes PcmWav(std::uint32_t rate, std::uint16_t channels, std::uint16_t bits, const Bytes& samples) {
  return Riff({Chunk("fmt ", FormatBody(1, channels, rate, bits)), Chunk("data", samples)});
}

// An MPEG audio frame: the four header bytes, then zeros up to size.
inline Bytes MpegFrame(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::size_t size) {
  Bytes f(size, 0);
  f[0] = 0xFF, f[1] = b1, f[2] = b2, f[3] = b3;
  return f;
}
// MPEG-1 layer III, 128 kbit/s, 44100 Hz, joint stereo: 417 bytes, 418 padded.
inline Bytes Mp3Frame44(bool padded = false) { return MpegFrame(0xFB, padded ? 0x92 : 0x90, 0x44, padded ? 418 : 417); }

inline Bytes Concat(const std::vector<Bytes>& parts) {
  Bytes b;
  for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
  return b;
}

inline Bytes Repeat(const Bytes& part, int times) {
  Bytes b;
  for (int i = 0; i < times; ++i) b.insert(b.end(), part.begin(), part.end());
  return b;
}

// A sound file of the tests' data folder, or a scratch file.
inline std::filesystem::path SoundData(const std::string& name) {
  return std::filesystem::path(MOVARA_TEST_DATA_DIR) / "sound" / name;
}

}  // namespace movara::test
