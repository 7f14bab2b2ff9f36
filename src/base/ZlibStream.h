#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "base/Stream.h"

namespace movara {

// Deflates everything written to it into a destination stream, in the zlib
// format (header and Adler-32 trailer, 15-bit window, default level).
// Position() is the number of uncompressed bytes consumed so far; OnProgress
// fires each time a full output buffer has gone to the destination.
class TCompressionStream final : public TStream {
 public:
  static constexpr std::size_t kBufferSize = 64 * 1024;

  explicit TCompressionStream(TStream& destination);
  ~TCompressionStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::uint64_t Position() const override;
  void Seek(std::uint64_t position) override;
  std::uint64_t Size() const override { return Position(); }

  // Ends the zlib stream and writes what is left; further writes throw.
  void Finish();

  std::function<void(TCompressionStream&)> OnProgress;

 private:
  void Deflate(int flush);

  struct State;
  std::unique_ptr<State> state_;
  TStream& destination_;
  bool finished_ = false;
};

// Inflates a zlib stream read from a source stream.
class TDecompressionStream final : public TStream {
 public:
  explicit TDecompressionStream(TStream& source);
  ~TDecompressionStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::uint64_t Position() const override;
  void Seek(std::uint64_t position) override;
  std::uint64_t Size() const override;

 private:
  struct State;
  std::unique_ptr<State> state_;
  TStream& source_;
  bool ended_ = false;
};

// Deflates a block of bytes at the default level in the zlib format.
std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> data);
// Inflates a zlib block; throws StreamError when it is corrupt or would
// produce more than maxOutput bytes, so hostile data cannot exhaust memory.
std::vector<std::uint8_t> ZlibDecompress(std::span<const std::uint8_t> data, std::size_t maxOutput);

}  // namespace movara
