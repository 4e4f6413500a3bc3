// Finding what the ball touches: at most one brick, then the paddle, then the floor.
#include <array>
#include <cmath>

#include "game/form1.h"
#include "game/numbers.h"

namespace tilerush {
namespace {

// A point on the ball's edge and the rebound a brick there asks for.
struct TestPoint {
  double x;
  double y;
  int decx;
  int decy;
};

}  // namespace

std::int16_t Form1::cellValue(int column, int row) const {
  if (column < 0 || column >= kCellColumns || row < 0 || row >= kCellRows) return 0;
  return state_.cellval[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

void Form1::whereball() {
  GameState& s = state_;
  const Element& ball = *e_.ball;
  const Element& paddle = *e_.paddle;
  const double xl = ball.left() - s.leftedge;
  const double xr = xl + ball.width();
  const double xc = (xl + xr) / 2;
  const double yt = ball.top() - s.topedge;
  const double yb = yt + ball.height();
  const double yc = (yt + yb) / 2;
  const std::array<TestPoint, 4> points = {
      {{xc, yt, 0, -1}, {xl, yc, 1, 0}, {xr, yc, -1, 0}, {xc, yb, 0, 1}}};

  // lastcell is the cell of the point tested just before, across ticks too: a cell is
  // never struck by two successive points, so a brick struck in one tick cannot be
  // struck again by the top point of the next.
  for (const TestPoint& p : points) {
    double column = wholePart(p.x / s.cellw) + 1;
    double row = wholePart(p.y / s.cellh) + 1;
    double n = (row - 1) * kGridColumns + column;
    bool inTable = column >= 0 && column < kCellColumns && row >= 0 && row < kCellRows;
    int c = inTable ? static_cast<int>(column) : -1;
    int r = inTable ? static_cast<int>(row) : -1;
    bool struck = cellValue(c, r) > 0 && n != s.lastcell;
    if (struck) score(static_cast<int>(n), c, r, p.decx, p.decy);
    s.lastcell = n;
    if (struck) break;
  }

  // Each sum is rounded to a float before it is compared.
  if (stored(bottomOf(ball)) > paddle.top() && stored(bottomOf(paddle)) > ball.top()) hitpaddle();
  // The one inclusive test: a ball whose bottom reaches the floor is lost.
  if (stored(bottomOf(ball)) >= s.bottomedge) lostlife();
}

}  // namespace tilerush
