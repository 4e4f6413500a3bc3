// The script commands: parsing their words and handing them to the session.
#include "sim/commands.h"

#include <array>
#include <string>
#include <vector>

#include "game/form1.h"
#include "game/form_probe.h"
#include "game/ids.h"
#include "levels/level_set.h"
#include "sim/dump.h"
#include "sim/elements.h"
#include "sim/fields.h"
#include "sim/script.h"
#include "sim/values.h"

namespace tilerush::sim {
namespace {

constexpr std::int64_t kMaxAdvanceMs = 86'400'000;
constexpr std::int64_t kMaxTickCount = 1'000'000;
constexpr std::int64_t kMaxKeyCode = 65535;
// The High is kept in a 32-bit field.
constexpr std::int64_t kMaxHigh = 2'147'483'647;
// Cells are numbered within the grid's few thousand; anything far past is no cell.
constexpr std::int64_t kMaxLastCell = 1'000'000;
// A roll is a draw below 10 at most.
constexpr std::int64_t kMaxRoll = 9;

void requireOpen(const Session& session, std::string_view command) {
  if (!session.isOpen()) throw ScriptError(std::string(command) + " needs the window: give 'open' first");
}

std::string_view required(Words& words, std::string_view what) {
  std::string_view word = words.next();
  if (word.empty()) throw ScriptError(std::string(what) + " is missing");
  return word;
}

void seed(Session& session, Words& words) {
  std::uint64_t value = parseSeed(required(words, "the seed"));
  words.expectEnd();
  session.fixSeed(value);
}

// The High a game starts with, inherited from the games before it in the same run of
// the program: a replay of one game cut from such a run names it before `open`.
void high(Session& session, Words& words) {
  const std::int64_t value = parseWhole(required(words, "the High"), 0, kMaxHigh, "high");
  words.expectEnd();
  if (session.isOpen()) throw ScriptError("high must come before 'open'");
  FormProbe(session.form()).state().toppoints = static_cast<std::int32_t>(value);
}

// The cell the games before it last tested, which start-up leaves as it was: the first
// hit of the new game skips a brick in that cell, so a replay of it names the cell.
void lastcell(Session& session, Words& words) {
  const std::int64_t value = parseWhole(required(words, "the cell"), 0, kMaxLastCell, "lastcell");
  words.expectEnd();
  if (session.isOpen()) throw ScriptError("lastcell must come before 'open'");
  FormProbe(session.form()).state().lastcell = static_cast<double>(value);
}

// The special brick's last roll in the games before, which start-up leaves as it was
// too: no rule reads it before it is drawn again, but a replay that ends first still
// expects it.
void roll(Session& session, Words& words) {
  const std::int64_t value = parseWhole(required(words, "the roll"), 0, kMaxRoll, "roll");
  words.expectEnd();
  if (session.isOpen()) throw ScriptError("roll must come before 'open'");
  FormProbe(session.form()).state().roll = static_cast<std::int16_t>(value);
}

// `map N R1 ... R10`: map N of the level set the game is played on, given in order from
// 1; every start-up lays the set out instead of the built-in five maps.
void map(Session& session, Words& words) {
  if (session.isOpen()) throw ScriptError("map must come before 'open'");
  std::optional<levels::LevelSet> set = session.form().chosenLevels();
  if (!set) set.emplace();
  const int next = static_cast<int>(set->maps.size()) + 1;
  const std::int64_t number = parseWhole(required(words, "the map's number"), 1, levels::kMostMaps, "map");
  if (number != next)
    throw ScriptError("map " + std::to_string(number) + " comes where map " + std::to_string(next) +
                      " should: maps are numbered from 1, in order");
  levels::Map rows;
  for (int row = 1; row <= levels::kMapRows; ++row) {
    const std::string_view text =
        required(words, "row " + std::to_string(row) + " of map " + std::to_string(next));
    if (std::optional<std::string> fault = levels::rowFault(text))
      throw ScriptError("map " + std::to_string(next) + ", row " + std::to_string(row) + ": " + *fault);
    rows[row - 1] = std::string(text);
  }
  words.expectEnd();
  if (!levels::hasBrick(rows))
    throw ScriptError("map " + std::to_string(next) + ": no brick in it: a map needs at least one");
  set->maps.push_back(rows);
  const int first = session.form().firstMap();
  session.form().chooseLevels(std::move(set), first);
}

// `startmap N`: the map of the set the first level is laid out from (1 unless given),
// as when a player tries out the map they are making.
void startmap(Session& session, Words& words) {
  if (session.isOpen()) throw ScriptError("startmap must come before 'open'");
  const std::optional<levels::LevelSet>& set = session.form().chosenLevels();
  if (!set) throw ScriptError("startmap needs the set's maps before it");
  const auto count = static_cast<std::int64_t>(set->maps.size());
  const std::int64_t number = parseWhole(required(words, "the map's number"), 1, count, "startmap");
  words.expectEnd();
  session.form().chooseLevels(set, static_cast<int>(number));
}

void draws(Session& session, Words& words) {
  std::vector<float> values;
  while (!words.atEnd()) values.push_back(parseDraw(words.next()));
  if (values.empty()) throw ScriptError("draws needs at least one value");
  session.queueDraws(values);
}

void open(Session& session, Words& words) {
  words.expectEnd();
  if (session.isOpen()) throw ScriptError("the window is already open");
  session.open();
}

int keyCode(std::string_view word) {
  if (word == "left") return kKeyLeft;
  if (word == "right") return kKeyRight;
  if (word == "p") return kKeyP;
  return static_cast<int>(parseWhole(word, 0, kMaxKeyCode, "a key (or left, right, p)"));
}

void key(Session& session, Words& words, int line) {
  requireOpen(session, "key");
  std::string_view direction = required(words, "down or up");
  if (direction != "down" && direction != "up")
    throw ScriptError("key takes down or up, not " + quoted(direction));
  const int code = keyCode(required(words, "the key"));
  words.expectEnd();
  Input input = direction == "down" ? Input::keyDown(code) : Input::keyUp(code);
  input.line = line;
  session.give(input);
}

void click(Session& session, Words& words, int line) {
  requireOpen(session, "click");
  std::string_view name = required(words, "the button");
  std::optional<ButtonId> button = buttonNamed(name);
  if (!button) throw ScriptError("unknown button " + quoted(name) + ": use pause, nextlevel or gameover");
  words.expectEnd();
  Input input = Input::click(*button);
  input.line = line;
  session.give(input);
}

std::int64_t advance(Session& session, Words& words) {
  requireOpen(session, "advance");
  std::int64_t ms = parseWhole(required(words, "the time"), 0, kMaxAdvanceMs, "advance (ms)");
  words.expectEnd();
  return session.now() + ms;
}

void autoplay(ScriptRun& run, Words& words) {
  requireOpen(run.session, "autoplay");
  std::int64_t ms = parseWhole(required(words, "the time"), 0, kMaxAdvanceMs, "autoplay (ms)");
  words.expectEnd();
  run.autoplayUntil = run.session.now() + ms;
}

void tick(Session& session, Words& words, int line) {
  requireOpen(session, "tick");
  std::string_view name = required(words, "the timer");
  std::optional<TimerId> timer = timerNamed(name);
  if (!timer) throw ScriptError("unknown timer " + quoted(name) + ": use Timer1, Timer2 or Timer3");
  std::int64_t count = 1;
  if (!words.atEnd()) count = parseWhole(words.next(), 1, kMaxTickCount, "the tick count");
  words.expectEnd();
  Input input{Input::Kind::Tick};
  input.timer = *timer;
  input.count = static_cast<int>(count);
  input.line = line;
  session.give(input);
}

// `set NAME VALUE` stores into a field, `set ELEMENT.PROP VALUE` goes through the
// display layer; fields may be set before the window opens, elements may not.
void set(Session& session, Words& words) {
  std::string_view target = required(words, "the field or element");
  std::string_view value = words.rest();
  std::size_t dot = target.find('.');
  if (dot == std::string_view::npos) return setField(FormProbe(session.form()).state(), target, value);
  requireOpen(session, "set of an element");
  Element& element = findElement(session.display(), target.substr(0, dot));
  setElementProperty(element, target.substr(dot + 1), value);
}

// `expect NAME VALUE` holds when NAME holds what `set NAME VALUE` would store.
void expect(ScriptRun& run, Words& words) {
  Session& session = run.session;
  std::string_view target = required(words, "the field or element");
  std::string_view value = words.rest();
  std::size_t dot = target.find('.');
  std::optional<std::string> found;
  if (dot == std::string_view::npos) {
    found = mismatchOfField(session.state(), target, value);
  } else {
    requireOpen(session, "expect of an element");
    found = mismatchOfProperty(findElement(session.display(), target.substr(0, dot)), target.substr(dot + 1),
                               value);
  }
  if (found) {
    throw ScriptError("expected " + std::string(target) + " " + std::string(value) + ", found " + *found, 0,
                      ScriptError::kUnmet);
  }
  ++run.expectationsHeld;
}

void dump(Session& session, Words& words, std::ostream& out) {
  requireOpen(session, "dump");
  std::vector<std::string_view> names;
  while (!words.atEnd()) names.push_back(words.next());
  out << dumpJson(session, names);
  // Whoever reads the other end of a pipe gets each state as soon as it is asked for.
  out.flush();
}

}  // namespace

std::optional<std::int64_t> runLine(ScriptRun& run, std::string_view line, int number) {
  Session& session = run.session;
  Words words(line);
  if (words.atEnd()) return std::nullopt;
  std::string_view command = words.next();
  if (command == "advance") return advance(session, words);
  if (command == "seed")
    seed(session, words);
  else if (command == "high")
    high(session, words);
  else if (command == "lastcell")
    lastcell(session, words);
  else if (command == "roll")
    roll(session, words);
  else if (command == "map")
    map(session, words);
  else if (command == "startmap")
    startmap(session, words);
  else if (command == "draws")
    draws(session, words);
  else if (command == "open")
    open(session, words);
  else if (command == "key")
    key(session, words, number);
  else if (command == "click")
    click(session, words, number);
  else if (command == "autoplay")
    autoplay(run, words);
  else if (command == "tick")
    tick(session, words, number);
  else if (command == "set")
    set(session, words);
  else if (command == "dump")
    dump(session, words, run.out);
  else if (command == "expect")
    expect(run, words);
  else
    throw ScriptError("unknown command " + quoted(command));
  return std::nullopt;
}

}  // namespace tilerush::sim
