#pragma once

// Access to the shared GIF corpus. Tests that need it skip when it is absent;
// MOVARA_CORPUS in the environment points elsewhere.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
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

// The files of a list that a slow build converts: under the sanitizers
// (MOVARA_CORPUS_STRIDE) every n-th, in a fixed choice, so that their run
// stays quick; the release build converts them all.
inline std::vector<std::string> CorpusSample(std::vector<std::string> names) {
#ifdef MOVARA_CORPUS_STRIDE
  std::vector<std::string> sample;
  for (std::size_t i = 0; i < names.size(); i += MOVARA_CORPUS_STRIDE) sample.push_back(names[i]);
  return sample;
#else
  return names;
#endif
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

// The files the corpus manifest marks malformed: they have no reference and
// may fail to load.
inline std::set<std::string> MalformedCorpusFiles() {
  std::set<std::string> names;
  std::ifstream manifest(CorpusDir() / "gif" / "MANIFEST.tsv");
  std::string line;
  while (std::getline(manifest, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream cols(line);
    std::string name, features;
    std::getline(cols, name, '\t');
    for (int i = 0; i < 4; ++i) std::getline(cols, features, '\t');
    if (features.find("malformed") != std::string::npos) names.insert(name);
  }
  return names;
}

// Corpus files the reader refuses on purpose, with the rule, from the
// checked-in list (also read by the player checks).
inline std::map<std::string, std::string> ExpectedRefusals() {
  std::map<std::string, std::string> rules;
  std::ifstream list(std::filesystem::path(MOVARA_TEST_DATA_DIR) / "gif-expected-differences.tsv");
  std::string line;
  while (std::getline(list, line)) {
    if (line.empty() || line[0] == '#') continue;
    const auto tab = line.find('\t');
    rules[line.substr(0, tab)] = tab == std::string::npos ? "" : line.substr(tab + 1);
  }
  return rules;
}

}  // namespace movara::test
