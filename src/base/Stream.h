#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace movara {

// Raised for every stream failure: short reads, seeks outside the data,
// files that cannot be opened or written.
class StreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The one byte-stream abstraction of the project: memory, files and zlib
// streams all implement it, and every SWF byte goes through it.
class TStream {
 public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Reads up to count bytes and returns how many were read (0 at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual void Write(const void* buffer, std::size_t count) = 0;
  virtual std::uint64_t Position() const = 0;
  virtual void Seek(std::uint64_t position) = 0;
  virtual std::uint64_t Size() const = 0;

  // Reads exactly count bytes or throws StreamError.
  void ReadBuffer(void* buffer, std::size_t count);
  // Bytes left between the position and the end.
  std::uint64_t Remaining() const;
  // Copies count bytes from source's position into this stream.
  void CopyFrom(TStream& source, std::uint64_t count);
};

}  // namespace movara
