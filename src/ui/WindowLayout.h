#pragma once

#include <QRect>
#include <QSize>

namespace movara::ui {

// The window's design: its client size, which is also its smallest.
inline constexpr int kDesignWidth = 784;
inline constexpr int kDesignHeight = 384;
// The folder column's share of the width it shares with the file list, in
// ten-thousandths: the design's halves.
inline constexpr int kDesignSplitShare = 5000;
// The narrowest the folder column and the file list become.
inline constexpr int kPaneMinimum = 100;

// The left part of the window: the folder tree over the preview, the handle,
// the file list over the file type box. They take all the room the window
// gains: the width by the split share (each pane at least kPaneMinimum),
// the height shared by the tree and the preview, the list taking all of it.
struct TLeftArea {
  QRect Tree;
  QRect Preview;
  QRect Handle;
  QRect List;
  QRect FileType;
};
TLeftArea LeftArea(QSize client, int splitShare);

// The split share that makes the folder column `treeWidth` pixels wide (as
// far as the minimum of either pane allows).
int SplitShareFor(QSize client, int treeWidth);

}  // namespace movara::ui
