#include "run/ParallelConversions.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace movara::run {

TParallelConversions::TParallelConversions(std::vector<convert::TConvertOptions> jobs, unsigned threads,
                                           TConvert convert, TMayStart mayStart)
    : jobs_(std::move(jobs)),
      convert_(convert ? std::move(convert) : [](const convert::TConvertOptions& job) { return convert::ConvertFile(job); }),
      mayStart_(std::move(mayStart)),
      outcomes_(jobs_.size()),
      failures_(jobs_.size()) {
  const std::size_t workers = std::clamp<std::size_t>(threads, 1, std::max<std::size_t>(jobs_.size(), 1));
  for (std::size_t i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
}

TParallelConversions::~TParallelConversions() {
  Stop();
  threads_.clear();
}

void TParallelConversions::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  done_.notify_all();
}

bool TParallelConversions::Started(std::size_t index) {
  const std::lock_guard lock(mutex_);
  return index < next_;
}

void TParallelConversions::Work() {
  for (;;) {
    std::size_t i = 0;
    {
      const std::lock_guard lock(mutex_);
      if (!stopping_ && mayStart_ && !mayStart_()) {
        stopping_ = true;
        done_.notify_all();
      }
      if (stopping_ || next_ >= jobs_.size()) return;
      i = next_++;
    }
    std::optional<convert::TConvertOutcome> outcome;
    std::exception_ptr failure;
    try {
      outcome = convert_(jobs_[i]);
    } catch (...) {
      failure = std::current_exception();
    }
    const std::lock_guard lock(mutex_);
    outcomes_[i] = std::move(outcome);
    failures_[i] = failure;
    done_.notify_all();
  }
}

std::optional<convert::TConvertOutcome> TParallelConversions::Take(std::size_t index) {
  if (index >= jobs_.size()) {
    throw std::out_of_range("there is no conversion " + std::to_string(index) + " of " + std::to_string(jobs_.size()));
  }
  std::unique_lock lock(mutex_);
  const auto wontStart = [&] { return stopping_ && index >= next_; };
  done_.wait(lock, [&] { return outcomes_[index].has_value() || failures_[index] || wontStart(); });
  if (failures_[index]) std::rethrow_exception(failures_[index]);
  return outcomes_[index];
}

}  // namespace movara::run
