#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/MainView.h"
#include "app/SettingsStore.h"

namespace movara::app {

// Result codes of one conversion.
enum TConvertResult : int { crOk = 0, crLoadError = 1, crWriteError = 6 };

// The main window's state and handlers, without any toolkit: the view and
// the settings store are interfaces.
class TfrmMain {
 public:
  TfrmMain(IMainView& view, ISettingsStore& settings, std::filesystem::path programFolder);

  std::filesystem::path OutputFolder;
  std::filesystem::path LastDir;
  bool CommandLineMode = false;
  bool AbortRequested = false;
  // Whether an interactive single-file conversion writes the HTML test page.
  bool WriteHtmlPage = true;
  // Threads that compress a movie's pictures beside the conversion: 0 one
  // per core, 1 none (the conversion compresses them itself).
  unsigned CompressionThreads = 0;
  // The code of the conversion FormCreate ran for the command line.
  int CommandLineResult = crOk;
  std::int32_t RememberedIndex = -1;
  // Counts of the last folder run.
  int LastRunConverted = 0;
  int LastRunFailed = 0;
  bool LastRunWriteError = false;

  const std::filesystem::path& ProgramFolder() const { return programFolder_; }

  // Window creation: settings, then the command-line conversion when the
  // first argument names an existing file.
  void FormCreate(const std::vector<std::string>& args);
  void FormClose();
  void FormPaint();
  void FormKeyPress(char key);
  void RBSingleClick();
  void btnStartClick();
  void FTreeChange(const std::filesystem::path& folder);
  void btnSelectFolderClick(const std::filesystem::path& chosen);
  void readini();
  void writeini();

  // Converts one GIF into a movie; see TConvertResult.
  int ConvertNow(const std::filesystem::path& gifFileName, const std::string& subFolder);
  // Writes the HTML test page beside a movie and has the view open it.
  void ShowHTML(const std::filesystem::path& fileName, const std::string& width, const std::string& height,
                bool transparent);

 private:
  void RunFolder();
  IMainView& view_;
  ISettingsStore& settings_;
  std::filesystem::path programFolder_;
};

// Messages shown by the converter.
namespace msg {
inline constexpr const char* kConverting = "Converting:  please wait...";
inline constexpr const char* kError1 = "Error 1. There was an error while converting the file.";
inline constexpr const char* kError6 = "Error 6. Could not write the file to output folder. Check permissions or disk space.";
inline constexpr const char* kError6Folder =
    "Error 6. Could not write file(s) to output folder. Check permissions or disk space.";
inline constexpr const char* kNothingConverted = "No files have been converted.";
inline constexpr const char* kNothingFound = "No files have been found.";
inline constexpr const char* kAborted = "The converting process has been aborted by user.";
}  // namespace msg

// The summary of a folder run.
std::string FolderRunSummary(int converted, int failed, int subfolders, bool aborted);
// (index + 1) * 100 / count, rounded to the nearest integer, ties to even.
int ProgressPercent(std::size_t index, std::size_t count);
// The HTML test page of a movie, as written to disk.
std::string BuildTestPage(const std::string& movieName, const std::string& width, const std::string& height,
                          bool transparent, std::uintmax_t movieSize);

}  // namespace movara::app
