#pragma once

#include <algorithm>
#include <cstdint>

#include "base/Stream.h"
#include "imaging/GIFException.h"

namespace movara::imaging {

// Small reading helpers over a stream for the GIF blocks: fixed-size reads
// raise the reader's "premature end" error, optional reads report success.
class TGIFStreamReader {
 public:
  explicit TGIFStreamReader(TStream& stream) : stream_(stream) {}

  TStream& Stream() { return stream_; }
  std::uint64_t Position() const { return stream_.Position(); }
  std::uint64_t Size() const { return stream_.Size(); }
  std::uint64_t Remaining() const { return stream_.Remaining(); }
  void Seek(std::uint64_t position) { stream_.Seek(position); }
  void Back(std::uint64_t count) { stream_.Seek(stream_.Position() - count); }
  void Skip(std::uint64_t count) { stream_.Seek(std::min(stream_.Position() + count, stream_.Size())); }

  bool ReadByte(std::uint8_t& value) { return stream_.Read(&value, 1) == 1; }
  std::size_t ReadSome(void* buffer, std::size_t count);
  void ReadExact(void* buffer, std::size_t count);
  std::uint8_t ReadByteExact();
  std::uint16_t ReadWordExact();

 private:
  TStream& stream_;
};

inline std::size_t TGIFStreamReader::ReadSome(void* buffer, std::size_t count) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const std::size_t got = stream_.Read(out + done, count - done);
    if (got == 0) break;
    done += got;
  }
  return done;
}

inline void TGIFStreamReader::ReadExact(void* buffer, std::size_t count) {
  if (ReadSome(buffer, count) != count) throw GIFException(gifmsg::kPrematureEnd);
}

inline std::uint8_t TGIFStreamReader::ReadByteExact() {
  std::uint8_t b;
  ReadExact(&b, 1);
  return b;
}

inline std::uint16_t TGIFStreamReader::ReadWordExact() {
  std::uint8_t b[2];
  ReadExact(b, 2);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

}  // namespace movara::imaging
