#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/Stream.h"

namespace movara {

// A growable stream held in memory; tag bodies and whole movies are built here.
class TMemoryStream final : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::uint64_t Position() const override { return pos_; }
  void Seek(std::uint64_t position) override;
  std::uint64_t Size() const override { return data_.size(); }

  void Clear();
  void Reserve(std::size_t bytes) { data_.reserve(bytes); }
  const std::vector<std::uint8_t>& Bytes() const { return data_; }
  std::vector<std::uint8_t> TakeBytes();

 private:
  std::vector<std::uint8_t> data_;
  std::size_t pos_ = 0;
};

// A read-only stream over bytes owned elsewhere. Readers of outside data get
// one of exactly the length a record declares, so they cannot read past it.
class TMemoryViewStream final : public TStream {
 public:
  explicit TMemoryViewStream(std::span<const std::uint8_t> bytes) : data_(bytes) {}
  // A view over a temporary vector would dangle at once.
  explicit TMemoryViewStream(std::vector<std::uint8_t>&&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  std::uint64_t Position() const override { return pos_; }
  void Seek(std::uint64_t position) override;
  std::uint64_t Size() const override { return data_.size(); }

  // The bytes from the position on, without copying.
  std::span<const std::uint8_t> Rest() const { return data_.subspan(pos_); }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
};

}  // namespace movara
