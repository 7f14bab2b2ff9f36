#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/Conversion.h"

namespace movara::app {

// Why a conversion failed, for people: "Reason: " and the reader's or the
// writer's message, with an English gloss of the reader's. Empty when the
// outcome gives no reason.
std::string ReasonLine(const TConvertOutcome& outcome);

// A file a folder run could not convert, and why.
struct TFailedFile {
  std::filesystem::path Gif;
  std::string Reason;  // ReasonLine of its outcome
};

// The part of a folder run's summary that names the files that failed: the
// first ten with their reasons and how many more there were; empty when none
// failed.
std::string FailedFilesText(const std::vector<TFailedFile>& failed);

// The position pane's text for a list of `count` files: "File: n/count"
// for the selected file n (counted from 1), "File: 0/count" without one.
std::string PositionText(std::ptrdiff_t selectedIndex, std::size_t count);

}  // namespace movara::app
