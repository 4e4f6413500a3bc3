// The kept games as the window and the page will use them: the ten best ranked and
// merged, their text read back or refused, replays refused as games to keep, and
// each day's challenge seed against the table the front ends share.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "kept/best_games.h"
#include "kept/challenge.h"
#include "kept/kept_game.h"

namespace tilerush::kept {
namespace {

KeptGame game(std::int64_t score, std::string date, std::string replay) {
  KeptGame g;
  g.score = score;
  g.level = 2;
  g.bricksLeft = 40;
  g.timeMs = 61'250;
  g.date = std::move(date);
  g.replay = std::move(replay);
  return g;
}

TEST(BestGames, RankByScoreThenDateKeepTheTenBestMergeByIdAndReadBackWhatWasWritten) {
  BestGames list;
  for (int i = 0; i < 10; ++i) {
    const std::string day = "2026-12-" + std::to_string(10 + i) + "T10:00:00Z";
    EXPECT_TRUE(list.add(game(100 * (i % 5), day, "seed " + std::to_string(i) + "\nopen\n")));
  }
  EXPECT_EQ(list.games().front().date, "2026-12-14T10:00:00Z")
      << "of two equal scores the earlier ranks first";
  EXPECT_FALSE(list.wouldRank(0, "2027-01-01T00:00:00Z"));
  EXPECT_FALSE(list.add(game(0, "2026-12-20T10:00:00Z", "late")));
  EXPECT_TRUE(list.wouldRank(0, "2026-01-01T00:00:00Z"));
  EXPECT_TRUE(list.add(game(0, "2026-12-01T10:00:00Z", "early")));
  ASSERT_EQ(list.games().size(), BestGames::kKept);
  EXPECT_EQ(list.games().back().date, "2026-12-10T10:00:00Z");
  EXPECT_FALSE(list.add(list.games()[3])) << "a game already kept is not kept twice";

  BestGames other;
  other.add(list.games()[0]);
  KeptGame challenge =
      game(900, "2026-12-20T08:00:00Z", "# challenge 2026-12-20\nseed 5\nopen\r\nadvance 10");
  challenge.kind = GameKind::Challenge;
  challenge.day = Day{2026, 12, 20};
  other.add(challenge);
  KeptGame race = game(450, "2026-12-21T08:00:00Z", "# race\nseed 6\nopen\n");
  race.kind = GameKind::Race;
  other.add(race);
  list.merge(other);
  ASSERT_EQ(list.games().size(), BestGames::kKept);
  EXPECT_EQ(list.games()[0], challenge);
  EXPECT_EQ(list.games()[1], race);
  EXPECT_EQ(list.games()[2].score, 400);
  EXPECT_EQ(list.games()[3].score, 400) << "the game both lists hold is there once";
  EXPECT_TRUE(list.forget(race.id()));
  EXPECT_FALSE(list.forget(race.id()));

  const std::string text = listText(list);
  Result<BestGames> read = readList(text);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().games(), list.games());
  EXPECT_TRUE(readList("tilerush kept games 1\n")) << "an empty list";
}

TEST(BestGames, AMalformedListIsOneSentenceNamingItsLine) {
  BestGames list;
  list.add(game(10, "2026-12-10T10:00:00Z", "seed 1\nopen\n"));
  list.add(game(20, "2026-12-11T10:00:00Z", "seed 2\nopen\n"));
  const std::string good = listText(list);
  auto errorOf = [](const std::string& text) {
    Result<BestGames> read = readList(text);
    return read ? std::string("read") : read.error();
  };
  const std::size_t second = good.find("game id", good.find("game id") + 1);
  struct Case {
    std::string text, said;
  };
  for (const Case& c : {
           Case{"", "line 1: it does not begin"},
           Case{"tilerush kept games 2\n", "line 1: it is of a later version"},
           Case{good.substr(0, good.size() - 3), "line 5: its replay is cut short"},
           Case{good.substr(0, second + 20), "line 5: the line is cut short"},
           Case{std::string(good).replace(good.size() - 3, 1, "X"),
                "line 5: its replay does not match its id"},
           Case{std::string(good).replace(good.find("score=20"), 8, "score=-2"),
                "line 2: score is not a number"},
           Case{std::string(good).replace(good.find("kind=plain"), 10, "kind=party"),
                "line 2: the kind is none"},
           Case{std::string(good).replace(good.find("game id"), 4, "gam "),
                "line 2: a game's line must begin"},
       }) {
    EXPECT_NE(errorOf(c.text).find(c.said), std::string::npos) << errorOf(c.text);
  }
  BestGames eleven;
  std::string many = "tilerush kept games 1\n";
  for (int i = 0; i < 11; ++i) {
    BestGames one;
    one.add(game(i, "d", "seed " + std::to_string(i) + "\n"));
    many += listText(one).substr(22);
  }
  EXPECT_NE(errorOf(many).find("more than ten games"), std::string::npos) << errorOf(many);
}

TEST(KeptFromReplay, WhatIsNoSeededReplayOrFailsItsExpectationsIsRefused) {
  const std::string start =
      "# Tilerush replay\n# Tilerush 1.2.0, recorded 2026-12-10T10:00:00Z\nseed 3\nopen\n";
  Result<KeptGame> kept = keptFromReplay(start + "advance 1000\nexpect points 0\n");
  ASSERT_TRUE(kept) << kept.error();
  EXPECT_EQ(kept.value().timeMs, 1000);
  EXPECT_EQ(kept.value().level, 1);
  EXPECT_EQ(kept.value().date, "2026-12-10T10:00:00Z");
  EXPECT_EQ(kept.value().kind, GameKind::Plain);
  for (const auto& [replay, said] : std::initializer_list<std::pair<std::string, std::string>>{
           {start + "advance 1000\nexpect points 10\n", "line 6: expected points 10, found 0"},
           {start + "set points 9999\n", "line 5 is no replay's: set"},
           {start + "autoplay 1000\n", "is no replay's: autoplay"},
           {"open\nadvance 10\n", "names no seed"},
           {"seed 3\nopen\nadvance -1\n", "line 3: advance"},
           {"# challenge 2026-02-30\nseed 3\nopen\n", "challenge day is not a date"},
       }) {
    Result<KeptGame> refused = keptFromReplay(replay);
    ASSERT_FALSE(refused) << replay;
    EXPECT_EQ(refused.error().rfind("not a game to keep: ", 0), 0u) << refused.error();
    EXPECT_NE(refused.error().find(said), std::string::npos) << refused.error();
  }
}

TEST(Challenge, EachDayOfTheSharedTableHasItsSeedAndOnlyRealDaysAreRead) {
  std::ifstream table(TILERUSH_CHALLENGE_DAYS);
  ASSERT_TRUE(table);
  int days = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::optional<Day> day = parseDay(line.substr(0, 10));
    ASSERT_TRUE(day) << line;
    EXPECT_EQ(dayText(*day), line.substr(0, 10));
    EXPECT_EQ(std::to_string(challengeSeed(*day)), line.substr(11)) << line;
    ++days;
  }
  EXPECT_GE(days, 10);
  for (const char* bad : {"2026-02-29", "2100-02-29", "2026-04-31", "2026-00-10", "0000-01-01", "2026-1-10",
                          "2026/12/10", "2026-12-10T", "+026-12-10", ""}) {
    EXPECT_FALSE(parseDay(bad)) << bad;
  }
  using std::chrono::seconds;
  using std::chrono::system_clock;
  EXPECT_EQ(dayInUtc(system_clock::time_point{}), (Day{1970, 1, 1}));
  EXPECT_EQ(dayInUtc(system_clock::time_point{seconds{951'868'799}}), (Day{2000, 2, 29}))
      << "its last second";
  EXPECT_EQ(dayInUtc(system_clock::time_point{seconds{951'868'800}}), (Day{2000, 3, 1}));
  EXPECT_EQ(dayInUtc(system_clock::time_point{seconds{-1}}), (Day{1969, 12, 31}));
}

}  // namespace
}  // namespace tilerush::kept
