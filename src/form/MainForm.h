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
  // Escape stops a run of several files between files, and says so at once.
  void FormKeyPress(char key);
  void RBSingleClick();
  void btnStartClick();
  // Start turned stop during a run of several files: the run ends between
  // files, and the status says so at once.
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
  // The Language menu: the window's texts switch at once, and the choice is
  // kept with the settings (until one is made, the locale's language).
  void LanguageClick(TLanguage language);
  // The help page of the window's language shipped with the program (the
  // English one when that language has none): beside it, or in the
  // installed data folder.
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
  // Writes the HTML test page beside a movie, serves it with the player and
  // opens it in the browser; then one box says `made` and gives the page's
  // address to copy or open again (or says why it cannot be played).
  void ShowHTML(const std::filesystem::path& fileName, const std::string& width, const std::string& height,
                bool transparent, const std::string& made);

 private:
  class TFolderRunView;
  // What a run does, read from the controls once, at its start.
  struct TRunChoices {
    bool Single = true;
    std::string Url;
    IMainView::MovieChoices Movie;
    // Whether replacing the movies that exist was asked once for the whole
    // run (a drop), so that no file asks again.
    bool ReplaceAsked = false;
  };
  TRunChoices CurrentChoices() const;
  // Asks about a link that names a site without its scheme; false when the
  // run is cancelled. The choices take the URL the user chose.
  bool ConfirmUrl(TRunChoices& choices);
  // Asks once whether the planned movies that exist are replaced (unless
  // they are kept anyway); No keeps them, or for a single file converts
  // nothing (false).
  bool AskOnceAboutReplacing(const run::TRunPlan& plan, TRunChoices& choices);
  // " n movies that existed have been kept." for a summary; empty for none.
  std::string KeptText() const;
  // How the reasons of failures are said in the window's language.
  run::TReasonText ReasonText() const;
  // The status once a run of several files was asked to stop.
  void ShowStopping();
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
  bool MayWrite(const std::filesystem::path& target, const TRunChoices& choices);
  void ReportConversion(const convert::TConvertOutcome& outcome);
  // Serves a movie and its page (PlayInWindow.cpp), starting the player
  // server on first use; the page's address. Empty when it cannot, after a
  // box with `made` and one that says why.
  std::string ServePage(const std::filesystem::path& movie, const std::filesystem::path& page, const std::string& made);
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
  // The files of the run of several going on, how many were started, and
  // the one being converted.
  std::size_t runTotal_ = 0;
  std::size_t runStarted_ = 0;
  // Movies of the run that existed and were kept.
  int runKept_ = 0;
  std::filesystem::path current_;
  // Whether the user chose the language (stored then).
  bool languageChosen_ = false;
};

// The window's own texts.
namespace msg {
// The result texts the window shares with the command line.
using namespace run::msg;
// The status while a file converts: its name, and its place in a run of
// `count` files when there are several.
std::string ConvertingText(const std::filesystem::path& gif, std::size_t index, std::size_t count);
// The status once a run of several files was asked to stop.
std::string StoppingText(const std::filesystem::path& gif);
// What the box after a movie was made and served says of its page.
inline constexpr const char* kPageOpened = "It should now play in your browser; if it does not, open this address in one:";
inline constexpr const char* kNoBrowser = "No browser could be started: open this address in one to play the movie:";
}  // namespace msg

// Whether the program's arguments ask for a conversion without the window:
// the first names an existing file.
bool IsCommandLineConversion(const std::vector<std::string>& args);

// (index + 1) * 100 / count, rounded to the nearest integer, ties to even.
int ProgressPercent(std::size_t index, std::size_t count);

}  // namespace movara::form
