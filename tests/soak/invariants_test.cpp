// The invariant checker itself: quiet on a fresh game, and it reports each rule broken.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "game/form_probe.h"
#include "invariants.h"

namespace tilerush::soak {
namespace {

struct BrokenRule {
  std::string breach;  // a part of the report that names it
  std::function<void(Session&)> breakIt;
};

Element& element(Session& session, const char* name, int index = -1) {
  return *session.display().find(name, index);
}

}  // namespace

TEST(InvariantChecker, IsQuietOnAFreshGameAndReportsEveryBrokenRule) {
  const std::vector<BrokenRule> rules = {
      {"lives 7 outside 0..6", [](Session& s) { FormProbe(s.form()).state().lives = 7; }},
      {"paddledir 3", [](Session& s) { FormProbe(s.form()).state().paddledir = 3; }},
      {"life marker 4 shown with 3 lives", [](Session& s) { element(s, "life", 4).setVisible(true); }},
      {"life marker 2 hidden", [](Session& s) { element(s, "life", 2).setVisible(false); }},
      {"cellval holds a brick", [](Session& s) { FormProbe(s.form()).state().cellval[5][13] = 2; }},
      {"cellval holds a brick", [](Session& s) { FormProbe(s.form()).state().cellval[21][5] = 1; }},
      {"cellval holds a brick", [](Session& s) { FormProbe(s.form()).state().cellval[0][0] = -1; }},
      {"template brick 0 is shown", [](Session& s) { element(s, "brick", 0).setVisible(true); }},
      {"ball at", [](Session& s) { element(s, "ball").setLeft(100); }},
      {"ball at", [](Session& s) { element(s, "ball").setTop(7216); }},
      {"paddle at", [](Session& s) { element(s, "paddle").setLeft(7380); }},
      {"logo ball 1 outside", [](Session& s) { element(s, "logoball", 1).setTop(600); }},
      {"game timers at 10 and 25", [](Session& s) { element(s, "Timer1").setInterval(10); }},
      {"game timers at 25 and 0", [](Session& s) { element(s, "Timer2").setInterval(0); }},
      {"logo timer at 0", [](Session& s) { element(s, "Timer3").setInterval(0); }},
      {"Game Over shown", [](Session& s) { element(s, "gameover").setVisible(true); }},
      {"added during play", [](Session& s) { s.display().createMember("brick", 501); }},
  };
  for (const BrokenRule& rule : rules) {
    Session session{sim::systemClockSeed};
    InvariantChecker checker(session);
    session.fixSeed(1);
    session.open();
    checker.afterEvent(GameEvent::Open, "");
    checker.afterEvent(GameEvent::Tick, "Timer2");
    ASSERT_EQ(checker.breachCount(), 0) << checker.report();
    rule.breakIt(session);
    checker.afterEvent(GameEvent::Tick, "Timer2");
    EXPECT_GE(checker.breachCount(), 1) << rule.breach;
    EXPECT_NE(checker.report().find(rule.breach), std::string::npos) << checker.report();
  }
}

TEST(InvariantChecker, ALevelStartMayLeaveItsNewLifeUnshownUntilTheNextHit) {
  Session session{sim::systemClockSeed};
  InvariantChecker checker(session);
  session.watchEvents([&](GameEvent event, std::string_view name) { checker.afterEvent(event, name); });
  session.fixSeed(1);
  session.open();
  // A level ended by a ceiling draw: the click gives life 4 and shows no marker for it.
  FormProbe(session.form()).state().bricksleft = 1;
  session.display().find("ball")->setTop(1600);
  FormProbe(session.form()).state().yspeed = 104;
  session.queueDraws({0, 0});
  session.give({Input::Kind::Tick, 0, ButtonId::Pause, TimerId::Timer2});
  session.give(Input::click(ButtonId::NextLevel));
  EXPECT_EQ(session.state().lives, 4);
  EXPECT_FALSE(session.display().find("life", 4)->visible());
  EXPECT_EQ(checker.breachCount(), 0) << checker.report();
  // Shown now, with no hit to show it, it is out of line.
  session.display().find("life", 4)->setVisible(true);
  checker.afterEvent(GameEvent::Key, "up");
  EXPECT_NE(checker.report().find("life marker 4 shown with 4 lives"), std::string::npos) << checker.report();
}

}  // namespace tilerush::soak
