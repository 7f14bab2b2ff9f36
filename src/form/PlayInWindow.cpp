// The window writes a converted movie's test page and plays the movie in the
// browser: its page and the movie served with the player on 127.0.0.1,
// since no browser plays the page's plug-in markup from a file. The page's
// address is shown too: a browser may start and still show nothing.
#include <exception>

#include "base/FileStream.h"
#include "form/MainForm.h"
#include "play/PlayerFiles.h"

namespace movara::form {

void TfrmMain::ShowHTML(const std::filesystem::path& fileName, const std::string& width, const std::string& height,
                        bool transparent, const std::string& made) {
  std::filesystem::path page;
  try {
    // The window replaces a page as it replaces the movie: always.
    page = play::WriteTestPage(fileName, width, height, transparent).value();
  } catch (const std::exception&) {
    view_.MessageBox(made, IMainView::MessageKind::Information);
    view_.MessageBox(msg::kError6, IMainView::MessageKind::Error);
    return;
  }
  view_.ProcessMessages();
  const std::string url = ServePage(fileName, page, made);
  if (url.empty()) return;
  const bool opened = view_.OpenUrl(url);
  view_.ShowPlayedPage(made + "\n\n" + (opened ? msg::kPageOpened : msg::kNoBrowser), url);
}

std::string TfrmMain::ServePage(const std::filesystem::path& movie, const std::filesystem::path& page,
                                const std::string& made) {
  std::string why;
  try {
    if (!player_) {
      const std::filesystem::path folder = play::FindPlayerFolder(programFolder_);
      if (folder.empty()) why = play::PlayerMissingMessage(programFolder_);
      else player_ = std::make_unique<play::TPlayerServer>(folder);
    }
    if (player_) {
      const std::vector<std::uint8_t> text = ReadFileBytes(page);
      return player_->Play(movie, std::string(text.begin(), text.end()));
    }
  } catch (const std::exception& e) {
    why = std::string("The movie could not be played: ") + e.what();
  }
  view_.MessageBox(made, IMainView::MessageKind::Information);
  view_.MessageBox(why, IMainView::MessageKind::Error);
  return {};
}

}  // namespace movara::form
