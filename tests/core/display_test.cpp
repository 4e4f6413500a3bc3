// The element model and the random source the routines stand on.
#include <gtest/gtest.h>

#include <vector>

#include "display/display.h"
#include "game/session.h"
#include "timing/pacer.h"
#include "timing/random.h"

namespace tilerush {
namespace {

struct Recorder : DisplayObserver {
  void elementChanged(const Element& e, const Rect& before) override {
    changes.push_back(e.name());
    lastBefore = before;
  }
  void intervalChanged(const Element& timer) override { intervals.push_back(timer.interval()); }
  void displayRebuilt() override { ++rebuilds; }
  std::vector<std::string> changes;
  Rect lastBefore;
  std::vector<int> intervals;
  int rebuilds = 0;
};

ElementSpec entry(const char* name, int index, ElementKind kind, Rect bounds) {
  ElementSpec s;
  s.name = name;
  s.index = index;
  s.kind = kind;
  s.bounds = bounds;
  return s;
}

std::vector<ElementSpec> smallLayout() {
  ElementSpec back = entry("back", -1, ElementKind::Shape, {0, 0, 10, 10});
  ElementSpec cell = entry("cell", 0, ElementKind::Label, {5, 5, 20, 20});
  cell.caption = "4";
  cell.visible = false;
  ElementSpec front = entry("front", -1, ElementKind::Shape, {1, 2, 3, 4});
  ElementSpec clock = entry("Timer1", -1, ElementKind::Timer, {});
  clock.interval = 25;
  return {back, cell, front, clock};
}

}  // namespace

TEST(RandomSource, SplitMix64DrawsReplayFromTheSeed) {
  RandomSource random;
  random.seed(1);
  EXPECT_EQ(random.draw(), 0.5665615200996399f);
  EXPECT_EQ(random.draw(), 0.7457817196846008f);
  random.seed(0);
  EXPECT_EQ(random.draw(), 0.8833107948303223f);
}

TEST(RandomSource, QueuedDrawsComeFirstAndDoNotAdvanceTheGenerator) {
  RandomSource random;
  random.seed(1);
  random.queue(0.25f);
  random.queue(0.0f);
  EXPECT_EQ(random.draw(), 0.25f);
  EXPECT_EQ(random.draw(), 0.0f);
  EXPECT_EQ(random.draw(), 0.5665615200996399f);
  for (int i = 0; i < 100000; ++i) ASSERT_LT(random.draw(), 1.0f);
}

TEST(Display, BuildsTheLayoutInStackingOrderAndStartsTimers) {
  Display display;
  Recorder recorder;
  display.addObserver(&recorder);
  display.build(smallLayout());
  EXPECT_EQ(recorder.rebuilds, 1);
  EXPECT_EQ(recorder.intervals, std::vector<int>{25});
  EXPECT_EQ(display.stackPosition(*display.find("back")), 0);
  EXPECT_EQ(display.stackPosition(*display.find("cell", 0)), 1);
  EXPECT_EQ(display.stackPosition(*display.find("front")), 2);
  EXPECT_EQ(display.stackPosition(*display.find("Timer1")), -1);
  EXPECT_EQ(display.find("cell", 1), nullptr);
  EXPECT_EQ(display.find("nothing"), nullptr);
}

TEST(Display, NewArrayMembersCopyTheTemplateHiddenAndInFront) {
  Display display;
  display.build(smallLayout());
  Element& member = display.createMember("cell", 1);
  EXPECT_FALSE(member.visible());
  EXPECT_EQ(member.caption(), "4");
  EXPECT_EQ(member.left(), 5);
  EXPECT_EQ(display.stackPosition(member), 3);
  display.bringToFront(*display.find("back"));
  EXPECT_EQ(display.stackPosition(*display.find("back")), 3);
  EXPECT_EQ(display.stackPosition(member), 2);
  EXPECT_EQ(display.array("cell")->member(1), &member);
}

TEST(Display, ChangesReportTheRectangleCoveredBefore) {
  Display display;
  Recorder recorder;
  display.addObserver(&recorder);
  display.build(smallLayout());
  Element& front = *display.find("front");
  front.move(100.5f, 200.25f);
  EXPECT_EQ(recorder.lastBefore.left, 1);
  EXPECT_EQ(recorder.lastBefore.top, 2);
  EXPECT_EQ(front.left(), 100.5f);
  EXPECT_EQ(front.top(), 200.25f);
  recorder.changes.clear();
  front.setVisible(true);  // already shown: nothing to repaint
  front.setCaption("");
  EXPECT_TRUE(recorder.changes.empty());
  display.find("Timer1")->setInterval(25);
  EXPECT_EQ(recorder.intervals.back(), 25);
}

}  // namespace tilerush

namespace tilerush {

TEST(Pacer, GameTimeFollowsRealTimeAndAStallMovesItOnByAFewTicksOnly) {
  Pacer pacer;
  constexpr std::int64_t kSecond = 1'000'000'000;
  EXPECT_EQ(pacer.step(5 * kSecond), 0) << "the first step only starts it";
  EXPECT_EQ(pacer.step(5 * kSecond + 25'400'000), 25);
  EXPECT_EQ(pacer.realDelayNs(25), 24'600'000) << "the 0.4 ms carried over counts";
  EXPECT_EQ(pacer.step(5 * kSecond + 50'000'000), 25);
  EXPECT_EQ(pacer.step(5 * kSecond + 40'000'000), 0) << "an instant already run past";
  EXPECT_EQ(pacer.step(5 * kSecond + 75'000'000), 25) << "and its time is not run twice";

  // A minute asleep: the game moves on by a few ticks, then on with real time.
  Session session([] { return 1u; });
  session.open();
  int ballTicks = 0;
  session.watchEvents([&](GameEvent event, std::string_view name) {
    ballTicks += event == GameEvent::Tick && name == "Timer2";
  });
  session.advanceBy(pacer.step(65 * kSecond));
  EXPECT_EQ(session.now(), Pacer::kMaxStepMs);
  EXPECT_EQ(ballTicks, Pacer::kMaxStepMs / kPlayTickMs);
  EXPECT_EQ(pacer.step(65 * kSecond + 25'000'000), 25);

  pacer.restart();
  EXPECT_EQ(pacer.step(99 * kSecond), 0) << "time while hidden is not game time";
}

}  // namespace tilerush
