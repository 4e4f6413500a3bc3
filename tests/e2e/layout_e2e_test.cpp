// The real window: its size, caption and first picture, and closing it.
#include "game_on_xvfb.h"

namespace tilerush::e2e {
namespace {

using RealWindow = GameOnXvfb;

// A brick's colour, to the left of the digit written at the middle of its top.
std::uint32_t brickColour(const Frame& frame, int column, int row) {
  return frame.at(int((120 + (column - 0.8) * 414.75) / 15), int((1560 + (row - 0.5) * 226.2) / 15));
}

TEST_F(RealWindow, OpensAtTheLayoutSizeWithItsCaptionAndShowsTheLayout) {
  EXPECT_EQ(x_->size(window_), std::make_pair(568, 489));
  EXPECT_EQ(x_->title(window_), "Tilerush!");

  const Frame frame = grab();
  EXPECT_EQ(frame.at(284, 333), 0x80FF80u) << "board";
  // Map 1, row by row: 1s all round, 2s inside them, 3s in the middle.
  const char* const map1[] = {"11111111111111111111", "10000000000000000001", "10222222222222222201",
                              "10200000000000000201", "10203333333333330201", "10203333333333330201",
                              "10200000000000000201", "10222222222222222201", "10000000000000000001",
                              "11111111111111111111"};
  const std::uint32_t colours[] = {0x80FF80, 0xFF0000, 0xC04000, 0x808000};
  for (int row = 0; row < 10; ++row) {
    for (int column = 0; column < 20; ++column) {
      EXPECT_EQ(brickColour(frame, column + 1, row + 3), colours[map1[row][column] - '0'])
          << "column " << column + 1 << ", row " << row + 3;
    }
  }
  const Sight sight = look(frame);
  // Served: paddle centred on the board, the ball resting on its middle.
  ASSERT_TRUE(sight.paddleCentre && sight.ballCentre);
  EXPECT_NEAR(*sight.paddleCentre, 284, 1);
  EXPECT_NEAR(sight.ballCentre->first, 284, 1);
  EXPECT_NEAR(sight.ballCentre->second, 447, 1);
  EXPECT_EQ(sight.livesShown, 3);
}

TEST_F(RealWindow, ClosingTheWindowEndsTheProcessWithStatusZero) {
  x_->requestClose(window_);
  EXPECT_EQ(game_->waitExit(std::chrono::seconds(10)), 0);
}

}  // namespace
}  // namespace tilerush::e2e
