// Painting one brick cell from its value, and counting bricks on and off the board.
#include <array>

#include "game/form1.h"
#include "game/numbers.h"
#include "levels/brick_colors.h"

namespace tilerush {
namespace {

// A cell's caption: its value without the leading blank. Laying out a level captions
// 500 cells, nearly all of them with one digit, which is spelled out directly.
std::string digitText(std::int16_t value) {
  if (value >= 0 && value <= 9) return std::string(1, static_cast<char>('0' + value));
  std::string text = numberText(value);
  return text.front() == ' ' ? text.substr(1) : text;
}

}  // namespace

// With brickcount 0 a grid is being laid out: count bricks up, never off. Above 0 the
// level is in play: a cleared cell is counted off, and the last one ends the level.
void Form1::colorbricks(int n, int c, int r) {
  // A value planted outside the board by a script has no cell to paint.
  Element* cell = e_.brick->member(n);
  std::int16_t v = cellValue(c, r);
  if (v == 0 && state_.brickcount > 0) {
    if (cell) cell->setVisible(false);
    state_.bricksleft = state_.bricksleft - 1;
    tell(Happening::BrickCleared, 0, state_.bricksleft);
    if (state_.bricksleft == 0) nextlvl();
    e_.numbricks->setCaption(threeDigits(state_.bricksleft));
  } else if (v > 0) {
    if (cell) cell->setVisible(true);
    if (state_.brickcount == 0) state_.bricksleft = state_.bricksleft + 1;
  }
  if (!cell) return;
  if (v >= 1 && v <= 9) cell->setBackColor(levels::kBrickColors[static_cast<std::size_t>(v)]);
  cell->setCaption(digitText(v));
}

}  // namespace tilerush
