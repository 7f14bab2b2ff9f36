#include "base/Stream.h"

#include <algorithm>
#include <array>

namespace movara {

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  auto* out = static_cast<unsigned char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const std::size_t got = Read(out + done, count - done);
    if (got == 0) {
      throw StreamError("stream read error: " + std::to_string(count) +
                        " bytes wanted, " + std::to_string(done) + " available");
    }
    done += got;
  }
}

std::uint64_t TStream::Remaining() const {
  const std::uint64_t size = Size();
  const std::uint64_t pos = Position();
  return pos < size ? size - pos : 0;
}

void TStream::CopyFrom(TStream& source, std::uint64_t count) {
  std::array<unsigned char, 64 * 1024> chunk;
  while (count > 0) {
    const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(count, chunk.size()));
    source.ReadBuffer(chunk.data(), step);
    Write(chunk.data(), step);
    count -= step;
  }
}

}  // namespace movara
