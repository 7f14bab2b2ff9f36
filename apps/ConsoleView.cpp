#include "ConsoleView.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <system_error>

namespace movara::cli {

namespace {

bool IsGif(const std::filesystem::path& p) {
  std::string ext = p.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".gif";
}

}  // namespace

bool TConsoleView::MessageBox(const std::string& text, MessageKind kind) {
  if (kind == MessageKind::Question) return true;
  if (progressShown_) std::fputs("\n", stderr), progressShown_ = false;
  if (kind == MessageKind::Error) {
    std::fprintf(stderr, "%s\n", text.c_str());
  } else if (!Quiet) {
    std::printf("%s\n", text.c_str());
  }
  return true;
}

void TConsoleView::SetStatusText(const std::string& text) {
  if (Quiet || text.empty() || text.starts_with("Converting:") || !isatty(STDERR_FILENO)) return;
  std::fprintf(stderr, "%s\n", text.c_str());
}

void TConsoleView::SetProgress(int percent) {
  if (Quiet || !progressShown_ || !isatty(STDERR_FILENO)) return;
  std::fprintf(stderr, "\r%3d%%", percent);
  std::fflush(stderr);
}

void TConsoleView::ShowProgress(bool visible) {
  if (!visible && progressShown_ && isatty(STDERR_FILENO)) std::fputs("\r    \r", stderr);
  progressShown_ = visible && !Quiet;
}

std::vector<std::string> TConsoleView::SubfolderNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    if (e.is_directory()) names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<app::IMainView::ListItem> TConsoleView::ListItems() const {
  if (Single) return {{File, true}};
  std::vector<ListItem> items;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(Folder, ec)) {
    if (e.is_regular_file() && IsGif(e.path())) items.push_back({e.path(), false});
  }
  std::sort(items.begin(), items.end(), [](const ListItem& a, const ListItem& b) { return a.Path < b.Path; });
  return items;
}

void TConsoleView::OpenDocument(const std::filesystem::path& file) {
  if (!Quiet) std::printf("test page: %s\n", file.string().c_str());
}

std::filesystem::path ProgramFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::current_path() : exe.parent_path();
}

}  // namespace movara::cli
