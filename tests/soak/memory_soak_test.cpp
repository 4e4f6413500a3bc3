// A thousand games, each ended by "Game Over" and restarted: the memory the game holds
// after each restart must not grow.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <vector>

#include "careless_play.h"
#include "invariants.h"
#include "live_allocations.h"
#include "sim/autoplay.h"

namespace tilerush::soak {
namespace {

constexpr int kRestarts = 1000;
// Each game has some real play (keys, hits, perhaps a level) before it is lost.
constexpr std::int64_t kPlayBeforeLosingMs = 10'000;

}  // namespace

TEST(MemorySoak, AThousandRestartsHoldNoMoreMemoryThanTheFirst) {
  Session session{sim::systemClockSeed};
  sim::Autoplayer player(session);
  InvariantChecker checker(session);
  session.watchEvents([&](GameEvent event, std::string_view name) { checker.afterEvent(event, name); });
  session.fixSeed(11);
  session.open();

  // Reserved now, so that the record's own growth does not count.
  std::vector<LiveAllocations> afterRestart;
  afterRestart.reserve(kRestarts);
  LiveAllocations atOpen = liveAllocations();
  for (int restart = 0; restart < kRestarts; ++restart) {
    player.play(kPlayBeforeLosingMs);
    ASSERT_TRUE(playUntilGameOver(session)) << "restart " << restart;
    clickGameOver(session);
    afterRestart.push_back(liveAllocations());
  }

  auto byBytes = [](const LiveAllocations& a, const LiveAllocations& b) { return a.bytes < b.bytes; };
  LiveAllocations most = *std::max_element(afterRestart.begin(), afterRestart.end(), byBytes);
  const LiveAllocations& first = afterRestart.front();
  const LiveAllocations& last = afterRestart.back();
  std::cout << "memory soak: " << checker.startUpsChecked() << " start-ups, " << checker.eventsChecked()
            << " events checked; live blocks/bytes at open " << atOpen.blocks << "/" << atOpen.bytes
            << ", after restart 1 " << first.blocks << "/" << first.bytes << ", after restart " << kRestarts
            << " " << last.blocks << "/" << last.bytes << ", most after any restart " << most.blocks << "/"
            << most.bytes << '\n';
  EXPECT_EQ(checker.breachCount(), 0) << checker.report();
  EXPECT_LE(last.bytes, first.bytes);
  EXPECT_LE(last.blocks, first.blocks);
  EXPECT_LE(most.bytes, first.bytes);
}

}  // namespace tilerush::soak
