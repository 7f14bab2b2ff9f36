#include "base/ZlibStream.h"

#include <zlib.h>

#include <array>
#include <string>

namespace movara {

namespace {

[[noreturn]] void ZlibFail(const char* what, int code) {
  throw StreamError(std::string("zlib ") + what + " error " + std::to_string(code));
}

}  // namespace

struct TCompressionStream::State {
  z_stream z{};
  std::array<Bytef, kBufferSize> out{};
};

TCompressionStream::TCompressionStream(TStream& destination)
    : state_(std::make_unique<State>()), destination_(destination) {
  const int rc = deflateInit2(&state_->z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
  if (rc != Z_OK) ZlibFail("deflateInit", rc);
  state_->z.next_out = state_->out.data();
  state_->z.avail_out = kBufferSize;
}

TCompressionStream::~TCompressionStream() {
  // A stream dropped without Finish() (an exception unwinding) just frees zlib.
  deflateEnd(&state_->z);
}

std::size_t TCompressionStream::Read(void*, std::size_t) {
  throw StreamError("read from a compression stream");
}

void TCompressionStream::Seek(std::uint64_t) { throw StreamError("seek in a compression stream"); }

std::uint64_t TCompressionStream::Position() const { return state_->z.total_in; }

void TCompressionStream::Deflate(int flush) {
  z_stream& z = state_->z;
  for (;;) {
    const int rc = deflate(&z, flush);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) ZlibFail("deflate", rc);
    if (z.avail_out == 0) {
      destination_.Write(state_->out.data(), kBufferSize);
      z.next_out = state_->out.data();
      z.avail_out = kBufferSize;
      if (OnProgress) OnProgress(*this);
      continue;
    }
    if (flush == Z_NO_FLUSH ? z.avail_in == 0 : rc == Z_STREAM_END) return;
  }
}

void TCompressionStream::Write(const void* buffer, std::size_t count) {
  if (finished_) throw StreamError("write to a finished compression stream");
  const auto* in = static_cast<const Bytef*>(buffer);
  while (count > 0) {
    const uInt step = static_cast<uInt>(std::min<std::size_t>(count, 1u << 30));
    state_->z.next_in = const_cast<Bytef*>(in);
    state_->z.avail_in = step;
    Deflate(Z_NO_FLUSH);
    in += step;
    count -= step;
  }
}

void TCompressionStream::Finish() {
  if (finished_) return;
  finished_ = true;
  state_->z.next_in = nullptr;
  state_->z.avail_in = 0;
  Deflate(Z_FINISH);
  const std::size_t pending = kBufferSize - state_->z.avail_out;
  if (pending > 0) destination_.Write(state_->out.data(), pending);
}

struct TDecompressionStream::State {
  z_stream z{};
  std::array<Bytef, 64 * 1024> in{};
};

TDecompressionStream::TDecompressionStream(TStream& source)
    : state_(std::make_unique<State>()), source_(source) {
  const int rc = inflateInit(&state_->z);
  if (rc != Z_OK) ZlibFail("inflateInit", rc);
}

TDecompressionStream::~TDecompressionStream() { inflateEnd(&state_->z); }

std::size_t TDecompressionStream::Read(void* buffer, std::size_t count) {
  z_stream& z = state_->z;
  z.next_out = static_cast<Bytef*>(buffer);
  z.avail_out = static_cast<uInt>(std::min<std::size_t>(count, 1u << 30));
  const uInt wanted = z.avail_out;
  while (!ended_ && z.avail_out > 0) {
    if (z.avail_in == 0) {
      const std::size_t got = source_.Read(state_->in.data(), state_->in.size());
      if (got == 0) throw StreamError("compressed data ends early");
      z.next_in = state_->in.data();
      z.avail_in = static_cast<uInt>(got);
    }
    const int rc = inflate(&z, Z_NO_FLUSH);
    if (rc == Z_STREAM_END) {
      ended_ = true;
    } else if (rc != Z_OK) {
      ZlibFail("inflate", rc);
    }
  }
  return wanted - z.avail_out;
}

void TDecompressionStream::Write(const void*, std::size_t) {
  throw StreamError("write to a decompression stream");
}

std::uint64_t TDecompressionStream::Position() const { return state_->z.total_out; }

void TDecompressionStream::Seek(std::uint64_t) { throw StreamError("seek in a decompression stream"); }

std::uint64_t TDecompressionStream::Size() const { throw StreamError("a decompression stream has no size"); }

std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> data) {
  uLongf bound = compressBound(static_cast<uLong>(data.size()));
  std::vector<std::uint8_t> out(bound);
  const int rc = compress2(out.data(), &bound, data.data(), static_cast<uLong>(data.size()),
                           Z_DEFAULT_COMPRESSION);
  if (rc != Z_OK) ZlibFail("compress", rc);
  out.resize(bound);
  // The bound is about the input's size; keep only what was written.
  out.shrink_to_fit();
  return out;
}

std::vector<std::uint8_t> ZlibDecompress(std::span<const std::uint8_t> data, std::size_t maxOutput) {
  z_stream z{};
  int rc = inflateInit(&z);
  if (rc != Z_OK) ZlibFail("inflateInit", rc);
  std::vector<std::uint8_t> out;
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  std::array<Bytef, 64 * 1024> chunk;
  do {
    z.next_out = chunk.data();
    z.avail_out = chunk.size();
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc != Z_OK && rc != Z_STREAM_END) {
      inflateEnd(&z);
      if (rc == Z_BUF_ERROR) throw StreamError("compressed data ends early");
      ZlibFail("inflate", rc);
    }
    const std::size_t produced = chunk.size() - z.avail_out;
    if (out.size() + produced > maxOutput) {
      inflateEnd(&z);
      throw StreamError("compressed data inflates beyond its declared size");
    }
    out.insert(out.end(), chunk.begin(), chunk.begin() + produced);
  } while (rc != Z_STREAM_END);
  inflateEnd(&z);
  return out;
}

}  // namespace movara
