// Files and folders dropped on the main window go to TfrmMain::FilesDropped,
// once the drop has returned to its source.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "ui/MainWindow.h"

namespace movara::ui {

namespace {

std::vector<std::filesystem::path> LocalPaths(const QMimeData* data) {
  std::vector<std::filesystem::path> paths;
  if (data == nullptr) return paths;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) paths.emplace_back(url.toLocalFile().toStdString());
  }
  return paths;
}

}  // namespace

void TMainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!form_->Running() && !LocalPaths(event->mimeData()).empty()) event->acceptProposedAction();
}

void TMainWindow::dropEvent(QDropEvent* event) {
  const std::vector<std::filesystem::path> paths = LocalPaths(event->mimeData());
  if (paths.empty()) return;
  event->acceptProposedAction();
  // The drop returns to its source at once; the files are converted after.
  QTimer::singleShot(0, this, [this, paths] {
    form_->FilesDropped(paths);
    if (form_->ClosePending()) close();  // asked during the conversions
  });
}

}  // namespace movara::ui
