// The check a front end makes before it watches a replay, and the stretches of game
// time it then plays it in.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "game/session.h"
#include "sim/replay.h"
#include "sim/runner.h"

namespace tilerush::sim::testing {
namespace {

std::unique_ptr<std::istream> script(const std::string& text) {
  return std::make_unique<std::istringstream>(text);
}

}  // namespace

TEST(ReplayCheck, RefusesWhatCannotBeWatchedAndPassesAReplayWhoseExpectationFails) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"seed 1\nopen\nadvance 500\nexpect lives 3\n", ""},
      // Watching it says which expectation failed; the check lets it through.
      {"seed 1\nopen\nadvance 500\nexpect lives 2\n", ""},
      {"", "not a replay: it never opens the window"},
      {"seed 1\nopen\nadvance 100\nclick nextlevel\n",
       "line 4: cannot click nextlevel: the button is hidden"},
      {"seed 1\nopen\nfly away\n", "line 3: unknown command 'fly'"},
  };
  for (const auto& [text, wrong] : cases) {
    const Result<ReplayFacts> checked = ReplayCheck::run(script(text));
    EXPECT_EQ(checked.ok() ? "" : checked.error(), wrong) << text;
  }
  const std::string nul("seed 1\nopen\nkey down left\0\n", 27);
  EXPECT_EQ(ReplayCheck::run(script(nul)).error(), "not a replay: it is not a text file");
}

TEST(ReplayCheck, GoesAStretchAtATimeAndRefusesAReplayLongerThanItsLimit) {
  ReplayCheck check(script("seed 1\nopen\nadvance 5000\nkey down right\nadvance 5000\n"), 20'000);
  int calls = 1;
  while (!check.proceed(1000)) ++calls;
  // Ten seconds of game time, and one more call to find the end.
  EXPECT_EQ(calls, 11);
  EXPECT_EQ(check.wrong(), "");

  // Refused at the line that would run past the limit, before any of it is played.
  ReplayCheck endless(script("seed 1\nopen\nadvance 1000\nadvance 86400000\n"), 3'600'000);
  EXPECT_TRUE(endless.proceed(2000));
  EXPECT_EQ(endless.wrong(), "line 4: longer than 1 hour of game time, more than can be watched here");
}

TEST(ReplayPace, PlaysTheReplayInItsStretchesAndSaysHowItEnded) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"seed 3\nopen\nadvance 400\nkey down right\nadvance 600\nexpect lives 3\nexpect mapno 1\n",
       "replay: all 2 expectations held"},
      {"seed 3\nopen\nadvance 400\nexpect bricksleft 7\n",
       "replay: line 4: expected bricksleft 7, found 120"},
  };
  for (const auto& [text, verdict] : cases) {
    Session session(systemClockSeed);
    std::istringstream in(text);
    std::ostringstream dumps;
    ReplayPace pace(session, in, dumps);
    std::vector<std::int64_t> stretches;
    while (std::optional<std::int64_t> until = pace.next()) {
      stretches.push_back(*until);
      session.advanceTo(*until);
    }
    EXPECT_EQ(pace.verdict(), verdict);
    EXPECT_EQ(pace.status(), verdict.find("held") != std::string::npos ? 0 : 1);
    EXPECT_EQ(stretches.front(), 400) << text;
  }
}

}  // namespace tilerush::sim::testing
