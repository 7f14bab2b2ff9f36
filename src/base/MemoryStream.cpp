#include "base/MemoryStream.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace movara {

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  const std::size_t n = std::min(count, data_.size() - std::min(pos_, data_.size()));
  if (n > 0) std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += n;
  return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return;
  const auto* in = static_cast<const std::uint8_t*>(buffer);
  if (pos_ == data_.size()) {
    data_.insert(data_.end(), in, in + count);
  } else {
    if (pos_ + count > data_.size()) data_.resize(pos_ + count);
    std::memcpy(data_.data() + pos_, in, count);
  }
  pos_ += count;
}

void TMemoryStream::Seek(std::uint64_t position) {
  if (position > data_.size()) throw StreamError("seek past the end of a memory stream");
  pos_ = static_cast<std::size_t>(position);
}

void TMemoryStream::Clear() {
  data_.clear();
  pos_ = 0;
}

std::vector<std::uint8_t> TMemoryStream::TakeBytes() {
  pos_ = 0;
  return std::exchange(data_, {});
}

std::size_t TMemoryViewStream::Read(void* buffer, std::size_t count) {
  const std::size_t n = std::min(count, data_.size() - pos_);
  if (n > 0) std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += n;
  return n;
}

void TMemoryViewStream::Write(const void*, std::size_t) {
  throw StreamError("write to a read-only memory stream");
}

void TMemoryViewStream::Seek(std::uint64_t position) {
  if (position > data_.size()) throw StreamError("seek past the end of a memory stream");
  pos_ = static_cast<std::size_t>(position);
}

}  // namespace movara
