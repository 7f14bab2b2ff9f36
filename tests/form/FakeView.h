#pragma once

// A view for the main window's logic in tests: it records what the logic
// shows and answers questions as told; its folder tree is the file system.

#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include "PainterDoubles.h"
#include "form/MainView.h"
#include "run/FolderListing.h"

namespace movara::test {

// The preview pane: the client size of the design (201 x 153 less its
// border), scroll bars when the picture is larger, pictures recorded.
class FakePreview : public form::IPreviewView {
 public:
  TPoint Client{197, 149};
  TPoint Position, Size;
  TPoint Scroll;
  bool Hand = false;
  int Clears = 0;
  RecordingTarget Target;

  TPoint PaneClientSize() const override { return Client; }
  void SetPictureBounds(int left, int top, int width, int height) override {
    Position = {left, top};
    Size = {width, height};
  }
  bool PaneScrollBarsVisible() const override { return Size.X > Client.X || Size.Y > Client.Y; }
  void SetHandCursor(bool hand) override { Hand = hand; }
  TPoint PaneScrollPosition() const override { return Scroll; }
  void SetPaneScrollPosition(TPoint position) override { Scroll = position; }
  imaging::IGIFDrawTarget& PictureTarget() override { return Target; }
  void ClearPicture() override { ++Clears; }
};

class FakeView : public form::IMainView {
 public:
  struct Message {
    std::string Text;
    MessageKind Kind;
  };
  std::vector<Message> Messages;
  std::vector<std::string> Statuses;
  std::vector<int> Progress;
  std::string PositionText;
  std::vector<std::filesystem::path> Opened;
  std::vector<std::string> OpenedUrls;
  bool UrlOpens = true;
  // The addresses the box after a played movie showed (its text goes to
  // Messages, as an information).
  std::vector<std::string> PlayedPages;
  // The questions about a URL without a scheme, and the answer given.
  std::vector<std::pair<std::string, std::string>> UrlQuestions;
  UrlAnswer UrlReply = UrlAnswer::KeepAsTyped;
  form::TLanguage Shown = form::TLanguage::English;
  bool AnswerYes = true;
  bool Single = true;
  bool UrlOn = true;
  std::string Url = "http://";
  std::filesystem::path Folder;
  std::vector<std::filesystem::path> Selected;  // selected list items (single mode)
  // When not empty, the file list as the window shows it (either mode).
  std::vector<ListItem> List;
  bool PreviewOn = true;
  FakePreview PreviewPane;
  std::filesystem::path DialogAnswer;  // the folder dialog's choice
  std::vector<std::filesystem::path> DialogStarts;
  int AboutBoxes = 0;
  int ProcessCalls = 0;
  int CloseCalls = 0;
  bool Busy = false;
  bool ProgressVisible = false;
  bool StartEnabled = false;
  Geometry Window;
  std::filesystem::path Pictures;
  MovieChoices Movie;
  // ShowRunning's calls: running, folder run.
  std::vector<std::pair<bool, bool>> Running;
  // Called from ProcessMessages, e.g. to press Escape during a run.
  std::function<void()> OnProcess;

  bool MessageBox(const std::string& text, MessageKind kind) override {
    Messages.push_back({text, kind});
    return kind != MessageKind::Question || AnswerYes;
  }
  void ShowPlayedPage(const std::string& text, const std::string& url) override {
    Messages.push_back({text, MessageKind::Information});
    PlayedPages.push_back(url);
  }
  UrlAnswer AskAboutUrl(const std::string& url, const std::string& suggestion) override {
    UrlQuestions.emplace_back(url, suggestion);
    return UrlReply;
  }
  void SetStatusText(const std::string& text) override { Statuses.push_back(text); }
  void SetPositionText(const std::string& text) override { PositionText = text; }
  void ShowPositionPane(bool) override {}
  void SetProgress(int percent) override { Progress.push_back(percent); }
  void ShowProgress(bool visible) override { ProgressVisible = visible; }
  void SetBusyCursor(bool busy) override { Busy = busy; }
  void ProcessMessages() override {
    ++ProcessCalls;
    if (OnProcess) OnProcess();
  }
  bool SingleFileMode() const override { return Single; }
  bool UrlEnabled() const override { return UrlOn; }
  std::string UrlText() const override { return Url; }
  void SetUrlEnabled(bool enabled) override { UrlOn = enabled; }
  void SetStartEnabled(bool enabled) override { StartEnabled = enabled; }
  void ShowRunning(bool running, bool folderRun) override { Running.push_back({running, folderRun}); }
  void SetSingleFileMode(bool single) override { Single = single; }
  void SetUrlText(const std::string& url) override { Url = url; }
  MovieChoices MovieOptions() const override { return Movie; }
  void SetMovieOptions(const MovieChoices& choices) override { Movie = choices; }
  std::filesystem::path SelectedFolder() const override { return Folder; }
  void SelectFolder(const std::filesystem::path& folder) override { Folder = folder; }
  std::vector<std::string> SubfolderNames(const std::filesystem::path& folder) override {
    return run::SubfolderNamesIn(folder);
  }
  std::vector<ListItem> ListItems() const override {
    if (!List.empty()) return List;
    std::vector<ListItem> items;
    if (Single) {
      for (const auto& p : Selected) items.push_back({p, true});
      return items;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(Folder, ec)) return items;
    for (const auto& p : run::GifFilesIn(Folder)) items.push_back({p, false});
    return items;
  }
  void ShowOutputFolder(const std::filesystem::path&) override {}
  Geometry WindowGeometry() const override { return Window; }
  void SetWindowGeometry(const Geometry& g) override { Window = g; }
  std::filesystem::path PicturesFolder() const override { return Pictures; }
  void OpenDocument(const std::filesystem::path& file) override { Opened.push_back(file); }
  bool OpenUrl(const std::string& url) override {
    OpenedUrls.push_back(url);
    return UrlOpens;
  }
  form::TLanguage Language() const override { return Shown; }
  void SetLanguage(form::TLanguage language) override { Shown = language; }
  bool PreviewChecked() const override { return PreviewOn; }
  form::IPreviewView& Preview() override { return PreviewPane; }
  std::filesystem::path BrowseForFolder(const std::filesystem::path& start) override {
    DialogStarts.push_back(start);
    return DialogAnswer;
  }
  void ShowAboutBox() override { ++AboutBoxes; }
  void CloseWindow() override { ++CloseCalls; }
};

}  // namespace movara::test
