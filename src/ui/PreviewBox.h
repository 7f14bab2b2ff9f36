#pragma once

#include <QImage>
#include <QScrollArea>
#include <QWidget>
#include <memory>
#include <mutex>

#include "form/Preview.h"
#include "imaging/GIFPainter.h"

namespace movara::ui {

// The picture control of the preview (Image1). Painters hand it pictures
// from their own threads; it keeps the latest and takes it over on the UI
// thread with a queued call, so a fast painter never floods the event queue.
class TPictureView final : public QWidget, public imaging::IGIFDrawTarget {
  Q_OBJECT
 public:
  explicit TPictureView(QWidget* parent);
  void Present(std::shared_ptr<const imaging::TBitmap> picture) override;
  void Clear();
  // The picture shown (null when empty).
  const QImage& Picture() const { return image_; }

 signals:
  void MouseDown(int x, int y);
  void MouseMove(int x, int y);
  void MouseUp();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void TakePicture();
  std::mutex mutex_;
  std::shared_ptr<const imaging::TBitmap> latest_;  // guarded by mutex_
  bool pending_ = false;                            // guarded by mutex_
  QImage image_;
};

// The preview pane (BPanel1): a scroll box around the picture.
class TPreviewBox final : public QScrollArea, public form::IPreviewView {
  Q_OBJECT
 public:
  explicit TPreviewBox(QWidget* parent);
  TPictureView* Image1;

  TPoint PaneClientSize() const override;
  void SetPictureBounds(int left, int top, int width, int height) override;
  bool PaneScrollBarsVisible() const override;
  void SetHandCursor(bool hand) override;
  TPoint PaneScrollPosition() const override;
  void SetPaneScrollPosition(TPoint position) override;
  imaging::IGIFDrawTarget& PictureTarget() override { return *Image1; }
  void ClearPicture() override { Image1->Clear(); }

 private:
  QWidget* content_;
};

}  // namespace movara::ui
