#include "ui/WindowPlacement.h"

namespace movara::ui {

QRect PlaceOnScreens(const QRect& frame, const QList<QRect>& screens, const QRect& primary) {
  for (const QRect& screen : screens) {
    if (screen.contains(frame.center())) return frame;
  }
  QRect placed(QPoint(), frame.size().boundedTo(primary.size()));
  placed.moveCenter(primary.center());
  return placed;
}

}  // namespace movara::ui
