// On a high-density screen the window keeps its layout and draws at the finer grid,
// and a window made twice as large draws what it draws there.
#include <algorithm>
#include <cstdlib>

#include "game_on_xvfb.h"

namespace tilerush::e2e {
namespace {

class DoubleDensity : public GameOnXvfb {
 protected:
  void SetUp() override { start({"QT_SCALE_FACTOR=2"}); }
};

// Aligned 2 x 2 blocks holding more than one colour. A picture drawn at the coarse
// grid and blown up has none: every block repeats one pixel.
int mixedBlocks(const Frame& frame, int left, int top, int width, int height) {
  int mixed = 0;
  for (int y = top & ~1; y < top + height; y += 2) {
    for (int x = left & ~1; x < left + width; x += 2) {
      const std::uint32_t p = frame.at(x, y);
      mixed += frame.at(x + 1, y) != p || frame.at(x, y + 1) != p || frame.at(x + 1, y + 1) != p;
    }
  }
  return mixed;
}

TEST_F(DoubleDensity, WindowHasTwiceThePixelsAndDrawsTextAndCurvesAtThatResolution) {
  EXPECT_EQ(x_->size(window_), std::make_pair(1136, 978));
  const Frame frame = grab();
  EXPECT_EQ(frame.at(568, 666), 0x80FF80u) << "board";
  EXPECT_EQ(frame.at(568, 913), 0xFF8000u) << "paddle";
  EXPECT_EQ(frame.at(568, 894), 0x0000FFu) << "ball";

  // The ball (113 twips across, centred at 4267.5, 6706).
  EXPECT_GT(mixedBlocks(frame, 558, 884, 20, 20), 4);
  // The paddle's rounded left end (from 3749.5 twips across, 6762.6 down).
  EXPECT_GT(mixedBlocks(frame, 498, 900, 10, 24), 2);
  // The title box's rounded top-left corner.
  EXPECT_GT(mixedBlocks(frame, 416, 0, 16, 16), 2);
  // The box caption "Score" and the red score digits.
  EXPECT_GT(mixedBlocks(frame, 8, 8, 140, 60), 20);
  EXPECT_GT(mixedBlocks(frame, 160, 8, 226, 60), 20);

  // Edges blend into what lies beneath: the ball's rim holds colours between its
  // blue, its black outline and the board's green.
  int blended = 0;
  for (int x = 556; x < 582; ++x) {
    const std::uint32_t p = frame.at(x, 894);
    blended += p != 0x0000FF && p != 0x000000 && p != 0x80FF80;
  }
  EXPECT_GT(blended, 0);
}

// Outside the title box, whose balls never stop, the two pictures of the game as it
// opens must agree. Both paint the same shapes and glyphs through Qt's rasteriser at
// the same device scale; only the order in which the scale meets the twips transform
// differs, so an antialiased edge may round one way or the other: a pixel may differ
// by a few steps of 255 in a channel, and few may differ at all. A layout shifted by
// a pixel, a stretched picture or a caption at the wrong size differ by far more.
TEST_F(DoubleDensity, AWindowMadeTwiceAsLargeShowsWhatTheWindowShowsHereAtScaleOne) {
  ASSERT_EQ(x_->size(window_), std::make_pair(1136, 978));
  const Frame dense = grab();
  start({});
  xdotool({"windowsize", windowId(), "1136", "978"});
  Frame large = grab();
  for (int i = 0; i < 500 && !(large.width == 1136 && large.height == 978 && large.at(568, 666) == 0x80FF80u);
       ++i) {
    pause(20);
    large = grab();
  }
  ASSERT_EQ(std::make_pair(large.width, large.height), std::make_pair(1136, 978));

  int differing = 0, most = 0;
  for (int y = 0; y < 978; ++y) {
    for (int x = 0; x < 1136; ++x) {
      // The title box: 3120 to 5655 twips across, 0 to 615 down.
      if (x >= 414 && x < 756 && y < 84) continue;
      const std::uint32_t a = dense.at(x, y), b = large.at(x, y);
      if (a == b) continue;
      ++differing;
      for (int shift : {0, 8, 16})
        most = std::max(most, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
    }
  }
  EXPECT_LE(differing, 1136 * 978 / 1000) << "pixels that differ";
  EXPECT_LE(most, 8) << "the largest difference in a channel";
}

}  // namespace
}  // namespace tilerush::e2e
