#include "ui/SplitHandle.h"

#include <QMouseEvent>

namespace movara::ui {

TSplitHandle::TSplitHandle(QWidget* parent) : QWidget(parent) { setCursor(Qt::SplitHCursor); }

void TSplitHandle::mousePressEvent(QMouseEvent* event) {
  lastX_ = static_cast<int>(event->globalPosition().x());
}

void TSplitHandle::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) == 0) return;
  const int x = static_cast<int>(event->globalPosition().x());
  const int dx = x - lastX_;
  lastX_ = x;
  if (dx != 0) emit Dragged(dx);
}

}  // namespace movara::ui
