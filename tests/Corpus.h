#pragma once

// Access to the shared GIF corpus. Tests that need it skip when it is absent;
// MOVARA_CORPUS in the environment points elsewhere.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace movara::test {

inline std::filesystem::path CorpusDir() {
  if (const char* env = std::getenv("MOVARA_CORPUS")) return env;
  return MOVARA_CORPUS_DIR;
}

inline bool HaveCorpus() { return std::filesystem::is_directory(CorpusDir() / "gif"); }

// Sorted file names (not paths) of a corpus folder with a given extension.
inline std::vector<std::string> CorpusFiles(const std::string& folder, const std::string& extension) {
  std::vector<std::string> names;
  const auto dir = CorpusDir() / folder;
  if (!std::filesystem::is_directory(dir)) return names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    if (e.is_regular_file() && e.path().extension() == extension) names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}


// Sorted names of the sub-folders of a corpus folder.
inline std::vector<std::string> CorpusDirs(const std::string& folder) {
  std::vector<std::string> names;
  const auto dir = CorpusDir() / folder;
  if (!std::filesystem::is_directory(dir)) return names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    if (e.is_directory()) names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace movara::test
