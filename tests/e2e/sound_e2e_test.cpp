// The window heard: against a null sink of the test's own, silent until the first
// strike, heard right after it, silenced by M and by --mute; and without any sound
// server, or when the server dies mid-game, it plays on and says so once.
#include <fstream>
#include <optional>
#include <sstream>

#include "game_on_xvfb.h"
#include "null_sink.h"

namespace tilerush::e2e {
namespace {

using namespace std::chrono_literals;

// Whether a brick has changed between two pictures: pixels of the brick rows (3 to
// 12) that differ, the ball's own blue left out.
bool bricksChanged(const Frame& a, const Frame& b) {
  int changed = 0;
  for (int y = 135; y < 284; ++y) {
    for (int x = 8; x < 561; ++x) {
      const std::uint32_t p = a.at(x, y), q = b.at(x, y);
      changed += p != q && p != 0x0000FF && q != 0x0000FF;
    }
  }
  return changed > 100;
}

std::string contentsOf(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class HeardWindow : public GameOnXvfb {
 protected:
  void SetUp() override {}
  void TearDown() override {
    game_.reset();
    sink_.reset();
    GameOnXvfb::TearDown();
  }

  // The game on a server of its own, with `args`; its standard error kept.
  void startHeard(const std::vector<std::string>& args = {}) {
    sink_ = std::make_unique<NullSink>(scratch() + "/sound");
    ASSERT_TRUE(sink_->ready()) << "pulseaudio or parec did not start; see " << scratch() << "/sound";
    start({sink_->serverSetting()}, args, errors());
    // The window opens its sound device once it is up; a null sink drops about the
    // first second that a new stream plays.
    pause(2500);
  }
  std::string errors() { return scratch() + "/errors.txt"; }

  // Launches the served ball to the upper left and waits until a brick changes on
  // screen; returns when that was seen.
  Clock::time_point launchAndSeeAStrike() {
    const Frame served = grab();
    keyDown("Right");
    pause(120);
    keyUp("Right");
    for (int i = 0; i < 500; ++i) {
      if (bricksChanged(served, grab())) return Clock::now();
      pause(10);
    }
    ADD_FAILURE() << "no brick was struck";
    return Clock::now();
  }

  // Plays on until something that sounds happens again: a brick changes or a ball is
  // lost. A ball served on the paddle meanwhile waits for a key, so it is launched with
  // a tap on the right arrow as a player would. Returns when it was seen.
  Clock::time_point seeTheNextHappening() {
    const Frame from = grab();
    const int lives = look(from).livesShown;
    for (int i = 0; i < 1500; ++i) {
      const Frame now = grab();
      const Sight sight = look(now);
      if (bricksChanged(from, now) || sight.livesShown < lives) return Clock::now();
      const bool served = sight.ballCentre && sight.ballCentre->second >= kBallRestRow - 2;
      if (served && i % 50 == 0) tap("Right");
      pause(10);
    }
    ADD_FAILURE() << "nothing happened in play";
    return Clock::now();
  }

  std::unique_ptr<NullSink> sink_;
};

TEST_F(HeardWindow, SilentUntilTheFirstStrikeHeardRightAfterItAndMSilencesIt) {
  const Clock::time_point opened = Clock::now();
  startHeard();
  const Clock::time_point struck = launchAndSeeAStrike();
  pause(400);
  const auto first = sink_->firstSoundAfter(opened);
  ASSERT_TRUE(first) << "nothing was heard";
  // The strike is seen on screen up to a few looks after it happens; the sound
  // reaches the sink within a few tens of milliseconds.
  EXPECT_GT(*first, struck - 400ms) << "a sound before the first strike";
  EXPECT_LT(*first, struck + 300ms) << "the strike was not heard";

  tap("m");
  const Clock::time_point muted = Clock::now();
  seeTheNextHappening();
  pause(400);
  EXPECT_FALSE(sink_->heardBetween(muted + 150ms, Clock::now())) << "heard after M";
  EXPECT_EQ(contentsOf(errors()), "");
  // The choice is kept for the next run, and nothing else is.
  EXPECT_EQ(contentsOf(scratch() + "/config/tilerush/tilerush.conf"), "[sound]\nmuted=true\n");
}

TEST_F(HeardWindow, StartedWithMuteItIsSilentUntilMTurnsTheSoundOn) {
  const Clock::time_point opened = Clock::now();
  startHeard({"--mute"});
  launchAndSeeAStrike();
  pause(400);
  EXPECT_FALSE(sink_->heardBetween(opened, Clock::now())) << "heard with --mute";
  tap("m");
  // The device opens now, and the null sink drops about the first second a new stream
  // plays: happenings go by until one is heard, however long a busy machine takes.
  std::optional<Clock::time_point> heard;
  Clock::time_point next;
  for (const Clock::time_point deadline = Clock::now() + 30s; !heard && Clock::now() < deadline;) {
    const Clock::time_point looking = Clock::now();
    next = seeTheNextHappening();
    pause(400);
    heard = sink_->firstSoundAfter(looking);
  }
  ASSERT_TRUE(heard) << "nothing was heard after M";
  EXPECT_LT(*heard, next + 300ms);
}

TEST_F(HeardWindow, WithNoSoundServerTheGamePlaysOnAndSaysSoInOneLine) {
  start({}, {}, errors());
  keyDown("Right");
  const Sight launched =
      lookUntil([](const Sight& s) { return s.ballCentre && s.ballCentre->second < kBallRestRow - 30; });
  keyUp("Right");
  EXPECT_TRUE(launched.ballCentre && launched.ballCentre->second < kBallRestRow - 30)
      << "the ball did not leave";
  tap("m");
  tap("m");
  pause(500);
  EXPECT_TRUE(game_->running());
  const std::string said = contentsOf(errors());
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find("tilerush: playing without sound"), std::string::npos) << said;
}

TEST_F(HeardWindow, ASoundServerThatDiesMidGameLeavesItPlayingSilentAndSaysSoOnce) {
  const Clock::time_point opened = Clock::now();
  startHeard();
  launchAndSeeAStrike();
  pause(400);
  ASSERT_TRUE(sink_->firstSoundAfter(opened)) << "nothing was heard before the server died";
  sink_.reset();  // the server and its recorder killed, as a crashed sound server

  // Play goes on: bricks are struck and balls lost, with nothing to hear them.
  for (int happenings = 0; happenings < 3; ++happenings) seeTheNextHappening();
  tap("m");
  tap("m");
  pause(300);
  EXPECT_TRUE(game_->running());
  const std::string said = contentsOf(errors());
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_EQ(said.rfind("tilerush: playing without sound", 0), 0u) << said;
}

}  // namespace
}  // namespace tilerush::e2e
