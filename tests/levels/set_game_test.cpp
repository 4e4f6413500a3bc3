// Games on a level set: the five maps as a set are the game itself, and a game on a
// set of one's own is laid out from it at every start-up, recorded, replayed and kept,
// while the board refuses it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "game/session.h"
#include "kept/kept_game.h"
#include "levels/level_set.h"
#include "links/replay_link.h"
#include "proof/recorded_game.h"
#include "sim/autoplay.h"
#include "sim/recorder.h"
#include "sim_run.h"

namespace tilerush::levels {
namespace {

using sim::testing::runSim;

std::string mapLines(const LevelSet& set) {
  std::string lines;
  for (std::size_t map = 0; map < set.maps.size(); ++map) {
    lines += "map " + std::to_string(map + 1);
    for (const std::string& row : set.maps[map]) lines += " " + row;
    lines += "\n";
  }
  return lines;
}

std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The built-in maps given as a set, as a file would give them: every golden replay that
// plays through prints, to the byte, what it prints on the game's own maps.
TEST(SetGames, TheFiveMapsAsASetFilePlayEveryGoldenReplayAlike) {
  Result<LevelSet> five = readLevelSet(levelSetText(builtInSet()));
  ASSERT_TRUE(five) << five.error();
  const std::string lines = mapLines(five.value()) + "startmap 1\n";
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TILERUSH_GOLDEN_DIR)) {
    const std::filesystem::path script = entry.path();
    if (script.extension() != ".sim" ||
        std::filesystem::exists(script.parent_path() / (script.stem().string() + ".err")))
      continue;
    const std::string text = fileText(script);
    const sim::testing::SimRun plain = runSim(text);
    const sim::testing::SimRun onSet = runSim(lines + text);
    EXPECT_EQ(onSet.status, plain.status) << script;
    EXPECT_EQ(onSet.out, plain.out) << script;
    ++compared;
  }
  EXPECT_GE(compared, 10);
}

// Two small maps, the game started from the second as when a map is tried out.
LevelSet twoMaps() {
  LevelSet set{"Two", {builtInSet().maps[0], {}}};
  set.maps[1].fill("00000000000000000000");
  set.maps[1][4] = "00000000011000000000";
  return set;
}

int countLines(const std::string& text, const std::string& start) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line);) count += line.rfind(start, 0) == 0;
  return count;
}

TEST(SetGames, AGameOnASetIsLaidOutFromItAfterEveryGameOverRecordedReplayedAndKept) {
  std::uint64_t clockSeeds = 500;
  Session session([&] { return ++clockSeeds; });
  std::string replay;
  const auto collect = [&](std::string_view line) { replay += line; };
  sim::Recorder recorder(session, collect, "test", "today");
  session.setInputLog(&recorder);
  session.form().chooseLevels(twoMaps(), 2);
  int cleared = 0, gameOvers = 0;
  session.watchEvents([&](GameEvent event, std::string_view name) {
    cleared += event == GameEvent::Click && name == "nextlevel";
    gameOvers += event == GameEvent::Click && name == "gameover";
  });
  session.open();
  EXPECT_EQ(session.state().nummaps, 2);
  EXPECT_EQ(session.state().mapno, 2);
  EXPECT_EQ(session.state().bricksleft, 2);
  EXPECT_TRUE(session.state().levels[3][1].empty());
  sim::Autoplayer player(session);
  for (int minute = 0; minute < 60 && cleared < 2; ++minute) player.play(60'000);
  ASSERT_GE(cleared, 2) << "map 2, then map 1 again after the wrap";
  // A player who only ever launches the ball loses it three times.
  for (int second = 0; second < 3600 && gameOvers == 0; ++second) {
    session.give(Input::keyDown(kKeyRight));
    session.advanceBy(50);
    session.give(Input::keyUp(kKeyRight));
    session.advanceBy(950);
    for (ButtonId shown : {ButtonId::GameOver, ButtonId::NextLevel}) {
      if (session.form().element(shown).visible()) session.give(Input::click(shown));
    }
  }
  ASSERT_EQ(gameOvers, 1);
  EXPECT_EQ(session.state().nummaps, 2) << "the set outlives \"Game Over\"";
  EXPECT_EQ(session.state().mapno, 2);
  recorder.finish();

  EXPECT_EQ(countLines(replay, "# levels Two"), 1);
  EXPECT_EQ(countLines(replay, "map "), 2);
  EXPECT_EQ(countLines(replay, "startmap 2"), 1);
  EXPECT_LT(replay.find("startmap 2"), replay.find("open"));
  const sim::testing::SimRun run = runSim(replay);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(runSim(replay + "map 3 " + std::string(219, '1') + "\n").status, 2) << "no map after open";

  Result<kept::KeptGame> keptGame = kept::keptFromReplay(replay);
  EXPECT_TRUE(keptGame) << keptGame.error();
  const Result<proof::RecordedGame> sent = proof::readRecordedGame(replay);
  ASSERT_FALSE(sent);
  EXPECT_NE(sent.error().find("level set of its own"), std::string::npos) << sent.error();

  EXPECT_EQ(replayLink(replay).substr(0, 5), "#r=2.");
  EXPECT_EQ(replayOfLink(replayLink(replay)).value(), replay);
  EXPECT_EQ(replayLink("seed 1\nopen\n").substr(0, 5), "#r=1.") << "older readers still read the rest";
}

}  // namespace
}  // namespace tilerush::levels
