#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "Bytes.h"
#include "base/FileStream.h"

namespace movara::test {

// A scratch folder for one test, removed with its contents at its end. The
// process id keeps test runs of other trees on the machine out of it.
struct TempDir {
  std::filesystem::path path = std::filesystem::temp_directory_path() /
                               ("movara-test-" + std::to_string(::getpid()) + "-" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
  TempDir() { std::filesystem::create_directories(path); }
  ~TempDir() { std::filesystem::remove_all(path); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::filesystem::path Write(const std::string& name, const Bytes& bytes) const {
    WriteFileBytes(path / name, bytes);
    return path / name;
  }
};

}  // namespace movara::test
