// Checking a game: read in its plain form, then played through as tilerush-sim would.
#include "proof/check.h"

#include <optional>
#include <sstream>

#include "game/form1.h"
#include "game/ids.h"
#include "game/session.h"
#include "links/replay_link.h"
#include "proof/recorded_game.h"
#include "proof/sha256.h"
#include "sim/commands.h"
#include "sim/recorder.h"
#include "sim/runner.h"
#include "sim/script.h"
#include "sim/values.h"

namespace tilerush::proof {
namespace {

// A link is one line (a pasted one may come with blanks or a line end around it); a
// replay is many, and its first is a comment or a command.
std::optional<std::string_view> linkIn(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return std::nullopt;
  text = text.substr(start, text.find_last_not_of(" \t\r\n") + 1 - start);
  if (text.find('\n') != std::string_view::npos || !looksLikeReplayLink(text)) return std::nullopt;
  return text;
}

// Plays the inputs and checks the expectations as tilerush-sim would, from the steps
// the reader made; what goes wrong is said with the sender's line.
Result<Done> play(Session& session, const RecordedGame& recorded) {
  std::ostringstream dumps;
  sim::ScriptRun run(session, dumps);
  int line = 0;
  // A click held through the lost-ball pause finds its button gone: the replay asked
  // for something that could not be done.
  session.onHiddenClick([](const Input& click) {
    throw sim::ScriptError("cannot click " + std::string(nameOf(click.button)) + ": the button is hidden",
                           click.line);
  });
  try {
    for (const PlainStep& step : recorded.steps) {
      line = step.source;
      switch (step.kind) {
        case PlainStep::Kind::Advance:
          session.advanceTo(session.now() + step.ms);
          break;
        case PlainStep::Kind::Give:
          session.give(step.input);
          break;
        case PlainStep::Kind::Line:
          sim::runLine(run, std::string_view(recorded.plainInputs).substr(step.at, step.length), line);
          break;
      }
    }
    for (const PlainLine& expectation : recorded.expectations) {
      line = expectation.source;
      sim::runLine(run, expectation.text, line);
    }
  } catch (const sim::ScriptError& e) {
    return Result<Done>::failure("line " + std::to_string(e.line() > 0 ? e.line() : line) + ": " + e.what());
  }
  return Done{};
}

Result<ProvenGame> proveRecorded(const RecordedGame& recorded) {
  Session session(sim::systemClockSeed);
  if (Result<Done> played = play(session, recorded); !played)
    return Result<ProvenGame>::failure(played.error());
  const bool gameOver = session.form().element(ButtonId::GameOver).visible();
  if (recorded.gameOverClick != 0 && !gameOver) {
    return Result<ProvenGame>::failure("line " + std::to_string(recorded.gameOverClick) +
                                       ": 'Game Over' is clicked while it is hidden");
  }
  const GameState& s = session.state();
  ProvenGame game;
  game.seed = recorded.seed;
  game.score = static_cast<std::int64_t>(s.points);
  game.level = static_cast<int>(s.levelno);
  game.bricksLeft = static_cast<int>(s.bricksleft);
  game.timeMs = session.now();
  game.endedAtGameOver = gameOver;
  game.replay = "# Tilerush replay\n" + recorded.plainInputs + sim::expectationLines(session);
  game.identity = sha256Hex(recorded.plainInputs);
  return game;
}

}  // namespace

Result<ProvenGame> proveGame(std::string_view replayOrLink) {
  std::string linked;
  if (const std::optional<std::string_view> link = linkIn(replayOrLink)) {
    Result<std::string> read = replayOfLink(*link);
    if (!read) return Result<ProvenGame>::failure(read.error());
    linked = std::move(read).value();
    replayOrLink = linked;
  }
  if (replayOrLink.size() > kLongestReplayBytes)
    return Result<ProvenGame>::failure("the replay is larger than " + mebibytes(kLongestReplayBytes));
  Result<RecordedGame> recorded = readRecordedGame(replayOrLink);
  if (!recorded) return Result<ProvenGame>::failure(recorded.error());
  return proveRecorded(recorded.value());
}

}  // namespace tilerush::proof
