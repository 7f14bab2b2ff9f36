// The tooltips of the main window's controls: a hint's long part where the
// control has one, a text of its own otherwise.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeView>
#include <QTreeWidget>

#include "ui/MainWindow.h"
#include "ui/PreviewBox.h"
#include "ui/WindowTexts.h"

namespace movara::ui {

void TMainWindow::AddTooltips() { Translated([this] { ApplyTooltips(); }); }

void TMainWindow::ApplyTooltips() {
  for (QWidget* hinted : std::initializer_list<QWidget*>{RBSingle, RBFolder, EURL, ComboBox1}) {
    hinted->setToolTip(text::LongHint(hinted->statusTip()));
  }
  const std::pair<QWidget*, const char*> tips[] = {
      {FTree, text::kTreeTip},          {LV1, text::kListTip},           {CB1, text::kFileTypeTip},
      {BPanel1, text::kPreviewTip},     {ChBCompact, text::kCompactTip}, {ChBCompress, text::kCompressTip},
      {ChBKeep, text::kKeepExistingTip}, {btnStart, text::kStartTip},   {btnSelectFolder, text::kSelectFolderTip},
      {RzP2, text::kPositionTip},       {RzB, text::kProgressTip},         {btnOpenFolder, text::kOpenFolderTip},
      {LblFrameRate, text::kFrameRateTip}, {SEFrameRate, text::kFrameRateTip}, {ChBGifLoop, text::kGifLoopTip}};
  for (const auto& [control, tip] : tips) control->setToolTip(text::Tr(tip));
  // The list takes drops as the whole window does.
  LV1->setToolTip(text::Tr(text::kListTip) + "\n" + text::Tr(text::kDropTip));
}

}  // namespace movara::ui
