// A kept game derived from its replay, by playing it through.
#include "kept/kept_game.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>

#include "sim/runner.h"
#include "sim/script.h"
#include "sim/values.h"

namespace tilerush::kept {
namespace {

// The front ends hold a replay to this much as well.
constexpr std::size_t kLongestReplay = 16u << 20;

// What a recorded replay is made of; anything else could set the score it claims.
constexpr std::array<std::string_view, 12> kReplayCommands = {
    "high", "lastcell", "roll", "map", "startmap", "seed", "open", "advance", "key", "click", "expect", ""};

struct Comments {
  std::string date;
  GameKind kind = GameKind::Plain;
  std::optional<Day> day;
};

// What the replay says of itself, from its lines before `open`; and whether it is
// made of a replay's commands alone and seeds its game.
Result<Comments> readComments(std::string_view replay) {
  Comments found;
  bool opened = false;
  bool seeded = false;
  std::istringstream in{std::string(replay)};
  sim::LineReader lines(in);
  try {
    for (std::string line; lines.next(line);) {
      const std::string_view text = line;
      if (!opened && text.starts_with("# challenge ")) {
        found.day = parseDay(text.substr(12));
        if (!found.day) return Result<Comments>::failure("its challenge day is not a date: " + line);
        found.kind = GameKind::Challenge;
      } else if (!opened && text == "# race") {
        found.kind = GameKind::Race;
      } else if (const std::size_t at = text.find(", recorded ");
                 !opened && text.starts_with("# Tilerush ") && at != std::string_view::npos) {
        // The list file separates its fields by blanks: a date holding one is not kept.
        const std::string_view date = text.substr(at + 11);
        if (date.find_first_of(" \t") == std::string_view::npos) found.date = std::string(date);
      }
      sim::Words words(text);
      const std::string_view command = words.next();
      if (std::find(kReplayCommands.begin(), kReplayCommands.end(), command) == kReplayCommands.end())
        return Result<Comments>::failure("line " + std::to_string(lines.number()) +
                                         " is no replay's: " + std::string(command));
      seeded = seeded || (command == "seed" && !opened);
      opened = opened || command == "open";
    }
  } catch (const sim::ScriptError& e) {
    return Result<Comments>::failure(e.what());
  }
  if (!seeded) return Result<Comments>::failure("it names no seed before 'open', so it proves no game");
  return found;
}

}  // namespace

std::string replayId(std::string_view replay) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  for (unsigned char c : replay) hash = (hash ^ c) * 0x100000001b3u;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string KeptGame::id() const { return replayId(replay); }

Result<KeptGame> keptFromReplay(std::string_view replay) {
  auto refused = [](const std::string& why) {
    return Result<KeptGame>::failure("not a game to keep: " + why);
  };
  if (replay.size() > kLongestReplay) return refused("the replay is longer than 16 MiB");
  Result<Comments> comments = readComments(replay);
  if (!comments) return refused(comments.error());
  Session session(sim::systemClockSeed);
  std::istringstream script{std::string(replay)};
  std::ostringstream dumps;
  sim::ScriptRunner runner(session, script, dumps);
  try {
    while (std::optional<std::int64_t> until = runner.step()) session.advanceTo(*until);
  } catch (const sim::ScriptError& e) {
    return refused("line " + std::to_string(e.line() > 0 ? e.line() : runner.line()) + ": " + e.what());
  }
  if (!session.isOpen()) return refused("the replay never opens the game");
  const GameState& s = session.state();
  KeptGame game;
  game.score = static_cast<std::int64_t>(s.points);
  game.level = static_cast<int>(s.levelno);
  game.bricksLeft = static_cast<int>(s.bricksleft);
  game.timeMs = session.now();
  game.date = comments.value().date;
  game.kind = comments.value().kind;
  game.day = comments.value().day;
  game.replay = std::string(replay);
  return game;
}

}  // namespace tilerush::kept
