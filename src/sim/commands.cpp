// The script commands: parsing their words and handing them to the session.
#include "sim/commands.h"

#include <array>
#include <string>
#include <vector>

#include "game/form1.h"
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

constexpr std::array<std::string_view, 3> kButtons = {"pause", "nextlevel", "gameover"};

template <typename Name, std::size_t N>
bool oneOf(const std::array<Name, N>& names, std::string_view word) {
  for (std::string_view name : names) {
    if (name == word) return true;
  }
  return false;
}

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
  session.setSeed(value);
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
  InputEvent event;
  event.line = line;
  if (direction == "down") {
    event.kind = InputEvent::Kind::KeyDown;
  } else if (direction == "up") {
    event.kind = InputEvent::Kind::KeyUp;
  } else {
    throw ScriptError("key takes down or up, not " + quoted(direction));
  }
  event.key = keyCode(required(words, "the key"));
  words.expectEnd();
  session.deliver(std::move(event));
}

void click(Session& session, Words& words, int line) {
  requireOpen(session, "click");
  std::string_view button = required(words, "the button");
  if (!oneOf(kButtons, button)) {
    throw ScriptError("unknown button " + quoted(button) + ": use pause, nextlevel or gameover");
  }
  words.expectEnd();
  session.deliver({InputEvent::Kind::Click, line, 0, std::string(button), 1});
}

void advance(Session& session, Words& words) {
  requireOpen(session, "advance");
  std::int64_t ms = parseWhole(required(words, "the time"), 0, kMaxAdvanceMs, "advance (ms)");
  words.expectEnd();
  session.advance(ms);
}

void autoplay(ScriptRun& run, Words& words) {
  requireOpen(run.session, "autoplay");
  std::int64_t ms = parseWhole(required(words, "the time"), 0, kMaxAdvanceMs, "autoplay (ms)");
  words.expectEnd();
  run.player.play(ms);
}

void tick(Session& session, Words& words, int line) {
  requireOpen(session, "tick");
  std::string_view timer = required(words, "the timer");
  if (!oneOf(kTimerNames, timer))
    throw ScriptError("unknown timer " + quoted(timer) + ": use Timer1, Timer2 or Timer3");
  std::int64_t count = 1;
  if (!words.atEnd()) count = parseWhole(words.next(), 1, kMaxTickCount, "the tick count");
  words.expectEnd();
  session.deliver({InputEvent::Kind::Tick, line, 0, std::string(timer), static_cast<int>(count)});
}

// `set NAME VALUE` stores into a field, `set ELEMENT.PROP VALUE` goes through the
// display layer; fields may be set before the window opens, elements may not.
void set(Session& session, Words& words) {
  std::string_view target = required(words, "the field or element");
  std::string_view value = words.rest();
  std::size_t dot = target.find('.');
  if (dot == std::string_view::npos) return setField(session.state(), target, value);
  requireOpen(session, "set of an element");
  Element& element = findElement(session.display(), target.substr(0, dot));
  setElementProperty(element, target.substr(dot + 1), value);
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

void runLine(ScriptRun& run, std::string_view line, int number, std::ostream& out) {
  Session& session = run.session;
  Words words(line);
  if (words.atEnd()) return;
  std::string_view command = words.next();
  if (command == "seed") return seed(session, words);
  if (command == "draws") return draws(session, words);
  if (command == "open") return open(session, words);
  if (command == "key") return key(session, words, number);
  if (command == "click") return click(session, words, number);
  if (command == "advance") return advance(session, words);
  if (command == "autoplay") return autoplay(run, words);
  if (command == "tick") return tick(session, words, number);
  if (command == "set") return set(session, words);
  if (command == "dump") return dump(session, words, out);
  throw ScriptError("unknown command " + quoted(command));
}

}  // namespace tilerush::sim
