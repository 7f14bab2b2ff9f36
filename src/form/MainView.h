#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "convert/Convert.h"
#include "form/Preview.h"

namespace movara::form {

// The languages of the window's texts.
enum class TLanguage { English, Chinese };

// What the main window's logic needs of its controls. The Qt window, the
// console front end and the tests each provide one.
class IMainView {
 public:
  virtual ~IMainView() = default;

  enum class MessageKind { Question, Information, Error };
  // A message box captioned "Movara"; a question answers Yes (true) or No.
  virtual bool MessageBox(const std::string& text, MessageKind kind) = 0;
  // The box after a movie was made and served: its text, then the page's
  // address, which the user can select, copy and open in the browser.
  virtual void ShowPlayedPage(const std::string& text, const std::string& url) = 0;
  // Asked when the link's URL names a site without its scheme: the URL
  // with "https://" (`suggestion`), the URL as typed, or no run.
  enum class UrlAnswer { UseSuggestion, KeepAsTyped, Cancel };
  virtual UrlAnswer AskAboutUrl(const std::string& url, const std::string& suggestion) = 0;

  // The wide status pane (RzP), the position pane (RzP2), the progress bar
  // (RzB) and the cursor.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetPositionText(const std::string& text) = 0;
  virtual void ShowPositionPane(bool visible) = 0;
  virtual void SetProgress(int percent) = 0;
  virtual void ShowProgress(bool visible) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  // Lets the window repaint and record key presses (Escape) during long work.
  virtual void ProcessMessages() = 0;

  // Mode radio buttons, URL box and Start button.
  virtual bool SingleFileMode() const = 0;
  virtual bool UrlEnabled() const = 0;
  virtual std::string UrlText() const = 0;
  virtual void SetUrlEnabled(bool enabled) = 0;
  virtual void SetStartEnabled(bool enabled) = 0;
  virtual void SetSingleFileMode(bool single) = 0;
  virtual void SetUrlText(const std::string& url) = 0;
  // The movie's choices: 8-bit pictures where they fit (compact), a
  // compressed movie, movies that exist already kept, and its clock (the
  // frame rate and whether the GIF's loop count is played).
  struct MovieChoices {
    bool Compact = false;
    bool Compress = false;
    bool KeepExisting = false;
    convert::TMovieTiming Timing;
    // The file-type box: GIF files only, or PNG and WebP files too, in the
    // list and in folder runs.
    bool PngAndWebP = false;
  };
  virtual MovieChoices MovieOptions() const = 0;
  virtual void SetMovieOptions(const MovieChoices& choices) = 0;
  // A run has started or ended: the controls that choose what it does (mode,
  // URL, output folder, folder tree, Start) are disabled during it; a folder
  // run turns Start into its stop button.
  virtual void ShowRunning(bool running, bool folderRun) = 0;

  // The folder tree: its selected folder, selecting another (the file list
  // follows it), and the names of a folder's subfolders in display order.
  virtual std::filesystem::path SelectedFolder() const = 0;
  virtual void SelectFolder(const std::filesystem::path& folder) = 0;
  virtual std::vector<std::string> SubfolderNames(const std::filesystem::path& folder) = 0;

  // The file list: the GIF files of the selected folder in display order.
  struct ListItem {
    std::filesystem::path Path;
    bool Selected = false;
  };
  virtual std::vector<ListItem> ListItems() const = 0;

  virtual void ShowOutputFolder(const std::filesystem::path& folder) = 0;
  // The window's outer geometry, in pixels.
  struct Geometry {
    int Left = 192;
    int Top = 114;
    int Width = 784;
    int Height = 384;
    // Left to Height are then the size and place it returns to.
    bool Maximized = false;
    // The folder column's share of the width it shares with the file list,
    // in ten-thousandths (5000: the design's halves); the window keeps each
    // at least at its minimum width.
    int SplitShare = 5000;
  };
  virtual Geometry WindowGeometry() const = 0;
  virtual void SetWindowGeometry(const Geometry& geometry) = 0;
  // The user's pictures folder, empty when the desktop names none.
  virtual std::filesystem::path PicturesFolder() const = 0;
  // Opens a document with the desktop's default handler.
  virtual void OpenDocument(const std::filesystem::path& file) = 0;
  // Opens a URL in the user's browser; false when it cannot.
  virtual bool OpenUrl(const std::string& url) = 0;
  // The language of the window's texts, and switching it.
  virtual TLanguage Language() const = 0;
  virtual void SetLanguage(TLanguage language) = 0;

  // The preview: its check box (ChB1) and its pane.
  virtual bool PreviewChecked() const = 0;
  virtual IPreviewView& Preview() = 0;
  // The folder dialog, starting at a folder; empty when cancelled.
  virtual std::filesystem::path BrowseForFolder(const std::filesystem::path& start) = 0;
  // The about box, shown modally.
  virtual void ShowAboutBox() = 0;
  // Asks the window to close (which ends the program).
  virtual void CloseWindow() = 0;
};

}  // namespace movara::form
