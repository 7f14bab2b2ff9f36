#include "ui/PreviewBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QThread>
#include <cstring>

namespace movara::ui {

namespace {

// A 32-bit picture as a QImage: the bitmap's rows are B, G, R, A bytes, which
// is QImage's ARGB32 in memory.
QImage ToImage(const imaging::TBitmap& picture) {
  if (picture.Width() <= 0 || picture.Height() <= 0) return {};
  QImage image(picture.Width(), picture.Height(), QImage::Format_ARGB32);
  const auto rowBytes = static_cast<std::size_t>(picture.Width()) * 4;
  for (int y = 0; y < picture.Height(); ++y) std::memcpy(image.scanLine(y), picture.ScanLine(y), rowBytes);
  return image;
}

}  // namespace

TPictureView::TPictureView(QWidget* parent) : QWidget(parent) { setObjectName("Image1"); }

void TPictureView::Present(std::shared_ptr<const imaging::TBitmap> picture) {
  std::lock_guard lock(mutex_);
  latest_ = std::move(picture);
  if (pending_) return;
  pending_ = true;
  QMetaObject::invokeMethod(this, [this] { TakePicture(); }, Qt::QueuedConnection);
}

void TPictureView::TakePicture() {
  // The image and the repaint belong to the window's thread; a painter's
  // thread only hands pictures over (Present).
  if (QThread::currentThread() != thread()) qFatal("the preview took a picture off the window's thread");
  std::shared_ptr<const imaging::TBitmap> picture;
  {
    std::lock_guard lock(mutex_);
    picture = std::move(latest_);
    pending_ = false;
  }
  if (picture == nullptr) return;
  image_ = ToImage(*picture);
  update();
}

void TPictureView::Clear() {
  {
    std::lock_guard lock(mutex_);
    latest_.reset();
  }
  image_ = QImage();
  update();
}

void TPictureView::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter painter(this);
  painter.drawImage(rect(), image_);
}

void TPictureView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit MouseDown(event->position().toPoint().x(), event->position().toPoint().y());
}

void TPictureView::mouseMoveEvent(QMouseEvent* event) {
  emit MouseMove(event->position().toPoint().x(), event->position().toPoint().y());
}

void TPictureView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit MouseUp();
}

TPreviewBox::TPreviewBox(QWidget* parent) : QScrollArea(parent), content_(new QWidget) {
  setObjectName("BPanel1");
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);
  setWidgetResizable(false);
  Image1 = new TPictureView(content_);
  Image1->setGeometry(48, 24, 105, 105);
  content_->resize(153, 129);
  setWidget(content_);
}

form::IPreviewView::TPoint TPreviewBox::PaneClientSize() const {
  const QSize size = maximumViewportSize();
  return {size.width(), size.height()};
}

void TPreviewBox::SetPictureBounds(int left, int top, int width, int height) {
  Image1->setGeometry(left, top, width, height);
  content_->resize(left + width, top + height);
}

bool TPreviewBox::PaneScrollBarsVisible() const {
  // Decided here as the scroll area decides it (it shows its bars later):
  // one bar takes room from the other direction.
  const QSize room = maximumViewportSize();
  const QSize need = content_->size();
  bool horizontal = need.width() > room.width();
  bool vertical = need.height() > room.height();
  if (horizontal && !vertical) vertical = need.height() > room.height() - horizontalScrollBar()->sizeHint().height();
  if (vertical && !horizontal) horizontal = need.width() > room.width() - verticalScrollBar()->sizeHint().width();
  return horizontal || vertical;
}

void TPreviewBox::SetHandCursor(bool hand) {
  if (hand) {
    Image1->setCursor(Qt::OpenHandCursor);
  } else {
    Image1->unsetCursor();
  }
}

form::IPreviewView::TPoint TPreviewBox::PaneScrollPosition() const {
  return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void TPreviewBox::SetPaneScrollPosition(TPoint position) {
  horizontalScrollBar()->setValue(position.X);
  verticalScrollBar()->setValue(position.Y);
}

}  // namespace movara::ui
