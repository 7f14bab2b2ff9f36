#pragma once

#include <QPixmap>

namespace movara::ui {

// The program's icon at a given size (the same picture as
// data/movara.svg, which the desktop entry uses).
QPixmap ProgramIcon(int size);

}  // namespace movara::ui
