// The main window's handlers besides the conversion: the file list, the
// preview's check box, hints, help and the about box.
#include <system_error>

#include "base/ProgramFolder.h"
#include "form/MainForm.h"
#include "play/Browser.h"

namespace movara::form {

namespace {

// The help page of each language, English first.
constexpr const char* kHelpFileNames[] = {"Movara.html", "Movara-zh.html"};

std::string LongHint(const std::string& hint) {
  const auto bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

}  // namespace

void TfrmMain::LV1SelectItem(std::size_t index, bool selected) {
  if (!selected) {
    Preview.ShowPreView({});
    if (view_.SingleFileMode() && !running_) view_.SetStartEnabled(false);
    return;
  }
  if (!running_) view_.SetStartEnabled(true);
  view_.ProcessMessages();
  const auto items = view_.ListItems();
  if (index >= items.size()) return;
  RememberedIndex = static_cast<std::int32_t>(index);
  view_.SetPositionText(run::PositionText(static_cast<std::ptrdiff_t>(index), items.size()));
  if (view_.PreviewChecked()) Preview.ShowPreView(items[index].Path);
}

void TfrmMain::ChB1Click() {
  if (!view_.PreviewChecked()) {
    Preview.ShowPreView({});
    return;
  }
  if (RememberedIndex < 0) return;
  const auto items = view_.ListItems();
  if (static_cast<std::size_t>(RememberedIndex) < items.size()) Preview.ShowPreView(items[RememberedIndex].Path);
}

void TfrmMain::ListChanged() {
  const auto items = view_.ListItems();
  std::ptrdiff_t selected = -1;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].Selected) selected = static_cast<std::ptrdiff_t>(i);
  }
  view_.SetPositionText(run::PositionText(selected, items.size()));
}

void TfrmMain::ShowHint(const std::string& hint) { view_.SetStatusText(LongHint(hint)); }

std::filesystem::path TfrmMain::HelpFile() const {
  std::error_code ec;
  for (const char* name : {kHelpFileNames[static_cast<int>(view_.Language())], kHelpFileNames[0]}) {
    for (const auto& folder : {programFolder_, InstalledDataFolder(programFolder_)}) {
      if (std::filesystem::is_regular_file(folder / name, ec)) return folder / name;
    }
  }
  return {};
}

void TfrmMain::TBItem1Click() {
  const std::filesystem::path help = HelpFile();
  if (help.empty()) {
    view_.MessageBox(std::string("The help file ") + kHelpFileNames[0] + " is missing beside the program.",
                     IMainView::MessageKind::Error);
    return;
  }
  // A page, opened as the movies' pages are.
  if (!view_.OpenUrl(play::FileUrl(help))) {
    view_.MessageBox("No browser could be started to show the help page " + help.string(),
                     IMainView::MessageKind::Error);
  }
}

void TfrmMain::About1Click() { view_.ShowAboutBox(); }

}  // namespace movara::form
