// The hold after a lost ball: ticks lost, input kept in order, the resume step first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/qt/event_gate.h"

namespace tilerush {
namespace {

TEST(EventGate, RunsEverythingAtOnceWhileNoHoldLasts) {
  EventGate gate;
  std::vector<std::string> log;
  EXPECT_TRUE(gate.offerTick([&] { log.push_back("tick"); }));
  gate.submit([&] { log.push_back("key"); });
  EXPECT_EQ(log, (std::vector<std::string>{"tick", "key"}));
  gate.release();  // no hold: nothing to end
  EXPECT_EQ(log.size(), 2u);
}

TEST(EventGate, HoldDropsTicksAndDeliversHeldInputInOrderAfterTheResumeStep) {
  EventGate gate;
  std::vector<std::string> log;
  gate.hold([&] { log.push_back("resume"); });
  EXPECT_FALSE(gate.offerTick([&] { log.push_back("tick"); }));
  gate.submit([&] { log.push_back("key down"); });
  gate.submit([&] { log.push_back("click"); });
  gate.submit([&] { log.push_back("key up"); });
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(gate.heldCount(), 3u);

  gate.release();
  EXPECT_EQ(log, (std::vector<std::string>{"resume", "key down", "click", "key up"}));
  EXPECT_FALSE(gate.holding());
  EXPECT_TRUE(gate.offerTick([&] { log.push_back("tick"); }));
}

TEST(EventGate, InputHeldPastANewHoldWaitsForThatOneToEnd) {
  EventGate gate;
  std::vector<std::string> log;
  gate.hold([&] { log.push_back("first resume"); });
  gate.submit([&] {
    log.push_back("first key");
    gate.hold([&] { log.push_back("second resume"); });
  });
  gate.submit([&] { log.push_back("second key"); });
  gate.release();
  EXPECT_EQ(log, (std::vector<std::string>{"first resume", "first key"}));
  // Input arriving now still queues behind what is held.
  gate.submit([&] { log.push_back("third key"); });
  gate.release();
  EXPECT_EQ(log, (std::vector<std::string>{"first resume", "first key", "second resume", "second key",
                                           "third key"}));
}

}  // namespace
}  // namespace tilerush
