// Watching a replay on a front end: checked whole on a headless game first, then
// played on the front end's own session at its recorded pace.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "game/result.h"
#include "game/session.h"
#include "levels/level_set.h"
#include "sim/runner.h"

namespace tilerush::sim {

// An instant of a replay worth a mark on its timeline.
struct Mark {
  enum class Kind { LostBall, LevelCleared, GameOver };
  Kind kind = Kind::LostBall;
  std::int64_t at = 0;  // game milliseconds
  bool operator==(const Mark&) const = default;
};

// What a replay's check finds out besides whether it plays: how long it lasts in game
// time, and its marks in time order.
struct ReplayFacts {
  std::int64_t length = 0;
  std::vector<Mark> marks;
};

// The seed a replay's first game opens with: its last `seed` line before `open`; none
// if it opens unseeded (or never). A replay raced afresh opens on the same draws.
std::optional<std::uint64_t> firstSeed(const std::string& script);
// The level set a replay's game is played on, from its `map` and `startmap` lines
// before `open`; none for the built-in maps (or lines that do not read). A replay raced
// afresh plays on the same set.
std::optional<levels::LevelChoice> firstLevels(const std::string& script);

// Runs a replay through to its end on a headless session of its own, a stretch of
// game time at a time, so that a front end can go on with other work in between.
// A replay whose expectations fail still checks out: watching it says so.
class ReplayCheck {
 public:
  // `longestMs`: game time past which the replay is refused, none for no limit.
  explicit ReplayCheck(std::unique_ptr<std::istream> script, std::optional<std::int64_t> longestMs = {});
  ReplayCheck(const ReplayCheck&) = delete;
  ReplayCheck& operator=(const ReplayCheck&) = delete;
  ~ReplayCheck();

  // Carries the check on by at most `gameMs` of game time; true once it is over.
  bool proceed(std::int64_t gameMs);
  // Once over: empty when the replay plays through, otherwise what is wrong with it
  // ("line N: ..." or "not a replay: ...").
  const std::string& wrong() const { return wrong_; }
  // Once over: the replay's length and marks.
  const ReplayFacts& facts() const { return facts_; }

  // The whole check at once: the replay's facts, or what is wrong with it.
  static Result<ReplayFacts> run(std::unique_ptr<std::istream> script);

 private:
  // Notes the instant of every lost ball, cleared level and "Game Over".
  class MarkMaker : public GameListener {
   public:
    MarkMaker(const Session& session, std::vector<Mark>& marks) : session_(session), marks_(marks) {}
    void happened(Happening what, double before, double after) override;

   private:
    const Session& session_;
    std::vector<Mark>& marks_;
  };

  void fail(std::string what);

  std::unique_ptr<std::istream> script_;
  std::optional<std::int64_t> longestMs_;
  std::ostream discarded_{nullptr};
  Session session_;
  ScriptRunner runner_;
  std::optional<std::int64_t> until_;
  bool over_ = false;
  std::string wrong_;
  ReplayFacts facts_;
  MarkMaker markMaker_{session_, facts_.marks};
  Hook marking_;
};

// A replay carried out on a front end's session; the front end moves its clock on
// to each instant next() returns, at the pace of real time.
class ReplayPace {
 public:
  ReplayPace(Session& session, std::istream& script, std::ostream& dumps);

  // Carries out lines up to the next stretch of game time and returns the instant
  // it ends; none once the replay is over, and verdict() says how it went.
  std::optional<std::int64_t> next();
  // "replay: all N expectations held", or the first line that failed and why.
  const std::string& verdict() const { return verdict_; }
  // 0 once every expectation held, 1 when one did not, 2 for a broken script.
  int status() const { return status_; }

 private:
  ScriptRunner runner_;
  std::string verdict_;
  int status_ = 0;
};

}  // namespace tilerush::sim
