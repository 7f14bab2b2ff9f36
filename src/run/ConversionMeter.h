#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>

#include "convert/Convert.h"
#include "run/ParallelConversions.h"

namespace movara::run {

// What a conversion's outcome does not tell: how long it took and how many
// frames its GIF has.
struct TConversionMeasure {
  double Seconds = 0;
  // None when the GIF was not read.
  std::optional<std::uint64_t> GifFrames;
};

// Converts through ConvertFile and keeps each conversion's measure under its
// movie's path (unique among a plan's conversions), whichever thread it ran
// on, until it is taken.
class TConversionMeter {
 public:
  // Converts; `progress` (may be null) is told as ConvertFile tells it.
  convert::TConvertOutcome Convert(const convert::TConvertOptions& job, convert::IConvertProgress* progress = nullptr);
  // Convert as a parallel runner's conversion.
  TParallelConversions::TConvert Function();
  // The measure of the conversion that made `movie`, removed; an empty one
  // for a file that was not converted.
  TConversionMeasure Take(const std::filesystem::path& movie);

 private:
  std::mutex mutex_;
  std::map<std::filesystem::path, TConversionMeasure> measures_;
};

// The number of frames of the movie in a file, read from its header; none
// when the file is no movie or cannot be read.
std::optional<std::uint64_t> MovieFrameCount(const std::filesystem::path& movie);

}  // namespace movara::run
