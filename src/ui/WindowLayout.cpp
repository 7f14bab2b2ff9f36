#include "ui/WindowLayout.h"

#include <algorithm>
#include <cmath>

namespace movara::ui {

namespace {

// At the design size: the tree column and the list are 201 pixels wide each
// on either side of an 11-pixel handle, from x = 8; the tree is 169 high
// over a preview of 153, the list 301 over the file type box.
constexpr int kLeft = 8;
constexpr int kTop = 24;
constexpr int kHandleWidth = 11;
constexpr int kSharedWidth = 402;

int SharedWidth(QSize client) { return kSharedWidth + client.width() - kDesignWidth; }

int TreeWidth(int shared, double share) {
  const int tree = static_cast<int>(std::lround(shared * share / 10000.0));
  return std::clamp(tree, kPaneMinimum, std::max(kPaneMinimum, shared - kPaneMinimum));
}

}  // namespace

TLeftArea LeftArea(QSize client, int splitShare) {
  const int dy = client.height() - kDesignHeight;
  const int shared = SharedWidth(client);
  const int tree = TreeWidth(shared, splitShare);
  const int list = shared - tree;
  // The tree and the preview share the height the window gains.
  const int treeGrowth = dy / 2;
  TLeftArea area;
  area.Tree = QRect(kLeft, kTop, tree, 169 + treeGrowth);
  area.Preview = QRect(kLeft, 202 + treeGrowth, tree, 153 + dy - treeGrowth);
  area.Handle = QRect(kLeft + tree, kTop, kHandleWidth, 331 + dy);
  area.List = QRect(kLeft + tree + kHandleWidth, kTop, list, 301 + dy);
  area.FileType = QRect(area.List.x(), 334 + dy, list, 21);
  return area;
}

int SplitShareFor(QSize client, int treeWidth) {
  const int shared = SharedWidth(client);
  const int tree = TreeWidth(shared, treeWidth * 10000.0 / shared);
  return static_cast<int>(std::lround(tree * 10000.0 / shared));
}

}  // namespace movara::ui
