#pragma once

// A view for the main window's logic in tests: it records what the logic
// shows and answers questions as told; its folder tree is the file system.

#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include "app/FolderListing.h"
#include "app/MainView.h"

namespace movara::test {

class FakeView : public app::IMainView {
 public:
  struct Message {
    std::string Text;
    MessageKind Kind;
  };
  std::vector<Message> Messages;
  std::vector<std::string> Statuses;
  std::vector<int> Progress;
  std::vector<std::filesystem::path> Opened;
  bool AnswerYes = true;
  bool Single = true;
  bool UrlOn = true;
  std::string Url = "http://";
  std::filesystem::path Folder;
  std::vector<std::filesystem::path> Selected;  // selected list items (single mode)
  int ProcessCalls = 0;
  int CloseCalls = 0;
  bool Busy = false;
  bool ProgressVisible = false;
  bool StartEnabled = false;
  Geometry Window;
  // Called from ProcessMessages, e.g. to press Escape during a run.
  std::function<void()> OnProcess;

  bool MessageBox(const std::string& text, MessageKind kind) override {
    Messages.push_back({text, kind});
    return kind != MessageKind::Question || AnswerYes;
  }
  void SetStatusText(const std::string& text) override { Statuses.push_back(text); }
  void SetPositionText(const std::string&) override {}
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
  std::filesystem::path SelectedFolder() const override { return Folder; }
  void SelectFolder(const std::filesystem::path& folder) override { Folder = folder; }
  std::vector<std::string> SubfolderNames(const std::filesystem::path& folder) override {
    return app::SubfolderNamesIn(folder);
  }
  std::vector<ListItem> ListItems() const override {
    std::vector<ListItem> items;
    if (Single) {
      for (const auto& p : Selected) items.push_back({p, true});
      return items;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(Folder, ec)) return items;
    for (const auto& p : app::GifFilesIn(Folder)) items.push_back({p, false});
    return items;
  }
  void ShowOutputFolder(const std::filesystem::path&) override {}
  Geometry WindowGeometry() const override { return Window; }
  void SetWindowGeometry(const Geometry& g) override { Window = g; }
  void OpenDocument(const std::filesystem::path& file) override { Opened.push_back(file); }
  void CloseWindow() override { ++CloseCalls; }
};

}  // namespace movara::test
