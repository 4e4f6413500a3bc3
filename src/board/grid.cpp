// The 500 brick cells: created once a window, then laid out from a map each level.
#include <cmath>

#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {
namespace {

// The digit at `column` (1-based) of a map row; a row that is missing or too
// short reads as empty cells.
std::int16_t mapDigit(const std::string& row, int column) {
  if (column > static_cast<int>(row.size())) return 0;
  char ch = row[static_cast<std::size_t>(column - 1)];
  return ch >= '0' && ch <= '9' ? static_cast<std::int16_t>(ch - '0') : 0;
}

}  // namespace

void Form1::loadbricks() {
  const Element& board = *e_.board;
  state_.cellw = stored(board.width() / double{kGridColumns});
  state_.cellh = stored(board.height() / double{kGridRows});
  int n = 0;
  for (int i = 0; i < kGridRows; ++i) {
    for (int j = 0; j < kGridColumns; ++j) {
      ++n;
      Element& cell = display_.createMember("brick", n);
      cell.setWidth(stored(state_.cellw));
      cell.setHeight(stored(state_.cellh));
      cell.setLeft(stored(board.left() + j * state_.cellw));
      cell.setTop(stored(board.top() + i * state_.cellh));
      // Cells cover the board, the paddle and the ball wherever they overlap.
      display_.bringToFront(cell);
      cell.setVisible(true);
    }
  }
}

void Form1::grid() {
  int n = 0;
  state_.bricksleft = 0;
  state_.brickcount = 0;
  // A map number outside the table lays out an empty board.
  double map = std::nearbyint(state_.mapno);
  bool mapExists = map >= 0 && map < kMapSlots;
  for (int r = 1; r <= kGridRows; ++r) {
    for (int c = 1; c <= kGridColumns; ++c) {
      ++n;
      if (r > 2 && r < 13) {
        state_.cellval[c][r] = mapExists ? mapDigit(state_.levels[static_cast<int>(map)][r - 2], c) : 0;
      }
      e_.brick->member(n)->setVisible(false);
      colorbricks(n, c, r);
    }
  }
  state_.brickcount = toInt16(state_.bricksleft);
  e_.numbricks->setCaption(threeDigits(state_.brickcount));
}

}  // namespace tilerush
