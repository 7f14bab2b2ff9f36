#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

namespace movara::test {

// Composes FLV files tag by tag, so that a hostile file reads as code: the
// header, then tags whose every field can be set wrong on purpose.
class FlvBuilder {
 public:
  using Bytes = std::vector<std::uint8_t>;

  FlvBuilder() {
    bytes_ = {'F', 'L', 'V', 1, 0x05, 0, 0, 0, 9};
    Be32(0);  // the size of the tag before the first
  }

  // A tag as it should be: header, data, and the size after it.
  FlvBuilder& Tag(std::uint8_t type, std::uint32_t timestamp, const Bytes& data) {
    return RawTag(type, timestamp, static_cast<std::uint32_t>(data.size()), data,
                  static_cast<std::uint32_t>(11 + data.size()));
  }
  // A tag whose declared size and trailing size may lie about its data.
  FlvBuilder& RawTag(std::uint8_t type, std::uint32_t timestamp, std::uint32_t declared, const Bytes& data,
                     std::uint32_t sizeAfter) {
    bytes_.push_back(type);
    Be24(declared);
    Be24(timestamp & 0xFFFFFF);
    bytes_.push_back(static_cast<std::uint8_t>(timestamp >> 24));
    Be24(0);  // stream id
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    Be32(sizeAfter);
    return *this;
  }
  // A video tag: frame type and codec in the first byte, then the packet.
  FlvBuilder& Video(std::uint32_t timestamp, std::uint8_t frameType, std::uint8_t codec, const Bytes& packet) {
    Bytes data{static_cast<std::uint8_t>(frameType << 4 | codec)};
    data.insert(data.end(), packet.begin(), packet.end());
    return Tag(9, timestamp, data);
  }
  // An audio tag: format, rate, size and channels in the first byte.
  FlvBuilder& Audio(std::uint32_t timestamp, std::uint8_t format, std::uint8_t rate, bool is16Bit, bool stereo,
                    const Bytes& samples) {
    Bytes data{static_cast<std::uint8_t>(format << 4 | rate << 2 | (is16Bit ? 2 : 0) | (stereo ? 1 : 0))};
    data.insert(data.end(), samples.begin(), samples.end());
    return Tag(8, timestamp, data);
  }
  FlvBuilder& Append(std::initializer_list<std::uint8_t> raw) {
    bytes_.insert(bytes_.end(), raw);
    return *this;
  }
  Bytes& Raw() { return bytes_; }
  Bytes Build() const { return bytes_; }

  // An H.263 picture header for a custom size that fits 8 bits a side:
  // start code 1 (17 bits), version 0, temporal reference 0, size code 0.
  static Bytes H263Picture(std::uint8_t width, std::uint8_t height) {
    return BitPack({{1, 17}, {0, 5}, {0, 8}, {0, 3}, {width, 8}, {height, 8}, {0, 7}});
  }

  // Fields packed most significant bit first: {value, bits} pairs.
  static Bytes BitPack(std::initializer_list<std::pair<std::uint32_t, int>> fields) {
    Bytes out;
    std::uint32_t acc = 0;
    int count = 0;
    for (const auto& [value, bits] : fields) {
      for (int i = bits - 1; i >= 0; --i) {
        acc = (acc << 1) | ((value >> i) & 1);
        if (++count == 8) {
          out.push_back(static_cast<std::uint8_t>(acc));
          acc = 0;
          count = 0;
        }
      }
    }
    if (count > 0) out.push_back(static_cast<std::uint8_t>(acc << (8 - count)));
    return out;
  }

 private:
  void Be24(std::uint32_t v) {
    for (int s = 16; s >= 0; s -= 8) bytes_.push_back(static_cast<std::uint8_t>(v >> s));
  }
  void Be32(std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) bytes_.push_back(static_cast<std::uint8_t>(v >> s));
  }
  Bytes bytes_;
};

}  // namespace movara::test
