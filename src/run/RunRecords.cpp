#include "run/RunRecords.h"

#include <cstdio>

#include "run/JsonText.h"

namespace movara::run {

namespace {

// Builds one JSON object, members in the order added.
class TJsonObject {
 public:
  explicit TJsonObject(const char* type) { Text("type", type); }
  TJsonObject& Text(const char* key, std::string_view value) { return Member(key, JsonString(value)); }
  TJsonObject& Number(const char* key, std::uint64_t value) { return Member(key, std::to_string(value)); }
  TJsonObject& Number(const char* key, const std::optional<std::uint64_t>& value) {
    return value ? Number(key, *value) : Member(key, "null");
  }
  TJsonObject& Seconds(const char* key, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value < 0 ? 0.0 : value);
    return Member(key, text);
  }
  std::string Line() const { return text_ + "}\n"; }

 private:
  TJsonObject& Member(const char* key, const std::string& json) {
    text_ += text_.empty() ? "{" : ",";
    text_ += JsonString(key) + ":" + json;
    return *this;
  }
  std::string text_;
};

}  // namespace

const char* OutcomeName(TFileOutcome outcome) {
  switch (outcome) {
    case TFileOutcome::Converted: return "converted";
    case TFileOutcome::Failed: return "failed";
    case TFileOutcome::Refused: return "refused";
    case TFileOutcome::Kept: return "kept";
    case TFileOutcome::NotReached: return "not reached";
  }
  return "failed";
}

std::string FileRecordLine(const TFileRecord& record) {
  TJsonObject line("file");
  line.Text("input", record.Input.native()).Text("movie", record.Movie.native());
  if (record.Page.empty()) {
    line.Number("page", std::optional<std::uint64_t>());
  } else {
    line.Text("page", record.Page.native());
  }
  return line.Text("outcome", OutcomeName(record.Outcome))
      .Number("code", static_cast<std::uint64_t>(record.Code))
      .Text("reason", record.Reason)
      .Number("gif_frames", record.GifFrames)
      .Number("movie_frames", record.MovieFrames)
      .Number("bytes", record.Bytes)
      .Seconds("seconds", record.Seconds)
      .Line();
}

std::string UnreadableFolderLine(const std::filesystem::path& folder, const std::string& reason) {
  return TJsonObject("folder").Text("folder", folder.native()).Text("reason", reason).Line();
}

std::string SummaryLine(const TRunSummary& summary) {
  return TJsonObject("summary")
      .Number("planned", summary.Planned)
      .Number("files", summary.Files)
      .Number("converted", summary.Converted)
      .Number("kept", summary.Kept)
      .Number("failed", summary.Failed)
      .Number("refused", summary.Refused)
      .Number("not_reached", summary.NotReached)
      .Number("unreadable_folders", summary.UnreadableFolders)
      .Text("shard", std::to_string(summary.Share.Index) + "/" + std::to_string(summary.Share.Count))
      .Number("status", static_cast<std::uint64_t>(summary.Status))
      .Seconds("seconds", summary.Seconds)
      .Line();
}

}  // namespace movara::run
