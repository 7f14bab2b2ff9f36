#include "ui/ProgramIcon.h"

#include <QPainter>
#include <QPolygonF>

namespace movara::ui {

QPixmap ProgramIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  p.setPen(QPen(QColor("#1d4a80"), 2));
  p.setBrush(QColor("#2f6db5"));
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRoundedRect(QRectF(8, 12, 48, 40), 4, 4);
  const char* frames[] = {"#f2b134", "#e8623a", "#4aa564", "#8a5cc2"};
  for (int i = 0; i < 4; ++i) p.fillRect(QRectF(11 + 11 * i, 15, 9, 7), QColor(frames[i]));
  p.setBrush(QColor("#2f6db5"));
  p.drawPolygon(QPolygonF({QPointF(26, 27), QPointF(26, 47), QPointF(43, 37)}));
  return pixmap;
}

}  // namespace movara::ui
