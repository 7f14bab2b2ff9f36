#pragma once

#include <QWidget>

namespace movara::ui {

// The handle between two columns of the window: dragging it reports how far
// the mouse moved since the last report, in pixels, to the right.
class TSplitHandle final : public QWidget {
  Q_OBJECT
 public:
  explicit TSplitHandle(QWidget* parent);

 signals:
  void Dragged(int dx);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  int lastX_ = 0;
};

}  // namespace movara::ui
