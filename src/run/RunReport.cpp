#include "run/RunReport.h"

#include "imaging/GIFException.h"

namespace movara::run {

namespace {

constexpr std::size_t kFailuresNamed = 10;

}  // namespace

std::string ReasonText(const std::string& reason, TReasonText text) {
  const std::string_view gloss = imaging::GIFMessageGloss(reason);
  if (gloss.empty()) return reason;
  if (text == TReasonText::English) return std::string(gloss);
  return reason + " (" + std::string(gloss) + ")";
}

std::string ReasonLine(const convert::TConvertOutcome& outcome, TReasonText text) {
  return outcome.Reason.empty() ? std::string() : "Reason: " + ReasonText(outcome.Reason, text);
}

std::string FailureText(const convert::TConvertOutcome& outcome, const std::string& separator, TReasonText text) {
  const std::string reason = ReasonLine(outcome, text);
  return ErrorMessage(outcome.Code) + (reason.empty() ? "" : separator + reason);
}

std::string FailedFilesText(const std::vector<TFailedFile>& failed) {
  if (failed.empty()) return {};
  std::string text = "\n\nNot converted:";
  for (std::size_t i = 0; i < failed.size() && i < kFailuresNamed; ++i) {
    text += "\n" + failed[i].Gif.filename().string();
    if (!failed[i].Reason.empty()) text += ": " + failed[i].Reason;
  }
  if (failed.size() > kFailuresNamed) {
    text += "\n... and " + std::to_string(failed.size() - kFailuresNamed) + " more.";
  }
  return text;
}

const char* ErrorMessage(int code) { return code == convert::crLoadError ? msg::kError1 : msg::kError6; }

std::string FolderRunSummary(int converted, int failed, int subfolders, bool aborted, int unreadable) {
  if (aborted) return msg::kAborted;
  std::string text;
  if (converted == 0) text = msg::kNothingConverted;
  const int total = converted + failed;
  if (total == 0) text = msg::kNothingFound;
  if (converted == 1) text = "1 file of " + std::to_string(total) + " has been successfully converted.";
  if (converted > 1) {
    text = std::to_string(converted) + " files of " + std::to_string(total) + " have been successfully converted.";
  }
  if (subfolders > 1) text += " " + std::to_string(subfolders) + " subfolders have been processed.";
  if (subfolders == 1) text += " 1 subfolder has been processed.";
  if (unreadable > 1) text += " " + std::to_string(unreadable) + " folders could not be read.";
  if (unreadable == 1) text += " 1 folder could not be read.";
  return text;
}

std::string StoppedRunSummary(int converted, int failed, std::size_t notReached) {
  return std::string(msg::kAborted) + " " + std::to_string(converted) + (converted == 1 ? " file" : " files") +
         " converted, " + std::to_string(failed) + " failed, " + std::to_string(notReached) + " not reached.";
}

std::string PositionText(std::ptrdiff_t selectedIndex, std::size_t count) {
  const std::size_t shown = selectedIndex < 0 ? 0 : static_cast<std::size_t>(selectedIndex) + 1;
  return "File: " + std::to_string(shown) + "/" + std::to_string(count);
}

}  // namespace movara::run
