// What the game tells a listener: the right happenings, in the right order, for
// scripted flows; and a listener changes nothing that a script can see.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/listener.h"
#include "game/session.h"
#include "sim/runner.h"

namespace tilerush::sim::testing {
namespace {

using H = Happening;

struct Heard {
  Happening what;
  double before = 0;
  double after = 0;
  friend bool operator==(const Heard&, const Heard&) = default;
};

void PrintTo(const Heard& h, std::ostream* os) {
  *os << '{' << static_cast<int>(h.what) << ", " << h.before << ", " << h.after << '}';
}

// A scripted game with an ear on it. Each `play` returns what was heard meanwhile.
struct HeardGame : GameListener {
  HeardGame() : hearing(session.form().addListener(*this)) {}
  void happened(Happening what, double before, double after) override {
    heard.push_back({what, before, after});
  }

  std::vector<Heard> play(const std::string& script) {
    std::istringstream in(script);
    ScriptRunner runner(session, in, out);
    while (std::optional<std::int64_t> until = runner.step()) session.advanceTo(*until);
    return std::exchange(heard, {});
  }

  Session session{systemClockSeed};
  std::ostringstream out;
  std::vector<Heard> heard;
  Hook hearing;
};

// Puts the resting ball wholly inside one cell of a row, so that the next ball tick
// strikes that cell with its top point; lastcell is cleared so the same cell can be
// struck again.
std::string restIn(double left, double top) {
  return "set xspeed 0\nset yspeed 0\nset lastcell 0\nset ball.left " + std::to_string(left) +
         "\nset ball.top " + std::to_string(top) + "\n";
}

constexpr double kColumn3 = 1100.375;
constexpr double kRow10 = 3650;    // map 1: a 2 in column 3
constexpr double kRow12 = 4098.2;  // map 1: 1s; map 5: specials

}  // namespace

TEST(Listener, AServedBallIsHeardFirstWhenItStrikesABrickAndNotBefore) {
  HeardGame g;
  EXPECT_TRUE(g.play("seed 1\nopen\nadvance 500\n").empty()) << "a resting ball makes no sound";
  std::vector<Heard> heard = g.play("key down right\nadvance 100\nkey up right\nadvance 1500\n");
  ASSERT_GE(heard.size(), 2u);
  EXPECT_EQ(heard[0], (Heard{H::BrickStruck, 1, 0}));
  EXPECT_EQ(heard[1], (Heard{H::BrickCleared, 0, 119}));
}

TEST(Listener, ABrickWornDownIsStruckTwiceThenClearedAndTheLastOneClearsTheLevel) {
  HeardGame g;
  g.play("seed 1\nopen\n");
  EXPECT_EQ(g.play(restIn(kColumn3, kRow10) + "tick Timer2\n"), (std::vector<Heard>{{H::BrickStruck, 2, 1}}));
  EXPECT_EQ(g.play(restIn(kColumn3, kRow10) + "tick Timer2\n"),
            (std::vector<Heard>{{H::BrickStruck, 1, 0}, {H::BrickCleared, 0, 119}}));
  // The 501st hit earns a life before the strike is told; the counter at 1 ends the level.
  EXPECT_EQ(
      g.play("set bonuspoints 4995\nset bricksleft 1\n" + restIn(kColumn3, kRow12) + "tick Timer2\n"),
      (std::vector<Heard>{
          {H::ExtraLife, 0, 4}, {H::BrickStruck, 1, 0}, {H::BrickCleared, 0, 0}, {H::LevelCleared, 0, 2}}));
}

TEST(Listener, EachOutcomeOfASpecialBrickIsToldBeforeItsStrike) {
  HeardGame g;
  // Map 5 reached as a real level: a ceiling strike wears the counter to 0.
  EXPECT_EQ(g.play("seed 1\nopen\nset mapno 4\nset bricksleft 1\nset ball.top 1600\nset yspeed 104\n"
                   "draws 0 0\ntick Timer2\n"),
            (std::vector<Heard>{{H::CeilingBounce}, {H::CeilingWear, 0, 0}, {H::LevelCleared, 0, 2}}));
  g.play("click nextlevel\n");
  auto strike = [&](double left, const char* draws) {
    return g.play(restIn(left, kRow12) + "draws " + draws + " 0 0\ntick Timer2\n");
  };
  EXPECT_EQ(strike(1100.375, "0.8"), (std::vector<Heard>{{H::SpecialStands, 9, 9}, {H::BrickStruck, 9, 9}}));
  EXPECT_EQ(strike(2759.375, "0.3 0.5"),
            (std::vector<Heard>{{H::SpecialTurns, 9, 4}, {H::BrickStruck, 9, 4}}));
  EXPECT_EQ(
      strike(3588.875, "0.6 0.05 0.5"),
      (std::vector<Heard>{{H::SpecialVanishes, 9, 0}, {H::BrickStruck, 9, 0}, {H::BrickCleared, 0, 179}}));
  EXPECT_EQ(strike(4418.375, "0.1 0.05"),
            (std::vector<Heard>{{H::SpecialStands, 9, 9}, {H::CounterToOne, 0, 1}, {H::BrickStruck, 9, 9}}));
  EXPECT_EQ(strike(5247.875, "0.3 0.05 0.05"), (std::vector<Heard>{{H::SpecialVanishes, 9, 0},
                                                                   {H::CounterToOne, 0, 1},
                                                                   {H::BrickStruck, 9, 0},
                                                                   {H::BrickCleared, 0, 0},
                                                                   {H::LevelCleared, 0, 3}}));
}

TEST(Listener, WallsCeilingAndPaddleAreToldWhereTheBallTurnsAndOnlyThere) {
  HeardGame g;
  g.play("seed 1\nopen\nset xfactor 1\nset yfactor 1\n");
  EXPECT_EQ(g.play("set ball.left 150\nset ball.top 5000\nset xspeed -103.6875\ntick Timer2\n"),
            (std::vector<Heard>{{H::WallBounce}}));
  EXPECT_EQ(g.play("set ball.left 8250\nset xspeed 103.6875\ntick Timer2\n"),
            (std::vector<Heard>{{H::WallBounce}}));
  EXPECT_TRUE(g.play("set ball.left 4000\ntick Timer2\n").empty()) << "in flight, nothing";
  EXPECT_EQ(g.play("set xspeed 0\nset ball.top 1600\nset yspeed 104\ndraws 0 0.3\ntick Timer2\n"),
            (std::vector<Heard>{{H::CeilingBounce}}));
  EXPECT_EQ(g.play("set ball.top 1600\nset yspeed 104\ndraws 0 0.1\ntick Timer2\n"),
            (std::vector<Heard>{{H::CeilingBounce}, {H::CeilingWear, 0, 119}}));
  // Falling onto the middle of the paddle, whose top is at 6762.6.
  EXPECT_EQ(g.play("set ball.left 4211\nset ball.top 6600\nset yspeed -104\ntick Timer2\n"),
            (std::vector<Heard>{{H::PaddleBounce}}));
}

TEST(Listener, EachLostBallIsToldAtOnceAndGameOverWhenTheLastPauseEnds) {
  HeardGame g;
  g.play("seed 1\nopen\n");
  const std::string loseOne = "set yspeed 0\nset ball.top 7102\nadvance 25\n";
  for (int life = 3; life >= 2; --life) {
    EXPECT_EQ(g.play(loseOne), (std::vector<Heard>{{H::BallLost}}));
    EXPECT_TRUE(g.play("advance 1000\n").empty());
  }
  EXPECT_EQ(g.play(loseOne), (std::vector<Heard>{{H::BallLost}}));
  EXPECT_TRUE(g.play("advance 999\n").empty()) << "the game ends with the pause, not before";
  EXPECT_EQ(g.play("advance 1\n"), (std::vector<Heard>{{H::GameOver}}));
  EXPECT_EQ(g.play("click gameover\n"), (std::vector<Heard>{{H::NewGame}}));
  EXPECT_TRUE(g.play("advance 2000\n").empty()) << "the new game waits, silent, for its serve";
}

TEST(Listener, EveryGoldenReplayPrintsTheSameWithAListenerAttached) {
  const std::filesystem::path dir = TILERUSH_GOLDEN_DIR;
  int replayed = 0;
  std::size_t told = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::filesystem::path script = entry.path();
    // Scripts that end in an error are the runner's business, not the game's.
    if (script.extension() != ".sim" ||
        std::filesystem::exists(std::filesystem::path(script).replace_extension(".err"))) {
      continue;
    }
    std::ifstream in(script), expected(std::filesystem::path(script).replace_extension(".out"));
    std::stringstream text, want;
    text << in.rdbuf();
    want << expected.rdbuf();
    HeardGame g;
    told += g.play(text.str()).size();
    EXPECT_EQ(g.out.str(), want.str()) << script;
    ++replayed;
  }
  EXPECT_GE(replayed, 8);
  EXPECT_GT(told, 100u) << "the replays were run without an ear on them";
}

}  // namespace tilerush::sim::testing
