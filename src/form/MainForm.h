#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "convert/Convert.h"
#include "form/MainView.h"
#include "form/Preview.h"
#include "form/SettingsStore.h"
#include "play/HtmlPage.h"
#include "play/PlayerServer.h"
#include "run/FolderRun.h"
#include "run/MovieNames.h"
#include "run/RunReport.h"

namespace movara::form {

// The main window's state and handlers, without any toolkit: the view and
// the settings store are interfaces.
class TfrmMain {
 public:
  TfrmMain(IMainView& view, ISettingsStore& settings, std::filesystem::path programFolder);

  std::filesystem::path OutputFolder;
  std::filesystem::path LastDir;
  bool CommandLineMode = false;
  bool AbortRequested = false;
  // The code of the conversion FormCreate ran for the command line, and
  // why it failed (the error's text and its reason) when it did.
  int CommandLineResult = convert::crOk;
  std::string CommandLineError;
  std::int32_t RememberedIndex = -1;

  const std::filesystem::path& ProgramFolder() const { return programFolder_; }

  // Window creation: settings, then the command-line conversion when the
  // first argument names an existing file.
  void FormCreate(const std::vector<std::string>& args);
  void FormClose();
  void FormPaint();
  // The window is asked to close: true when it may close now; during a run,
  // false: the run stops between files without its summary, and the window
  // closes after it (ClosePending).
  bool FormCloseQuery();
  bool ClosePending() const { return closePending_; }
  void FormKeyPress(char key);
  void RBSingleClick();
  void btnStartClick();
  // Start turned stop during a folder run: the run ends between files.
  void btnStopClick();
  // Files and folders dropped on the window: a folder is selected in the
  // tree; GIF files are converted, each as a single-file run, with one box
  // at the end when there are several.
  void FilesDropped(const std::vector<std::filesystem::path>& paths);
  // Opens the output folder in the desktop's file manager.
  void btnOpenFolderClick();
  void FTreeChange(const std::filesystem::path& folder);
  // The folder dialog at OutputFolder; the chosen folder becomes it.
  void btnSelectFolderClick();
  void btnSelectFolderClick(const std::filesystem::path& chosen);
  // Window handlers (WindowHandlers.cpp).
  void LV1SelectItem(std::size_t index, bool selected);
  void ChB1Click();
  // The file list was filled anew: the position pane follows it.
  void ListChanged();
  // Shows the long part of a hint ("short|long") in the status pane.
  void ShowHint(const std::string& hint);
  void TBItem1Click();
  void About1Click();
  // The help page shipped with the program: beside it, or in the installed
  // data folder.
  std::filesystem::path HelpFile() const;
  // Where movies go when no output folder is chosen or the chosen one is
  // gone: the user's pictures folder, else the home folder, else the
  // program's folder.
  std::filesystem::path DefaultOutputFolder() const;
  // The preview pane of the selected GIF.
  TPreviewPane Preview;
  // Whether a Start button run is going on.
  bool Running() const { return running_; }
  void readini();
  void writeini();
  // The mode, the URL and the movie's check boxes, with the other settings.
  void readChoices();
  void writeChoices();

  // Converts one GIF into a movie as the window does: the output folder
  // rules, the overwrite question, status, messages and the HTML test page
  // around ConvertGif. Returns the result code (TConvertResult).
  int ConvertNow(const std::filesystem::path& gifFileName, const std::string& subFolder);
  // The same for a file of a planned run, whose movie's path is known.
  int ConvertPlanned(const run::TPlannedFile& file);
  // The folder mode of the Start button: the selected folder and one level
  // of its subfolders, with progress, abort and the summary.
  run::TFolderRunCounts RunFolder();
  // Writes the HTML test page beside a movie and opens it as served, with
  // the player, in the browser.
  void ShowHTML(const std::filesystem::path& fileName, const std::string& width, const std::string& height,
                bool transparent);

 private:
  class TFolderRunView;
  // What a run does, read from the controls once, at its start.
  struct TRunChoices {
    bool Single = true;
    std::string Url;
    IMainView::MovieChoices Movie;
  };
  TRunChoices CurrentChoices() const;
  // A run from its start to its end: its choices read once, the controls
  // that choose them disabled meanwhile.
  class TRunScope {
   public:
    TRunScope(TfrmMain& form, const TRunChoices& choices);
    ~TRunScope();
    TRunScope(const TRunScope&) = delete;
    TRunScope& operator=(const TRunScope&) = delete;

   private:
    TfrmMain& form_;
  };
  // The folder a movie goes to (OutputFolder, which falls back to the
  // program's folder, or its subfolder of that name).
  std::filesystem::path MovieFolder(const std::string& subFolder);
  // How the window plans a run into MovieFolder(subFolder): test pages for
  // a single file, except from the command line.
  run::TPlanOptions PlanOptions(const std::string& subFolder);
  // The URL of the link button: the URL box's text when it is enabled and
  // holds more than "http://"; empty otherwise.
  std::string LinkUrl() const;
  // Whether the movie may be written; asks when an interactive single-file
  // conversion would replace one (unless existing movies are kept).
  bool MayWrite(const std::filesystem::path& target, bool single, bool keep);
  void ReportConversion(const convert::TConvertOutcome& outcome);
  // Serves a movie and its page (PlayInWindow.cpp), starting the player
  // server on first use, and opens the page in the browser; a message box
  // says why when it cannot.
  void OpenServedPage(const std::filesystem::path& movie, const std::filesystem::path& page);
  void EndFolderRun(const std::filesystem::path& root);
  IMainView& view_;
  ISettingsStore& settings_;
  std::filesystem::path programFolder_;
  bool running_ = false;
  // The server of the movies played, for as long as the window lives.
  std::unique_ptr<play::TPlayerServer> player_;
  bool closePending_ = false;
  // The movies' subfolders a run made, tidied when it ends.
  run::TMovieFolders movieFolders_;
  TRunChoices run_;
  std::vector<run::TFailedFile> runFailures_;
};

// The window's status text while it converts.
namespace msg {
// The result texts the window shares with the command line.
using namespace run::msg;
inline constexpr const char* kConverting = "Converting:  please wait...";
}  // namespace msg

// Whether the program's arguments ask for a conversion without the window:
// the first names an existing file.
bool IsCommandLineConversion(const std::vector<std::string>& args);

// (index + 1) * 100 / count, rounded to the nearest integer, ties to even.
int ProgressPercent(std::size_t index, std::size_t count);

}  // namespace movara::form
