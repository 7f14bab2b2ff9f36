#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "convert/Convert.h"

namespace movara::run {

// Result texts that the window and the command line both show.
namespace msg {
inline constexpr const char* kError1 = "Error 1. There was an error while converting the file.";
inline constexpr const char* kError6 = "Error 6. Could not write the file to output folder. Check permissions or disk space.";
inline constexpr const char* kError6Folder =
    "Error 6. Could not write file(s) to output folder. Check permissions or disk space.";
inline constexpr const char* kNothingConverted = "No files have been converted.";
inline constexpr const char* kNothingFound = "No files have been found.";
inline constexpr const char* kAborted = "The converting process has been aborted by user.";
}  // namespace msg

// The message of a failed conversion's code: Error 1 when the GIF could not
// be converted, Error 6 when the movie could not be written.
const char* ErrorMessage(int code);

// How a reason is said: the reader's own (Chinese) text with its English
// gloss, or in English only.
enum class TReasonText { WithGloss, English };

// Why a conversion failed, for people: "Reason: " and the reader's or the
// writer's message; the reader's with its English gloss, or only the gloss.
// Empty when the outcome gives no reason.
std::string ReasonLine(const convert::TConvertOutcome& outcome, TReasonText text = TReasonText::WithGloss);
// A failure for people: its error message ("Error 1. ...") and, after
// `separator`, its ReasonLine when there is one.
std::string FailureText(const convert::TConvertOutcome& outcome, const std::string& separator,
                        TReasonText text = TReasonText::WithGloss);
// The reason itself, as ReasonLine gives it after "Reason: ".
std::string ReasonText(const std::string& reason, TReasonText text = TReasonText::WithGloss);

// A file a folder run could not convert, and why.
struct TFailedFile {
  std::filesystem::path Gif;
  std::string Reason;  // ReasonLine of its outcome
};

// The part of a folder run's summary that names the files that failed: the
// first ten with their reasons and how many more there were; empty when none
// failed.
std::string FailedFilesText(const std::vector<TFailedFile>& failed);

// The summary of a folder run, with the folders it could not read.
std::string FolderRunSummary(int converted, int failed, int subfolders, bool aborted, int unreadable = 0);

// The summary of a run stopped before its end: that it was stopped, then
// how many files were converted, failed and were not reached.
std::string StoppedRunSummary(int converted, int failed, std::size_t notReached);

// The position pane's text for a list of `count` files: "File: n/count"
// for the selected file n (counted from 1), "File: 0/count" without one.
std::string PositionText(std::ptrdiff_t selectedIndex, std::size_t count);

}  // namespace movara::run
