// The five maps, the cell grid, brick painting and the sizes taken from the board.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "support/headless_game.h"

namespace tilerush {
using testing::HeadlessGame;

namespace {

std::map<int, int> valueCounts(const GameState& s) {
  std::map<int, int> counts;
  for (int c = 1; c <= 20; ++c) {
    for (int r = 1; r <= 25; ++r) {
      if (s.cellval[c][r] > 0) ++counts[s.cellval[c][r]];
    }
  }
  return counts;
}

}  // namespace

TEST(Grid, EachMapLaysItsBricksAndCountsThem) {
  HeadlessGame g;
  g.form.open();
  const std::array<int, 5> totals = {120, 164, 164, 114, 180};
  const std::array<std::map<int, int>, 5> values = {{
      {{1, 56}, {2, 40}, {3, 24}},
      {{1, 28}, {2, 36}, {3, 28}, {4, 72}},
      {{1, 36}, {2, 28}, {3, 24}, {4, 36}, {5, 32}, {6, 8}},
      {{1, 50}, {7, 12}, {8, 52}},
      {{9, 180}},
  }};
  for (int map = 1; map <= 5; ++map) {
    g.state().mapno = map;
    g.probe.grid();
    EXPECT_EQ(g.state().bricksleft, totals[map - 1]) << map;
    EXPECT_EQ(g.state().brickcount, totals[map - 1]) << map;
    EXPECT_EQ(g.element("numbricks").caption(), std::to_string(totals[map - 1])) << map;
    EXPECT_EQ(valueCounts(g.state()), values[map - 1]) << map;
    int shown = 0;
    for (int n = 1; n <= 500; ++n) shown += g.element("brick", n).visible() ? 1 : 0;
    EXPECT_EQ(shown, totals[map - 1]) << map;
  }
}

TEST(Grid, CellsTileTheBoardEdgeToEdge) {
  HeadlessGame g;
  g.form.open();
  EXPECT_EQ(g.element("brick", 1).left(), 120);
  EXPECT_EQ(g.element("brick", 1).top(), 1560);
  EXPECT_EQ(g.element("brick", 20).left(), 8000.25);
  EXPECT_EQ(g.element("brick", 500).left(), 8000.25);
  EXPECT_EQ(g.element("brick", 500).top(), 6988.7998046875f);
  EXPECT_EQ(g.element("brick", 20).left() + g.element("brick", 20).width(), 8415);
  EXPECT_EQ(g.element("brick", 500).height(), 226.1999969482422f);
}

TEST(Grid, MapOneShowsRedOnesAndHidesEmptyCells) {
  HeadlessGame g;
  g.form.open();
  const Element& cell41 = g.element("brick", 41);
  EXPECT_TRUE(cell41.visible());
  EXPECT_EQ(cell41.backColor(), 0x0000FFu);
  EXPECT_EQ(cell41.caption(), "1");
  EXPECT_EQ(g.state().cellval[2][3], 1);
  EXPECT_EQ(g.state().cellval[2][4], 0);
  EXPECT_FALSE(g.element("brick", 62).visible());
  EXPECT_EQ(g.element("brick", 62).caption(), "0");
  for (int n = 1; n <= 40; ++n) ASSERT_FALSE(g.element("brick", n).visible()) << n;
  for (int n = 241; n <= 500; ++n) ASSERT_FALSE(g.element("brick", n).visible()) << n;
  // Map 1's third row is 2s from column 3: dark orange; its bar of 3s is olive.
  EXPECT_EQ(g.element("brick", 83).backColor(), 0x0040C0u);
  EXPECT_EQ(g.element("brick", 125).backColor(), 0x008080u);
}

TEST(Grid, ANewBuildLeavesNoTraceOfALevelEndedEarly) {
  HeadlessGame g;
  g.form.open();
  g.state().mapno = 4;
  g.probe.grid();
  g.state().bricksleft = 1;
  g.state().mapno = 1;
  g.probe.grid();
  EXPECT_EQ(g.state().bricksleft, 120);
  EXPECT_FALSE(g.element("brick", 74).visible());  // an 8 on map 4, empty on map 1
}

TEST(BrickPainting, PlayWeakensRemovesAndEndsTheLevelOnTheLastBrick) {
  HeadlessGame g;
  g.form.open();
  GameState& s = g.state();
  s.cellval[5][7] = 2;  // was 3
  g.probe.colorbricks(125, 5, 7);
  EXPECT_TRUE(g.element("brick", 125).visible());
  EXPECT_EQ(g.element("brick", 125).backColor(), 0x0040C0u);
  EXPECT_EQ(g.element("brick", 125).caption(), "2");
  EXPECT_EQ(s.bricksleft, 120);

  s.bricksleft = 15;
  s.cellval[1][3] = 0;
  g.probe.colorbricks(41, 1, 3);
  EXPECT_FALSE(g.element("brick", 41).visible());
  EXPECT_EQ(g.element("brick", 41).backColor(), 0x0000FFu);  // keeps its last colour
  EXPECT_EQ(s.bricksleft, 14);
  EXPECT_EQ(g.element("numbricks").caption(), "014");

  s.bricksleft = 1;
  s.cellval[2][3] = 0;
  g.probe.colorbricks(42, 2, 3);
  EXPECT_EQ(s.bricksleft, 0);
  EXPECT_EQ(g.element("numbricks").caption(), "000");
  EXPECT_TRUE(g.element("nextlevel").visible());
  EXPECT_EQ(g.element("nextlevel").caption(), "Level: 2");
  EXPECT_EQ(g.element("Timer1").interval(), 0);
  EXPECT_EQ(g.element("Timer2").interval(), 0);
}

TEST(BrickPainting, EveryValueHasItsColour) {
  HeadlessGame g;
  g.form.open();
  const std::array<Color, 10> colours = {0,        0x0000FF, 0x0040C0, 0x008080, 0x00FF00,
                                         0x808000, 0xFF0000, 0xFFFFFF, 0x000000, 0x000000};
  for (std::int16_t v = 1; v <= 9; ++v) {
    g.state().cellval[3][14] = v;
    g.probe.colorbricks(263, 3, 14);
    EXPECT_EQ(g.element("brick", 263).backColor(), colours[v]) << v;
    EXPECT_EQ(g.element("brick", 263).caption(), std::to_string(v));
  }
}

TEST(Sizing, TheRightLimitAloneIsAWholeNumberRoundedToEven) {
  HeadlessGame g;
  g.form.open();
  g.element("board").setWidth(8295.5f);
  g.probe.sizeobjects();
  EXPECT_EQ(g.state().rightedge, 8416);
  g.element("board").setWidth(8294.5f);
  g.probe.sizeobjects();
  EXPECT_EQ(g.state().rightedge, 8414);
  g.state().toppoints = 12340;
  g.probe.sizeobjects();
  EXPECT_EQ(g.element("highscore").caption(), "012340");
}

}  // namespace tilerush
