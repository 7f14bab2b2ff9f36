#pragma once

#include "form/MainView.h"

namespace movara::form {

// A preview pane that shows nothing.
class TSilentPreview final : public IPreviewView, public imaging::IGIFDrawTarget {
 public:
  TPoint PaneClientSize() const override { return {}; }
  void SetPictureBounds(int, int, int, int) override {}
  bool PaneScrollBarsVisible() const override { return false; }
  void SetHandCursor(bool) override {}
  TPoint PaneScrollPosition() const override { return {}; }
  void SetPaneScrollPosition(TPoint) override {}
  imaging::IGIFDrawTarget& PictureTarget() override { return *this; }
  void ClearPicture() override {}
  void Present(std::shared_ptr<const imaging::TBitmap>) override {}
};

// A view that shows nothing and answers every question Yes: the window's
// command-line mode, where no window appears, and benchmarks.
class TSilentView final : public IMainView {
 public:
  bool MessageBox(const std::string&, MessageKind) override { return true; }
  void ShowPlayedPage(const std::string&, const std::string&) override {}
  UrlAnswer AskAboutUrl(const std::string&, const std::string&) override { return UrlAnswer::KeepAsTyped; }
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
  void ShowRunning(bool, bool) override {}
  void SetSingleFileMode(bool) override {}
  void SetUrlText(const std::string&) override {}
  MovieChoices MovieOptions() const override { return {}; }
  void SetMovieOptions(const MovieChoices&) override {}
  std::filesystem::path SelectedFolder() const override { return {}; }
  void SelectFolder(const std::filesystem::path&) override {}
  std::vector<std::string> SubfolderNames(const std::filesystem::path&) override { return {}; }
  std::vector<ListItem> ListItems() const override { return {}; }
  void ShowOutputFolder(const std::filesystem::path&) override {}
  Geometry WindowGeometry() const override { return {}; }
  void SetWindowGeometry(const Geometry&) override {}
  std::filesystem::path PicturesFolder() const override { return {}; }
  void OpenDocument(const std::filesystem::path&) override {}
  bool OpenUrl(const std::string&) override { return true; }
  TLanguage Language() const override { return TLanguage::English; }
  void SetLanguage(TLanguage) override {}
  bool PreviewChecked() const override { return false; }
  IPreviewView& Preview() override { return preview_; }
  std::filesystem::path BrowseForFolder(const std::filesystem::path&) override { return {}; }
  void ShowAboutBox() override {}
  void CloseWindow() override {}

 private:
  TSilentPreview preview_;
};

}  // namespace movara::form
