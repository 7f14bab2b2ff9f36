#include "media/ByteWindow.h"

#include <algorithm>
#include <cstring>

namespace movara::media {

TByteWindow::TByteWindow(TStream& stream) : stream_(stream), size_(stream.Size()) {}

bool TByteWindow::Peek(std::uint64_t offset, std::uint8_t* out, std::size_t count) {
  if (count > size_ || offset > size_ - count) return false;
  if (count > kWindow) {
    stream_.Seek(offset);
    stream_.ReadBuffer(out, count);
    return true;
  }
  if (offset < start_ || offset - start_ + count > bytes_.size()) {
    start_ = offset;
    bytes_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, size_ - offset)));
    stream_.Seek(offset);
    stream_.ReadBuffer(bytes_.data(), bytes_.size());
  }
  std::memcpy(out, bytes_.data() + (offset - start_), count);
  return true;
}

}  // namespace movara::media
