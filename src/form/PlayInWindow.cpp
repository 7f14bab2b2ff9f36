// The window writes a converted movie's test page and plays the movie in the
// browser: its page and the movie served with the player on 127.0.0.1,
// since no browser plays the page's plug-in markup from a file.
#include <exception>

#include "base/FileStream.h"
#include "form/MainForm.h"
#include "play/PlayerFiles.h"

namespace movara::form {

void TfrmMain::ShowHTML(const std::filesystem::path& fileName, const std::string& width, const std::string& height,
                        bool transparent) {
  std::filesystem::path page;
  try {
    // The window replaces a page as it replaces the movie: always.
    page = play::WriteTestPage(fileName, width, height, transparent).value();
  } catch (const std::exception&) {
    view_.MessageBox(msg::kError6, IMainView::MessageKind::Error);
    return;
  }
  view_.ProcessMessages();
  OpenServedPage(fileName, page);
}

void TfrmMain::OpenServedPage(const std::filesystem::path& movie, const std::filesystem::path& page) {
  std::string url;
  try {
    if (!player_) {
      const std::filesystem::path folder = play::FindPlayerFolder(programFolder_);
      if (folder.empty()) {
        view_.MessageBox(play::PlayerMissingMessage(programFolder_), IMainView::MessageKind::Error);
        return;
      }
      player_ = std::make_unique<play::TPlayerServer>(folder);
    }
    const std::vector<std::uint8_t> text = ReadFileBytes(page);
    url = player_->Play(movie, std::string(text.begin(), text.end()));
  } catch (const std::exception& e) {
    view_.MessageBox(std::string("The movie could not be played: ") + e.what(), IMainView::MessageKind::Error);
    return;
  }
  if (!view_.OpenUrl(url)) {
    view_.MessageBox("The browser could not be opened on " + url, IMainView::MessageKind::Error);
  }
}

}  // namespace movara::form
