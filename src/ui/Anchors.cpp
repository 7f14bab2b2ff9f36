#include "ui/Anchors.h"

#include <QWidget>

namespace movara::ui {

void TAnchors::Add(QWidget* control, QRect bounds, int sides) {
  control->setGeometry(bounds);
  entries_.push_back({control, bounds, sides});
}

void TAnchors::Apply(QSize size) const {
  const int dx = size.width() - design_.width();
  const int dy = size.height() - design_.height();
  for (const TEntry& e : entries_) {
    QRect r = e.Bounds;
    if ((e.Sides & Right) != 0) {
      if ((e.Sides & Left) != 0) r.setWidth(r.width() + dx);
      else r.translate(dx, 0);
    }
    if ((e.Sides & Bottom) != 0) {
      if ((e.Sides & Top) != 0) r.setHeight(r.height() + dy);
      else r.translate(0, dy);
    }
    e.Control->setGeometry(r);
  }
}

}  // namespace movara::ui
