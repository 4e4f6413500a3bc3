// The lines of a replay: a header, the seed, timed input and the final expectations.
#include "sim/recorder.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "levels/level_set.h"
#include "sim/elements.h"
#include "sim/fields.h"

namespace tilerush::sim {
namespace {

// The longest `advance` a script takes.
constexpr std::int64_t kLongestAdvanceMs = 86'400'000;

// What a replay's end checks: the score, the lives, where play stands, and where
// the ball and paddle are, to the last bit.
constexpr std::array<std::string_view, 15> kExpectedFields = {
    "points", "bonuspoints", "toppoints", "lives",   "levelno",   "mapno",    "bricksleft", "brickcount",
    "xspeed", "yspeed",      "xfactor",   "yfactor", "paddledir", "lastcell", "roll"};
constexpr std::array<std::string_view, 3> kExpectedProperties = {"paddle.left", "ball.left", "ball.top"};

std::string inputLine(const Input& input) {
  switch (input.kind) {
    case Input::Kind::KeyDown:
      return "key down " + std::to_string(input.key) + "\n";
    case Input::Kind::KeyUp:
      return "key up " + std::to_string(input.key) + "\n";
    case Input::Kind::Click:
      return "click " + std::string(nameOf(input.button)) + "\n";
    case Input::Kind::Tick:
      break;
  }
  return "tick " + std::string(nameOf(input.timer)) + " " + std::to_string(input.count) + "\n";
}

// The set a game is played on, when it is not the built-in five: its title as a
// comment, each map as one line, and the map the first level starts from.
std::string levelLines(const Form1& form) {
  const std::optional<levels::LevelSet>& set = form.chosenLevels();
  if (!set) return {};
  std::string lines;
  // A title with a line break in it would end the comment early: it is left out.
  if (!levels::titleFault(set->title)) lines += "# levels " + set->title + "\n";
  for (std::size_t map = 0; map < set->maps.size(); ++map) {
    lines += "map " + std::to_string(map + 1);
    for (const std::string& row : set->maps[map]) lines += " " + row;
    lines += "\n";
  }
  return lines + "startmap " + std::to_string(form.firstMap()) + "\n";
}

}  // namespace

Recorder::Recorder(Session& session, LineSink sink, std::string_view version, std::string_view date)
    : session_(session), sink_(std::move(sink)) {
  write("# Tilerush replay\n");
  write("# Tilerush " + std::string(version) + ", recorded " + std::string(date) + "\n");
  write("# Watch it with `tilerush FILE`, check it with `tilerush-sim FILE`.\n");
}

void Recorder::write(const std::string& line) { sink_(line); }

std::string Recorder::advanceLines(std::int64_t to) const {
  std::string lines;
  for (std::int64_t at = writtenTime_; at < to;) {
    const std::int64_t step = std::min(to - at, kLongestAdvanceMs);
    lines += "advance " + std::to_string(step) + "\n";
    at += step;
  }
  return lines;
}

// A game opened after others in the same run of the program starts with their High,
// their last cell tested and their last roll: the replay names them, so that the game
// replays alone.
void Recorder::opening(std::uint64_t seed) {
  std::string lines;
  if (const std::int32_t high = session_.state().toppoints; high > 0)
    lines += "high " + std::to_string(high) + "\n";
  // And the cell its ball last tested, which the new game's first hit there skips.
  if (const double cell = session_.state().lastcell; cell > 0 && cell == std::floor(cell))
    lines += "lastcell " + std::to_string(static_cast<std::int64_t>(cell)) + "\n";
  // And the special brick's last roll, which a game ended before it rolls still shows.
  if (const std::int16_t roll = session_.state().roll; roll != 0)
    lines += "roll " + std::to_string(roll) + "\n";
  if (!mark_.empty()) lines += mark_ + "\n";
  lines += levelLines(session_.form());
  lines += "seed " + std::to_string(seed) + "\n";
  lines += "open\n";
  write(lines);
  writtenSeed_ = seed;
  writtenTime_ = session_.now();
}

// "Game Over" starts a new game with a seed of its own: the replay names it first.
void Recorder::giving(const Input& input) {
  seedOfClick_.reset();
  if (input.kind == Input::Kind::Click && input.button == ButtonId::GameOver)
    seedOfClick_ = session_.upcomingSeed();
}

void Recorder::given(const Input& input, bool held, bool changedGame) {
  if (!held && !changedGame) return;
  std::string lines = advanceLines(session_.now());
  if (seedOfClick_ && seedOfClick_ != writtenSeed_) {
    lines += "seed " + std::to_string(*seedOfClick_) + "\n";
    writtenSeed_ = seedOfClick_;
  }
  lines += inputLine(input);
  writtenTime_ = session_.now();
  write(lines);
}

std::string expectationLines(const Session& session) {
  std::string lines;
  for (std::string_view field : kExpectedFields) {
    lines += "expect " + std::string(field) + " " + fieldText(session.state(), field) + "\n";
  }
  for (std::string_view target : kExpectedProperties) {
    const std::size_t dot = target.find('.');
    const Element& element = *session.display().find(target.substr(0, dot));
    lines += "expect " + std::string(target) + " " + propertyText(element, target.substr(dot + 1)) + "\n";
  }
  return lines;
}

std::string Recorder::closing() const { return advanceLines(session_.now()) + expectationLines(session_); }

void Recorder::finish() {
  write(closing());
  writtenTime_ = session_.now();
}

}  // namespace tilerush::sim
