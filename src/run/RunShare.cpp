// Shares of a run. A file's share comes from a hash of its name rather than
// from its place in the list: the place changes when the list is reordered
// or grows, the name does not.
#include "run/RunShare.h"

#include <charconv>
#include <stdexcept>

namespace movara::run {

namespace {

// FNV-1a over the name's bytes, then a finaliser that spreads every input
// bit over the whole word, so that names differing in one character land in
// unrelated shares.
std::uint64_t NameHash(std::string_view name) {
  std::uint64_t h = 0xcbf29ce484222325u;
  for (const char c : name) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3u;
  }
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdu;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53u;
  h ^= h >> 33;
  return h;
}

// A whole number with nothing around it; none otherwise.
std::optional<std::uint64_t> Number(std::string_view text) {
  std::uint64_t n = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return n;
}

std::uint32_t CountFrom(std::string_view text) {
  const auto n = Number(text);
  if (!n || *n < 1 || *n > kMaxShares) {
    throw std::invalid_argument("the count of shares must be a number from 1 to " + std::to_string(kMaxShares) +
                                ", not \"" + std::string(text) + "\"");
  }
  return static_cast<std::uint32_t>(*n);
}

std::uint64_t Variable(const TEnvironment& environment, const char* name) {
  const auto value = environment(name);
  const auto n = value ? Number(*value) : std::nullopt;
  if (!n) throw std::invalid_argument(std::string(name) + " is not a whole number: \"" + value.value_or("") + "\"");
  return *n;
}

// This Slurm array task's share: its task id, from 1, of the array's task
// count or of the count given (a task submitted again alone is an array of
// one).
TShare SlurmShare(const TEnvironment& environment, std::optional<std::uint32_t> given) {
  const std::uint64_t id = Variable(environment, "SLURM_ARRAY_TASK_ID");
  const std::uint64_t count = given ? *given : Variable(environment, "SLURM_ARRAY_TASK_COUNT");
  if (id < 1 || id > count || count > kMaxShares) {
    throw std::invalid_argument("the Slurm task id " + std::to_string(id) + " is not a share from 1 to " +
                                std::to_string(count) +
                                " (submit --array=1-N; a task submitted again alone needs --shard auto/N)");
  }
  return {static_cast<std::uint32_t>(id), static_cast<std::uint32_t>(count)};
}

// A Kubernetes Indexed Job pod's share: its completion index, from 0.
TShare IndexedJobShare(const TEnvironment& environment, std::optional<std::uint32_t> given) {
  if (!given) {
    throw std::invalid_argument("JOB_COMPLETION_INDEX gives no count of shares: give it as --shard auto/N");
  }
  const std::uint64_t index = Variable(environment, "JOB_COMPLETION_INDEX");
  if (index >= *given) {
    throw std::invalid_argument("JOB_COMPLETION_INDEX " + std::to_string(index) + " is not below the count " +
                                std::to_string(*given));
  }
  return {static_cast<std::uint32_t>(index + 1), *given};
}

}  // namespace

std::uint32_t ShareOf(std::string_view name, std::uint32_t count) {
  return count <= 1 ? 1 : static_cast<std::uint32_t>(NameHash(name) % count) + 1;
}

TShare ParseShare(std::string_view text, const TEnvironment& environment) {
  const std::size_t slash = text.find('/');
  const std::string_view first = text.substr(0, slash);
  const std::optional<std::uint32_t> count =
      slash == std::string_view::npos ? std::nullopt : std::optional(CountFrom(text.substr(slash + 1)));
  if (first == "auto") {
    if (environment("SLURM_ARRAY_TASK_ID")) return SlurmShare(environment, count);
    if (environment("JOB_COMPLETION_INDEX")) return IndexedJobShare(environment, count);
    throw std::invalid_argument("neither SLURM_ARRAY_TASK_ID nor JOB_COMPLETION_INDEX is set");
  }
  const auto index = Number(first);
  if (!count || !index || *index < 1 || *index > *count) {
    throw std::invalid_argument("give I/N with I from 1 to N, or auto, not \"" + std::string(text) + "\"");
  }
  return {static_cast<std::uint32_t>(*index), *count};
}

}  // namespace movara::run
