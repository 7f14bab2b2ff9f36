#pragma once

#include "app/MainView.h"

namespace movara::app {

// A view that shows nothing and answers every question Yes: the window's
// command-line mode, where no window appears, and benchmarks.
class TSilentView final : public IMainView {
 public:
  bool MessageBox(const std::string&, MessageKind) override { return true; }
  void SetStatusText(const std::string&) override {}
  void SetPositionText(const std::string&) override {}
  void ShowPositionPane(bool) override {}
  void SetProgress(int) override {}
  void ShowProgress(bool) override {}
  void SetBusyCursor(bool) override {}
  void ProcessMessages() override {}
  bool SingleFileMode() const override { return true; }
  bool UrlEnabled() const override { return false; }
  std::string UrlText() const override { return {}; }
  void SetUrlEnabled(bool) override {}
  void SetStartEnabled(bool) override {}
  std::filesystem::path SelectedFolder() const override { return {}; }
  void SelectFolder(const std::filesystem::path&) override {}
  std::vector<std::string> SubfolderNames(const std::filesystem::path&) override { return {}; }
  std::vector<ListItem> ListItems() const override { return {}; }
  void ShowOutputFolder(const std::filesystem::path&) override {}
  Geometry WindowGeometry() const override { return {}; }
  void SetWindowGeometry(const Geometry&) override {}
  void OpenDocument(const std::filesystem::path&) override {}
  void CloseWindow() override {}
};

}  // namespace movara::app
