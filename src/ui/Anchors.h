#pragma once

#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace movara::ui {

// Keeps controls at their design distances from the sides they are
// anchored to: anchored to both sides of a direction a control grows with
// its parent, anchored to the far side only it moves.
class TAnchors {
 public:
  enum Side { Left = 1, Top = 2, Right = 4, Bottom = 8, All = 15 };
  explicit TAnchors(QSize design) : design_(design) {}
  // Places a control at its design bounds and remembers its anchors.
  void Add(QWidget* control, QRect bounds, int sides);
  // Moves and sizes every control for the parent's new size.
  void Apply(QSize size) const;

 private:
  struct TEntry {
    QWidget* Control;
    QRect Bounds;
    int Sides;
  };
  QSize design_;
  std::vector<TEntry> entries_;
};

}  // namespace movara::ui
