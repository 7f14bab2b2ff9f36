#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "convert/Convert.h"

namespace movara::run {

// Runs conversions on several threads, started in the order given, while
// the caller takes their outcomes in the same order. Conversions not yet
// started when the object goes, when Stop is called or when `mayStart`
// says no are not run.
class TParallelConversions {
 public:
  // One conversion; ConvertFile unless a test holds or fails conversions.
  using TConvert = std::function<convert::TConvertOutcome(const convert::TConvertOptions&)>;
  // Asked before each conversion starts: false starts no more (a signal
  // that stops the run arrived).
  using TMayStart = std::function<bool()>;

  TParallelConversions(std::vector<convert::TConvertOptions> jobs, unsigned threads, TConvert convert = {},
                       TMayStart mayStart = {});
  ~TParallelConversions();
  TParallelConversions(const TParallelConversions&) = delete;
  TParallelConversions& operator=(const TParallelConversions&) = delete;

  std::size_t Count() const { return jobs_.size(); }
  // Waits for conversion `index` and gives its outcome; none when it was
  // never started and never will be. A failure the conversion threw is
  // thrown here; std::out_of_range for an index beyond the list.
  std::optional<convert::TConvertOutcome> Take(std::size_t index);
  // Starts no more conversions; those started go on to their end.
  void Stop();
  // Whether conversion `index` was started (and so will have an outcome).
  bool Started(std::size_t index);

 private:
  void Work();

  std::vector<convert::TConvertOptions> jobs_;
  TConvert convert_;
  TMayStart mayStart_;
  std::vector<std::optional<convert::TConvertOutcome>> outcomes_;
  std::vector<std::exception_ptr> failures_;
  // The next conversion to start, and whether to start no more; guarded
  // by the mutex, so that Started knows for sure.
  std::size_t next_ = 0;
  bool stopping_ = false;
  std::mutex mutex_;
  std::condition_variable done_;
  // Last: the threads start once everything above exists.
  std::vector<std::jthread> threads_;
};

}  // namespace movara::run
