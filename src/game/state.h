// The game state record: every variable of the window, zeroed at program start and
// kept across the rebuild after "Game Over".
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tilerush {

// The board is a grid of 20 columns by 25 rows of brick cells, numbered row by row
// from 1: cell n = (row - 1) x 20 + column.
inline constexpr int kGridColumns = 20;
inline constexpr int kGridRows = 25;
inline constexpr int kMapSlots = 101;    // map numbers 0..100
inline constexpr int kMapRowSlots = 21;  // map rows 0..20
inline constexpr int kCellColumns = 31;  // cellval columns 0..30
inline constexpr int kCellRows = 36;     // cellval rows 0..35
inline constexpr int kLogoBalls = 3;
// Life markers exist for lives 1 to 6, and no award of a life goes past 6.
inline constexpr int kMostLives = 6;

// What paddledir holds: the way the keys last sent the paddle, 0 after a serve.
inline constexpr double kPaddleStill = 0;
inline constexpr double kPaddleRight = 1;
inline constexpr double kPaddleLeft = 2;

struct GameState {
  // Text of each map row, one digit a cell; only maps 1..5, rows 1..10 are filled.
  std::array<std::array<std::string, kMapRowSlots>, kMapSlots> levels{};
  std::int16_t nummaps = 0;
  double mapno = 0;
  double levelno = 0;
  // Brick value of each cell, [column][row]; only rows 3..12 ever hold bricks.
  std::array<std::array<std::int16_t, kCellRows>, kCellColumns> cellval{};
  std::int16_t brickcount = 0;  // 0 while a grid is being laid out
  double bricksleft = 0;
  double cellw = 0;  // twips, a float value
  double cellh = 0;
  double topedge = 0;
  double bottomedge = 0;
  double leftedge = 0;
  std::int16_t rightedge = 0;
  double paddledir = kPaddleStill;  // a general number: kPaddleStill, kPaddleRight or kPaddleLeft
  double speed = 0;
  double xspeed = 0;        // twips a tick, positive to the right
  std::int16_t yspeed = 0;  // twips a tick, positive upward
  double xfactor = 0;
  double yfactor = 0;
  double lastcell = 0;
  std::int16_t roll = 0;
  double points = 0;
  double bonuspoints = 0;
  std::int32_t toppoints = 0;
  std::int16_t lives = 0;
  std::array<double, kLogoBalls> logoxspeed{};
  std::array<std::int16_t, kLogoBalls> logoyspeed{};
};

}  // namespace tilerush
