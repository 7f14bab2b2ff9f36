#include "run/ConversionMeter.h"

#include <chrono>

#include "base/FileStream.h"
#include "swf/core/TagReader.h"

namespace movara::run {

namespace {

// Keeps the GIF's frame count from the first report of a conversion's
// progress and passes every report on.
class TFrameCounter final : public convert::IConvertProgress {
 public:
  explicit TFrameCounter(convert::IConvertProgress* next) : next_(next) {}
  void FramesDone(std::size_t done, std::size_t total) override {
    Total = total;
    if (next_ != nullptr) next_->FramesDone(done, total);
  }
  std::optional<std::uint64_t> Total;

 private:
  convert::IConvertProgress* next_;
};

}  // namespace

convert::TConvertOutcome TConversionMeter::Convert(const convert::TConvertOptions& job,
                                                   convert::IConvertProgress* progress) {
  TFrameCounter counter(progress);
  const auto start = std::chrono::steady_clock::now();
  convert::TConvertOutcome outcome = convert::ConvertFile(job, &counter);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const std::lock_guard lock(mutex_);
  measures_[job.Movie] = {took.count(), counter.Total};
  return outcome;
}

TParallelConversions::TConvert TConversionMeter::Function() {
  return [this](const convert::TConvertOptions& job) { return Convert(job); };
}

TConversionMeasure TConversionMeter::Take(const std::filesystem::path& movie) {
  const std::lock_guard lock(mutex_);
  const auto found = measures_.find(movie);
  if (found == measures_.end()) return {};
  const TConversionMeasure measure = found->second;
  measures_.erase(found);
  return measure;
}

std::optional<std::uint64_t> MovieFrameCount(const std::filesystem::path& movie) {
  try {
    TFileStream file(movie, TFileStream::Mode::Read);
    return swf::ReadSWFHeaderStart(file).FrameCount;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace movara::run
