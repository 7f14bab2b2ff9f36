#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "form/MainForm.h"
#include "ui/Anchors.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QFileSystemWatcher;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;
class QTranslator;
class QTreeView;
class QTreeWidget;

namespace movara::ui {

class TPreviewBox;
class TSplitHandle;

// The main window. It lays out the controls, converts Qt's types and calls
// the handlers of TfrmMain, which hold every rule; as the view of TfrmMain it
// gives the handlers the controls' state.
class TMainWindow final : public QWidget, public form::IMainView {
  Q_OBJECT
 public:
  TMainWindow(form::ISettingsStore& settings, std::filesystem::path programFolder);
  ~TMainWindow() override;

  form::TfrmMain& Form() { return *form_; }

  // The controls, by the names the handlers use.
  QTreeView* FTree;
  QTreeWidget* LV1;
  QComboBox* CB1;
  TPreviewBox* BPanel1;
  QCheckBox* ChB1;
  QGroupBox* GroupBox1;
  QRadioButton* RBSingle;
  QRadioButton* RBFolder;
  QGroupBox* GroupBox4;
  QLineEdit* EURL;
  QGroupBox* GroupBox3;
  QComboBox* ComboBox1;
  // The movie's choices, where the hidden quality box would be.
  QGroupBox* GroupBox5;
  QCheckBox* ChBCompact;
  QCheckBox* ChBCompress;
  QCheckBox* ChBKeep;
  QLabel* LblFrameRate;
  QSpinBox* SEFrameRate;
  QCheckBox* ChBGifLoop;
  QPushButton* btnStart;
  QPushButton* btnOpenFolder;
  QGroupBox* GroupBox2;
  QLabel* JamPathLabel1;
  QPushButton* btnSelectFolder;
  QFrame* BV2;
  // Between the folder column and the file list.
  TSplitHandle* Splitter1;
  QMenuBar* TBToolbar1;
  QAction* TBItem1;
  QAction* About1;
  // The Language menu: English and 中文, the one shown checked.
  QMenu* LanguageMenu;
  QAction* LangEnglish;
  QAction* LangChinese;
  QFrame* RzSB1;
  QLabel* RzP2;
  QProgressBar* RzB;
  QLabel* RzP;

  // IMainView
  bool MessageBox(const std::string& text, MessageKind kind) override;
  void ShowPlayedPage(const std::string& text, const std::string& url) override;
  UrlAnswer AskAboutUrl(const std::string& url, const std::string& suggestion) override;
  void SetStatusText(const std::string& text) override;
  void SetPositionText(const std::string& text) override;
  void ShowPositionPane(bool visible) override;
  void SetProgress(int percent) override;
  void ShowProgress(bool visible) override;
  void SetBusyCursor(bool busy) override;
  void ProcessMessages() override;
  bool SingleFileMode() const override;
  bool UrlEnabled() const override;
  std::string UrlText() const override;
  void SetUrlEnabled(bool enabled) override;
  void SetStartEnabled(bool enabled) override;
  void ShowRunning(bool running, bool folderRun) override;
  void SetSingleFileMode(bool single) override;
  void SetUrlText(const std::string& url) override;
  MovieChoices MovieOptions() const override;
  void SetMovieOptions(const MovieChoices& choices) override;
  std::filesystem::path SelectedFolder() const override;
  void SelectFolder(const std::filesystem::path& folder) override;
  std::vector<std::string> SubfolderNames(const std::filesystem::path& folder) override;
  std::vector<ListItem> ListItems() const override;
  void ShowOutputFolder(const std::filesystem::path& folder) override;
  Geometry WindowGeometry() const override;
  void SetWindowGeometry(const Geometry& geometry) override;
  std::filesystem::path PicturesFolder() const override;
  void OpenDocument(const std::filesystem::path& file) override;
  bool OpenUrl(const std::string& url) override;
  form::TLanguage Language() const override { return language_; }
  void SetLanguage(form::TLanguage language) override;
  bool PreviewChecked() const override;
  form::IPreviewView& Preview() override;
  std::filesystem::path BrowseForFolder(const std::filesystem::path& start) override;
  void ShowAboutBox() override;
  void CloseWindow() override;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void CreateMenu();
  void CreateLanguageMenu();
  void CreateFolderTreeAndList();
  void CreatePreview();
  void CreateModeAndUrl();
  void CreateMovieChoices();
  void CreateOutputAndStart();
  void CreateStatusBar();
  void ConnectHandlers();
  void AddTooltips();
  void ApplyTooltips();
  // Sets texts of the window's language once the window is made, and
  // again whenever the language changes.
  void Translated(std::function<void()> apply);
  // The file list of a folder, refilled from the disk.
  void FillList(const std::filesystem::path& folder);
  // Refills the list when the folder's GIF files have changed on the disk,
  // keeping the selected file selected.
  void RefreshList();
  void TreeChanged();
  void ShowOutputPath();
  // The controls at their anchored places, the left part (tree, preview,
  // list) by the window's size and the split share.
  void Relayout();

  TAnchors anchors_;
  QFileSystemModel* folders_;
  QFileSystemWatcher* listWatcher_;
  std::filesystem::path listed_;
  std::filesystem::path outputShown_;
  std::filesystem::path scrollPending_;
  QTimer* treeScroll_;
  bool busy_ = false;
  // The folder column's share of the width it shares with the list, in
  // ten-thousandths: relative, so that it suits any size of the window.
  int splitShare_ = 5000;
  // Start shows Stop (during a run of several files).
  bool stopShown_ = false;
  form::TLanguage language_ = form::TLanguage::Chinese;
  bool textsSet_ = false;
  // Installed while the face is English.
  std::unique_ptr<QTranslator> english_;
  std::vector<std::function<void()>> retranslate_;
  // Last: its preview's painters stop before the controls go.
  std::unique_ptr<form::TfrmMain> form_;
};

}  // namespace movara::ui
