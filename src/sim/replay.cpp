// The headless check of a replay, and its stretches of game time on a front end.
#include "sim/replay.h"

#include <algorithm>
#include <ios>
#include <new>
#include <sstream>

#include "sim/commands.h"
#include "sim/script.h"
#include "sim/values.h"

namespace tilerush::sim {
namespace {

// A script made of text never holds a NUL byte; a file that does is something else.
bool looksBinary(std::istream& script) {
  const std::istream::pos_type start = script.tellg();
  if (start == std::istream::pos_type(-1)) return false;
  char buffer[4096];
  script.read(buffer, sizeof buffer);
  const bool binary = std::find(buffer, buffer + script.gcount(), '\0') != buffer + script.gcount();
  script.clear();
  script.seekg(start);
  return binary;
}

}  // namespace

std::optional<std::uint64_t> firstSeed(const std::string& script) {
  std::istringstream in(script);
  LineReader reader(in);
  std::optional<std::uint64_t> seed;
  try {
    for (std::string line; reader.next(line);) {
      Words words(line);
      const std::string_view command = words.next();
      if (command == "open") break;
      if (command == "seed") seed = parseSeed(words.next());
    }
  } catch (const ScriptError&) {
    return std::nullopt;
  }
  return seed;
}

std::optional<levels::LevelChoice> firstLevels(const std::string& script) {
  std::istringstream in(script);
  LineReader reader(in);
  // The lines are read by the very commands tilerush-sim runs, on a game never opened.
  Session scratch(systemClockSeed);
  std::ostringstream nothing;
  ScriptRun run(scratch, nothing);
  // The title is a comment of the recorder's, "# levels TITLE", kept for the race's own
  // replay; no rule reads it.
  constexpr std::string_view kTitleComment = "# levels ";
  std::string title;
  try {
    for (std::string line; reader.next(line);) {
      if (line.starts_with(kTitleComment)) title = line.substr(kTitleComment.size());
      Words words(line);
      const std::string_view command = words.next();
      if (command == "open") break;
      if (command == "map" || command == "startmap") runLine(run, line, reader.number());
    }
  } catch (const ScriptError&) {
    return std::nullopt;
  }
  std::optional<levels::LevelSet> set = scratch.form().chosenLevels();
  if (!set) return std::nullopt;
  if (!levels::titleFault(title)) set->title = title;
  return levels::LevelChoice{std::move(*set), scratch.form().firstMap()};
}

ReplayCheck::ReplayCheck(std::unique_ptr<std::istream> script, std::optional<std::int64_t> longestMs)
    : script_(std::move(script)),
      longestMs_(longestMs),
      session_(systemClockSeed),
      runner_(session_, *script_, discarded_) {
  marking_ = session_.form().addListener(markMaker_);
  if (looksBinary(*script_)) fail("not a replay: it is not a text file");
}

void ReplayCheck::MarkMaker::happened(Happening what, double, double) {
  const std::int64_t now = session_.now();
  switch (what) {
    case Happening::BallLost:
      return marks_.push_back({Mark::Kind::LostBall, now});
    case Happening::LevelCleared:
      return marks_.push_back({Mark::Kind::LevelCleared, now});
    case Happening::GameOver:
      return marks_.push_back({Mark::Kind::GameOver, now});
    default:
      return;
  }
}

ReplayCheck::~ReplayCheck() = default;

void ReplayCheck::fail(std::string what) {
  over_ = true;
  wrong_ = std::move(what);
}

bool ReplayCheck::proceed(std::int64_t gameMs) {
  const std::int64_t stop = session_.now() + gameMs;
  try {
    while (!over_ && session_.now() < stop) {
      if (!until_ || session_.now() >= *until_) {
        until_ = runner_.step();
        if (!until_) break;
      }
      if (longestMs_ && *until_ > *longestMs_) {
        const std::int64_t hours = *longestMs_ / 3'600'000;
        fail("line " + std::to_string(runner_.line()) + ": longer than " + std::to_string(hours) +
             (hours == 1 ? " hour" : " hours") + " of game time, more than can be watched here");
        break;
      }
      session_.advanceTo(std::min(*until_, stop));
    }
    if (!over_ && !until_) {
      over_ = true;
      facts_.length = session_.now();
      if (!session_.isOpen()) wrong_ = "not a replay: it never opens the window";
    }
  } catch (const ScriptError& e) {
    // A replay whose expectations fail is still worth watching: watching says so.
    over_ = true;
    facts_.length = session_.now();
    if (e.status() != ScriptError::kUnmet) {
      wrong_ = "line " + std::to_string(e.line() > 0 ? e.line() : runner_.line()) + ": " + e.what();
    }
  } catch (const std::bad_alloc&) {
    fail("line " + std::to_string(runner_.line()) + ": out of memory");
  } catch (const std::ios_base::failure&) {
    fail("cannot be read");
  }
  return over_;
}

Result<ReplayFacts> ReplayCheck::run(std::unique_ptr<std::istream> script) {
  ReplayCheck check(std::move(script));
  while (!check.proceed(86'400'000)) {
  }
  if (!check.wrong().empty()) return Result<ReplayFacts>::failure(check.wrong());
  return check.facts();
}

ReplayPace::ReplayPace(Session& session, std::istream& script, std::ostream& dumps)
    : runner_(session, script, dumps) {}

std::optional<std::int64_t> ReplayPace::next() {
  try {
    if (std::optional<std::int64_t> until = runner_.step()) return until;
    verdict_ = "replay: all " + std::to_string(runner_.expectationsHeld()) + " expectations held";
  } catch (const ScriptError& e) {
    status_ = e.status();
    verdict_ = "replay: line " + std::to_string(e.line() > 0 ? e.line() : runner_.line()) + ": " + e.what();
  }
  return std::nullopt;
}

}  // namespace tilerush::sim
