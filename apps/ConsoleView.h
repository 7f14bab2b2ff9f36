#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/MainView.h"

namespace movara::cli {

// The main window's view on a terminal: messages go to standard output and
// error, questions are answered Yes, the folder tree is the file system.
class TConsoleView final : public app::IMainView {
 public:
  bool Single = true;
  std::string Url;
  std::filesystem::path Folder;
  // In single-file mode the list holds just the file being converted.
  std::filesystem::path File;
  bool Quiet = false;

  bool MessageBox(const std::string& text, MessageKind kind) override;
  void SetStatusText(const std::string& text) override;
  void SetPositionText(const std::string&) override {}
  void ShowPositionPane(bool) override {}
  void SetProgress(int percent) override;
  void ShowProgress(bool visible) override;
  void SetBusyCursor(bool) override {}
  void ProcessMessages() override {}
  bool SingleFileMode() const override { return Single; }
  bool UrlEnabled() const override { return Single; }
  std::string UrlText() const override { return Url; }
  void SetUrlEnabled(bool) override {}
  void SetStartEnabled(bool) override {}
  std::filesystem::path SelectedFolder() const override { return Folder; }
  void SelectFolder(const std::filesystem::path& folder) override { Folder = folder; }
  std::vector<std::string> SubfolderNames(const std::filesystem::path& folder) override;
  std::vector<ListItem> ListItems() const override;
  void ShowOutputFolder(const std::filesystem::path&) override {}
  Geometry WindowGeometry() const override { return {}; }
  void SetWindowGeometry(const Geometry&) override {}
  void OpenDocument(const std::filesystem::path& file) override;
  void CloseWindow() override {}

 private:
  bool progressShown_ = false;
};

// The folder holding the running program.
std::filesystem::path ProgramFolder();

}  // namespace movara::cli
