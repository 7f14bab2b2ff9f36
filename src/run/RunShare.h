#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace movara::run {

// The part of a run that one of several processes takes: share `Index` of
// `Count`, counted from 1. Each of a run's files belongs to one share,
// fixed by its name in the run (as listed, or its path below the run's
// folder), so that Count processes over the same list or folder take every
// file exactly once, whatever the machine, the folder they run in or the
// order of the list, and a file keeps its share when the list grows.
struct TShare {
  std::uint32_t Index = 1;
  std::uint32_t Count = 1;
  bool operator==(const TShare&) const = default;
};

inline constexpr std::uint32_t kMaxShares = 100000;

// The share (from 1 to `count`) of a file named `name` in its run.
std::uint32_t ShareOf(std::string_view name, std::uint32_t count);
inline bool InShare(std::string_view name, const TShare& share) {
  return ShareOf(name, share.Count) == share.Index;
}

// An environment variable's value; none when it is not set.
using TEnvironment = std::function<std::optional<std::string>(const char* name)>;

// The share a command line asks for: "I/N"; "auto", a Slurm job array
// task's: its task id (SLURM_ARRAY_TASK_ID, the array submitted as
// --array=1-N) of the array's task count (SLURM_ARRAY_TASK_COUNT); or
// "auto/N", the count given: a Slurm task submitted again alone, or a
// Kubernetes Indexed Job's pod (JOB_COMPLETION_INDEX, from 0). Throws
// std::invalid_argument with what is wrong.
TShare ParseShare(std::string_view text, const TEnvironment& environment);

}  // namespace movara::run
