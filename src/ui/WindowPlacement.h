#pragma once

#include <QList>
#include <QRect>

namespace movara::ui {

// Where a window stored as `frame` comes back: where it was when its centre
// lies on one of the screens' available areas; otherwise on the primary
// screen, centred there and no larger than it.
QRect PlaceOnScreens(const QRect& frame, const QList<QRect>& screens, const QRect& primary);

}  // namespace movara::ui
