// The board's check: a recorded game is taken with the score the core finds, in one
// plain form whatever its comments; anything that is not one recorded game is refused.
#include <gtest/gtest.h>

#include <sstream>

#include "board_games.h"
#include "links/replay_link.h"
#include "proof/check.h"
#include "proof/sha256.h"
#include "sim/runner.h"

namespace tilerush::testing {
namespace {

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(Proof, ARecordedGameIsTakenWithTheCoresScoreInOnePlainForm) {
  Session played([] { return 1; });
  const std::string replay = autoplayedGame(played, 42, 300'000);
  const Result<proof::ProvenGame> game = proof::proveGame(replay);
  ASSERT_TRUE(game.ok()) << game.error();
  EXPECT_EQ(game.value().seed, 42u);
  EXPECT_EQ(game.value().score, static_cast<std::int64_t>(played.state().points));
  EXPECT_GT(game.value().score, 0);
  EXPECT_EQ(game.value().level, static_cast<int>(played.state().levelno));
  EXPECT_EQ(game.value().timeMs, played.now());
  EXPECT_EQ(game.value().endedAtGameOver, played.form().element(ButtonId::GameOver).visible());

  // The board's replay has no comment of the sender's and holds in tilerush-sim.
  EXPECT_EQ(game.value().replay.find("recorded"), std::string::npos);
  std::istringstream script(game.value().replay);
  std::ostringstream out, err;
  EXPECT_EQ(sim::runScript(script, out, err), 0) << err.str();

  // Other comments, a run of time split in two, a key by its name, CRLF, or the same
  // game as a link: one game, one identity.
  const std::string restyled =
      replaced(replaced("# sent from elsewhere\r\n" + replay, "key down 39", "key down right"), "advance ",
               "advance 0\nadvance ");
  for (const std::string& same :
       {restyled, replayLink(replay).substr(1), " https://x.org/" + replayLink(replay) + "\n"}) {
    const Result<proof::ProvenGame> again = proof::proveGame(same);
    ASSERT_TRUE(again.ok()) << again.error();
    EXPECT_EQ(again.value().identity, game.value().identity);
    EXPECT_EQ(again.value().replay, game.value().replay);
  }
  // A different game is a different entry.
  EXPECT_NE(proof::proveGame(autoplayedGame(43, 60'000)).value().identity, game.value().identity);
}

// What the stage writes of a game after another in the same run, and of a day's
// challenge: the High and last cell it inherits, and its kind, before its seed.
TEST(Proof, AGameThatInheritsAHighIsTakenAndIsAnotherEntryThanWithout) {
  const std::string inherited =
      "# Tilerush replay\nhigh 99990\nlastcell 487\nroll 3\n# challenge 2026-12-10\nseed 9\nopen\n"
      "advance 2000\nkey down 39\nadvance 30\nkey up 39\nadvance 5000\nexpect toppoints 99990\n";
  const Result<proof::ProvenGame> game = proof::proveGame(inherited);
  ASSERT_TRUE(game.ok()) << game.error();
  EXPECT_NE(game.value().replay.find("high 99990\nlastcell 487\nroll 3\nseed 9\nopen\n"), std::string::npos);
  std::string plain = inherited;
  plain.erase(plain.find("high"), plain.find("# challenge") - plain.find("high"));
  plain.erase(plain.find("expect"));
  EXPECT_NE(proof::proveGame(plain).value().identity, game.value().identity);
}

TEST(Proof, AnythingButOneRecordedGameIsRefusedInOneSentence) {
  const std::string replay = autoplayedGame(7, 60'000);
  const std::string huge = "seed 1\nopen\n" + std::string(17 << 20, '#');
  std::string day = "seed 1\nopen\n";
  for (int i = 0; i < 25; ++i) day += "advance 3600000\n";
  // Comments, a blank line and a run of advances put the plain form's lines out of step
  // with the sender's: a failure in play still names the sender's line.
  const std::string shifted =
      "# a\n# b\nseed 5\n\nopen\nadvance 100\n# c\nadvance 100\nkey down 39\nadvance 50\n"
      "expect points 99999\n";
  const std::pair<std::string, std::string> refused[] = {
      {replaced(replay, "open\n", "open\nset lives 9\n"), "'set' is not a line a recorded game has"},
      {replaced(replay, "open\n", "open\ndraws 0.5\n"), "'draws' is not a line a recorded game has"},
      {replaced(replay, "open\n", "open\ntick Timer1 100\n"), "'tick' is not a line a recorded game has"},
      {replaced(replay, "open\n", "open\nautoplay 60000\n"), "'autoplay' is not a line a recorded game has"},
      {replaced(replay, "seed 7\n", ""), "'open' without a 'seed' before it"},
      {replaced(replay, "seed 7\n", "seed 7\nseed 8\n"), "a second 'seed' before 'open'"},
      {replaced(replay, "expect points ", "expect points 1"), "expected points 1"},
      {replay + "key down 39\n", "input after the closing expectations"},
      {shifted, "line 11: expected points 99999"},
      {"seed 1\nopen\nadvance 10\nclick gameover\nadvance 10\n", "a second game follows"},
      {"seed 1\nopen\nadvance 10\nseed 2\nclick gameover\n", "a second game's 'seed'"},
      {day, "the game lasts longer than 24 hours"},
      {huge, "the replay is larger than 16 MiB"},
      {"r=1.eJzLSM3JyVcozy_KSeECAB5yBGc", "line 1: 'hello' is not a line a recorded game has"},
      {"r=1.eJw", "the link is cut short"},
  };
  for (const auto& [text, why] : refused) {
    const Result<proof::ProvenGame> game = proof::proveGame(text);
    ASSERT_FALSE(game.ok()) << why;
    EXPECT_NE(game.error().find(why), std::string::npos) << game.error();
    EXPECT_EQ(game.error().find('\n'), std::string::npos) << game.error();
  }
}

TEST(Proof, Sha256MatchesTheStandardsExamples) {
  EXPECT_EQ(proof::sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(proof::sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(proof::sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

}  // namespace
}  // namespace tilerush::testing
