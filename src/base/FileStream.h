#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "base/Stream.h"

namespace movara {

// A file on disk. Every failure, including a failed close of a written file,
// is a StreamError naming the file.
class TFileStream final : public TStream {
 public:
  enum class Mode { Read, Create };
  TFileStream(const std::filesystem::path& path, Mode mode);
  // Writes and reads a file already open for both, taking its descriptor;
  // failures name the file as `name`.
  TFileStream(int descriptor, const std::filesystem::path& name);
  ~TFileStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::uint64_t Position() const override;
  void Seek(std::uint64_t position) override;
  std::uint64_t Size() const override;

  // Flushes and closes; throws when the data could not be stored.
  void Close();

 private:
  [[noreturn]] void Fail(const char* what) const;

  std::filesystem::path path_;
  std::FILE* file_ = nullptr;
};

// Reads a whole file into memory; throws StreamError when it cannot.
std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path);
// Writes bytes as the whole content of a file, replacing it.
void WriteFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace movara
