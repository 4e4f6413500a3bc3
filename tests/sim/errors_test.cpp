// Scripts that cannot be carried out: one error line naming the line, exit status 2,
// and whatever was printed before stays printed.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "sim_run.h"

namespace tilerush::sim::testing {
namespace {

// Runs `script` and checks it fails on `line` with a message containing `what`.
void expectFailure(const std::string& script, int line, const std::string& what) {
  SimRun run = runSim(script);
  EXPECT_EQ(run.status, 2) << script;
  std::string prefix = "tilerush-sim: line " + std::to_string(line) + ": ";
  EXPECT_EQ(run.err.rfind(prefix, 0), 0u) << script << "\n" << run.err;
  EXPECT_NE(run.err.find(what), std::string::npos) << script << "\n" << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line only: " << run.err;
}

}  // namespace

TEST(SimErrors, BadWordsAreReportedWithTheirLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"jump", "unknown command 'jump'"},
      {"seed -1", "seed must be"},
      {"seed 18446744073709551616", "seed must be"},
      {"seed 1.5", "seed must be"},
      {"draws", "at least one value"},
      {"draws 1", "[0, 1)"},
      {"draws -0.1", "[0, 1)"},
      {"draws 0.99999999", "rounds to 1"},
      {"draws nan", "not a number"},
      {"draws 0.5 inf", "not a number"},
      {"set lives 32767.5", "lives holds whole numbers from -32768 to 32767"},
      {"set toppoints 2147483648", "toppoints holds whole numbers from -2147483648"},
      {"set points 1e400", "out of range"},
      {"set points 12abc", "not a number"},
      {"set points", "missing"},
      {"set points 1 2", "one word"},
      {"set cellval[31][0] 1", "out of range"},
      {"set cellval[3] 1", "takes 2 indices"},
      {"set lives[0] 1", "takes 0 indices"},
      {"set levels[1][99999999999999999999] x", "index"},
      {"set nosuch 1", "unknown field 'nosuch'"},
      {"set levels[1][1] a\x01z", "control characters"},
      {"set levels[1][1] \xff\xfe", "UTF-8"},
      {"high -1", "high must be a whole number from 0 to 2147483647"},
      {"high 2147483648", "high must be"},
      {"high", "the High is missing"},
  };
  for (const auto& [line, what] : cases) expectFailure("seed 1\n" + line + "\nopen\n", 2, what);
}

TEST(SimErrors, WindowCommandsNeedTheWindowOpenOnce) {
  for (std::string line : {"key down left", "click pause", "advance 1", "autoplay 1", "tick Timer1", "dump",
                           "set ball.left 1"}) {
    expectFailure("seed 1\n" + line + "\n", 2, "give 'open' first");
  }
  expectFailure("open\nopen\n", 2, "already open");
  expectFailure("open\nhigh 10\n", 2, "high must come before 'open'");
  expectFailure("open\nroll 3\n", 2, "roll must come before 'open'");
  expectFailure("roll 10\nopen\n", 1, "roll");
}

// The lines of a level set come before `open`, numbered in order, each row sound.
TEST(SimErrors, ALevelSetsLinesAreCheckedAsTheSetsFileIs) {
  const std::string row = " 00000000000000000000";
  const std::string rows = " 11111111111111111111" + [&] {
    std::string rest;
    for (int i = 2; i <= 10; ++i) rest += row;
    return rest;
  }();
  const std::string map1 = "map 1" + rows + "\n";
  expectFailure(map1 + "open\nmap 2" + rows + "\n", 3, "map must come before 'open'");
  expectFailure(map1 + "open\nstartmap 1\n", 3, "startmap must come before 'open'");
  expectFailure(map1 + "map 3" + rows + "\n", 2, "map 3 comes where map 2 should");
  expectFailure("map 1" + rows + " 1\n", 1, "unexpected '1'");
  expectFailure("map 1 1" + rows.substr(21) + "\n", 1, "map 1, row 1: 1 digits: a row is twenty");
  expectFailure("map 1 1111111111111111111x" + rows.substr(21) + "\n", 1, "'x' at column 20 is no digit");
  expectFailure("map 1" + rows.substr(0, 21 * 9) + "\n", 1, "row 10 of map 1 is missing");
  expectFailure("map 1" + row + rows.substr(21) + "\n", 1, "map 1: no brick in it");
  expectFailure("map 101" + rows + "\n", 1, "map must be a whole number from 1 to 100");
  expectFailure("startmap 1\n", 1, "startmap needs the set's maps before it");
  expectFailure(map1 + "startmap 2\n", 2, "startmap must be a whole number from 1 to 1");
}

TEST(SimErrors, BadArgumentsAfterOpen) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"key sideways left", "down or up"},
      {"key down 65536", "a key"},
      {"key down leftt", "a key"},
      {"key down", "missing"},
      {"click pause", "hidden"},
      {"click start", "unknown button"},
      {"advance 86400001", "advance (ms)"},
      {"advance -1", "advance (ms)"},
      {"advance 1.5", "advance (ms)"},
      {"autoplay 86400001", "autoplay (ms)"},
      {"autoplay -25", "autoplay (ms)"},
      {"autoplay", "the time is missing"},
      {"tick Timer4", "unknown timer"},
      {"tick Timer1 0", "tick count"},
      {"tick Timer1 1000001", "tick count"},
      {"tick Timer1 2 3", "unexpected '3'"},
      {"set ball.caption x", "has no caption"},
      {"set Timer1.left 5", "has no left"},
      {"set ball.colour 5", "unknown property"},
      {"set ball.left 1e39", "fit a float"},
      {"set ball.visible yes", "visible takes"},
      {"set ball.fillcolor 16777216", "colour"},
      {"set Timer1.interval -5", "an interval"},
      {"set brick[501].visible 1", "no member 501"},
      {"set brick.visible 1", "element array"},
      {"set ball[0].left 1", "takes no index"},
      {"set nothing.left 1", "unknown element"},
      {"dump brick[3]", "without indices"},
      {"dump nothing", "unknown field or element"},
  };
  for (const auto& [line, what] : cases) expectFailure("open\n" + line + "\ndump\n", 2, what);
}

TEST(SimErrors, WhatWasPrintedBeforeTheErrorStays) {
  SimRun run = runSim("seed 1\nopen\ndump lives\nbogus\ndump lives\n");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "{\"t\": 0, \"fields\": {\"lives\": 3}, \"elements\": {}}\n");
  EXPECT_EQ(run.err, "tilerush-sim: line 4: unknown command 'bogus'\n");
}

TEST(SimErrors, ArbitraryBytesNeverCrashTheRun) {
  std::string nul("open\n\0\0\0\n", 9);
  expectFailure(nul, 2, "unknown command '\\x00\\x00\\x00'");
  expectFailure("open\n\xc3\x28 \x80\n", 2, "unknown command '\\xC3('");
  expectFailure("open\n" + std::string(2'000'000, 'x') + "\n", 2, "line too long");
  // A long line within the limit is read whole; its word is shown cut short.
  expectFailure("open\n" + std::string(5'000, 'y') + "\n", 2,
                "'yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy...'");
  SimRun empty = runSim("");
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out, "");
}

}  // namespace tilerush::sim::testing
