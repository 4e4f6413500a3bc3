// Reading a recorded game, a line at a time, into its plain form.
#include "proof/recorded_game.h"

#include <algorithm>
#include <charconv>

#include "game/ids.h"
#include "game/keys.h"
#include "sim/script.h"
#include "sim/values.h"

namespace tilerush::proof {
namespace {

// The longest `advance` the runner takes; a longer run of time is written as several.
constexpr std::int64_t kLongestAdvanceMs = 86'400'000;

std::string sentence(int line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

class Reader {
 public:
  // Room for the plain form of a text of `bytes`: no longer than the text but for an
  // advance split at a day, and a line for every dozen bytes or so (a recorder's
  // lines); a text of comments alone does not reserve more than a few megabytes.
  explicit Reader(std::size_t bytes) {
    game_.plainInputs.reserve(bytes + 64);
    game_.steps.reserve(std::min<std::size_t>(bytes / 12, 1 << 17) + 8);
  }
  // Takes one line; throws sim::ScriptError for a line no recorded game has.
  void take(std::string_view line, int number);
  Result<RecordedGame> finish();

 private:
  void beforeOpen(std::string_view command, sim::Words& words, int number);
  void afterOpen(std::string_view command, sim::Words& words, int number);
  void flushAdvance(int number);
  // Writes a line of the plain form; the words are written one after another, blank
  // between, and a number as the runner reads it.
  void write(std::string_view word) { game_.plainInputs += word; }
  void write(std::int64_t value);
  void endLine() { game_.plainInputs += '\n'; }
  // A line the check carries out as its text: it begins at `at` in the plain inputs.
  void addLine(std::size_t at, int number);
  void addGive(Input input, int number);

  RecordedGame game_;
  bool seeded_ = false, opened_ = false, high_ = false, lastcell_ = false, roll_ = false, expecting_ = false;
  std::int64_t pendingMs_ = 0;
  int pendingLine_ = 0;
};

int keyCode(std::string_view word) {
  if (word == "left") return kKeyLeft;
  if (word == "right") return kKeyRight;
  if (word == "p") return kKeyP;
  return static_cast<int>(sim::parseWhole(word, 0, 65535, "a key (or left, right, p)"));
}

void Reader::take(std::string_view line, int number) {
  sim::Words words(line);
  if (words.atEnd()) return;
  const std::string_view command = words.next();
  if (game_.gameOverClick != 0)
    throw sim::ScriptError("a second game follows the click on 'Game Over': send one game at a time");
  if (opened_)
    afterOpen(command, words, number);
  else
    beforeOpen(command, words, number);
}

void Reader::beforeOpen(std::string_view command, sim::Words& words, int number) {
  bool* once = command == "high"       ? &high_
               : command == "lastcell" ? &lastcell_
               : command == "roll"     ? &roll_
               : command == "seed"     ? &seeded_
                                       : nullptr;
  if (once != nullptr) {
    if (*once) throw sim::ScriptError("a second '" + std::string(command) + "' before 'open'");
    *once = true;
    const std::string_view value = words.next();
    words.expectEnd();
    const std::size_t at = game_.plainInputs.size();
    write(command);
    write(" ");
    if (command == "seed") {
      game_.seed = sim::parseSeed(value);
      game_.plainInputs += std::to_string(game_.seed);
    } else {
      write(sim::parseWhole(value, 0, INT64_MAX, command));
    }
    addLine(at, number);
  } else if (command == "open") {
    words.expectEnd();
    if (!seeded_) throw sim::ScriptError("'open' without a 'seed' before it, so it proves no game");
    opened_ = true;
    const std::size_t at = game_.plainInputs.size();
    write("open");
    addLine(at, number);
  } else if (command == "map" || command == "startmap") {
    // The board ranks games on the game's own five maps alone.
    throw sim::ScriptError(
        "the game is played on a level set of its own, and the board ranks only games on Tilerush's own "
        "maps");
  } else if (command == "advance" || command == "key" || command == "click" || command == "expect") {
    throw sim::ScriptError("'" + std::string(command) + "' before 'open'");
  } else {
    throw sim::ScriptError(sim::quoted(command) + " is not a line a recorded game has");
  }
}

void Reader::afterOpen(std::string_view command, sim::Words& words, int number) {
  if (command == "expect") {
    flushAdvance(number);
    expecting_ = true;
    const std::string_view name = words.next();
    game_.expectations.push_back({"expect " + std::string(name) + " " + std::string(words.rest()), number});
    return;
  }
  if (command == "seed" || command == "open")
    throw sim::ScriptError("a second game's '" + std::string(command) + "': send one game at a time");
  if (command != "advance" && command != "key" && command != "click")
    throw sim::ScriptError(sim::quoted(command) + " is not a line a recorded game has");
  if (expecting_) throw sim::ScriptError("input after the closing expectations");
  if (command == "advance") {
    const std::int64_t ms = sim::parseWhole(words.next(), 0, kLongestAdvanceMs, "advance (ms)");
    words.expectEnd();
    game_.gameTimeMs += ms;
    if (game_.gameTimeMs > kLongestGameMs) throw sim::ScriptError("the game lasts longer than 24 hours");
    if (pendingMs_ == 0) pendingLine_ = number;
    pendingMs_ += ms;
    return;
  }
  flushAdvance(number);
  if (command == "key") {
    const std::string_view direction = words.next();
    if (direction != "down" && direction != "up")
      throw sim::ScriptError("key takes down or up, not " + sim::quoted(direction));
    const int code = keyCode(words.next());
    words.expectEnd();
    write("key ");
    write(direction);
    write(" ");
    write(code);
    addGive(direction == "down" ? Input::keyDown(code) : Input::keyUp(code), number);
    return;
  }
  const std::string_view name = words.next();
  const std::optional<ButtonId> button = buttonNamed(name);
  if (!button)
    throw sim::ScriptError("unknown button " + sim::quoted(name) + ": use pause, nextlevel or gameover");
  words.expectEnd();
  if (*button == ButtonId::GameOver) {
    game_.gameOverClick = number;
  } else {
    write("click ");
    write(name);
    addGive(Input::click(*button), number);
  }
}

void Reader::write(std::int64_t value) {
  char digits[24];
  const auto [end, error] = std::to_chars(std::begin(digits), std::end(digits), value);
  game_.plainInputs.append(digits, end);
}

void Reader::addLine(std::size_t at, int number) {
  PlainStep step;
  step.source = number;
  step.at = static_cast<std::uint32_t>(at);
  step.length = static_cast<std::uint32_t>(game_.plainInputs.size() - at);
  endLine();
  game_.steps.push_back(step);
}

void Reader::addGive(Input input, int number) {
  endLine();
  input.line = number;
  PlainStep step;
  step.kind = PlainStep::Kind::Give;
  step.source = number;
  step.input = input;
  game_.steps.push_back(step);
}

// A run of advances is one stretch of game time with nothing given in it.
void Reader::flushAdvance(int number) {
  for (; pendingMs_ > 0; pendingLine_ = number) {
    const std::int64_t step = std::min(pendingMs_, kLongestAdvanceMs);
    write("advance ");
    write(step);
    endLine();
    PlainStep advance;
    advance.kind = PlainStep::Kind::Advance;
    advance.source = pendingLine_;
    advance.ms = step;
    game_.steps.push_back(advance);
    pendingMs_ -= step;
  }
}

Result<RecordedGame> Reader::finish() {
  if (!opened_) return Result<RecordedGame>::failure("the replay never opens its game");
  flushAdvance(pendingLine_);
  return std::move(game_);
}

}  // namespace

Result<RecordedGame> readRecordedGame(std::string_view text) {
  // Split in place, as sim::LineReader reads a script (LF or CRLF, lines of at most
  // 1 MiB), without copying the text into a stream first: a game sent to the board is
  // read here once for every check.
  Reader reader(text.size());
  int number = 0;
  try {
    while (!text.empty()) {
      const std::size_t end = std::min(text.find('\n'), text.size());
      std::string_view line = text.substr(0, end);
      text.remove_prefix(std::min(end + 1, text.size()));
      ++number;
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (line.size() > sim::kMaxLineLength)
        throw sim::ScriptError("line too long: a line holds at most 1 MiB");
      reader.take(line, number);
    }
  } catch (const sim::ScriptError& e) {
    return Result<RecordedGame>::failure(sentence(number, e.what()));
  }
  return reader.finish();
}

}  // namespace tilerush::proof
