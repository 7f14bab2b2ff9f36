#include "base/FileStream.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace movara {

TFileStream::TFileStream(const std::filesystem::path& path, Mode mode) : path_(path) {
  file_ = std::fopen(path.c_str(), mode == Mode::Read ? "rb" : "w+b");
  if (file_ == nullptr) Fail(mode == Mode::Read ? "cannot open" : "cannot create");
  std::setvbuf(file_, nullptr, _IOFBF, 64 * 1024);
}

TFileStream::TFileStream(int descriptor, const std::filesystem::path& name) : path_(name) {
  file_ = ::fdopen(descriptor, "w+b");
  if (file_ == nullptr) {
    const int err = errno;
    ::close(descriptor);
    errno = err;
    Fail("cannot write");
  }
  std::setvbuf(file_, nullptr, _IOFBF, 64 * 1024);
}

TFileStream::~TFileStream() {
  if (file_ != nullptr) std::fclose(file_);
}

void TFileStream::Fail(const char* what) const {
  const int err = errno;
  throw StreamError(std::string(what) + " \"" + path_.string() + "\": " + std::strerror(err));
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
  if (file_ == nullptr) throw StreamError("read from a closed file");
  const std::size_t n = std::fread(buffer, 1, count, file_);
  if (n < count && std::ferror(file_)) Fail("cannot read");
  return n;
}

void TFileStream::Write(const void* buffer, std::size_t count) {
  if (file_ == nullptr) throw StreamError("write to a closed file");
  if (count > 0 && std::fwrite(buffer, 1, count, file_) != count) Fail("cannot write");
}

std::uint64_t TFileStream::Position() const {
  const long pos = std::ftell(file_);
  if (pos < 0) Fail("cannot tell position in");
  return static_cast<std::uint64_t>(pos);
}

void TFileStream::Seek(std::uint64_t position) {
  if (std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0) Fail("cannot seek in");
}

std::uint64_t TFileStream::Size() const {
  const long pos = std::ftell(file_);
  if (pos < 0 || std::fseek(file_, 0, SEEK_END) != 0) Fail("cannot size");
  const long end = std::ftell(file_);
  if (end < 0 || std::fseek(file_, pos, SEEK_SET) != 0) Fail("cannot size");
  return static_cast<std::uint64_t>(end);
}

void TFileStream::Close() {
  if (file_ == nullptr) return;
  std::FILE* f = std::exchange(file_, nullptr);
  if (std::fclose(f) != 0) Fail("cannot write");
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  TFileStream file(path, TFileStream::Mode::Read);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.Size()));
  file.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

void WriteFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  TFileStream file(path, TFileStream::Mode::Create);
  file.Write(bytes.data(), bytes.size());
  file.Close();
}

}  // namespace movara
