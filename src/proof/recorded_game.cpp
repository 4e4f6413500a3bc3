// Reading a recorded game, a line at a time, into its plain form.
#include "proof/recorded_game.h"

#include <algorithm>

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
  // Takes one line; throws sim::ScriptError for a line no recorded game has.
  void take(std::string_view line, int number);
  Result<RecordedGame> finish();

 private:
  void beforeOpen(std::string_view command, sim::Words& words, int number);
  void afterOpen(std::string_view command, sim::Words& words, int number);
  void flushAdvance(int number);
  void add(std::string text, int number) { game_.inputs.push_back({std::move(text), number}); }

  RecordedGame game_;
  bool seeded_ = false, opened_ = false, high_ = false, lastcell_ = false, roll_ = false, expecting_ = false;
  std::int64_t pendingMs_ = 0;
  int pendingLine_ = 0;
};

std::string wholeText(std::string_view word, std::string_view what) {
  return std::to_string(sim::parseWhole(word, 0, INT64_MAX, what));
}

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
    if (command == "seed") {
      game_.seed = sim::parseSeed(value);
      add("seed " + std::to_string(game_.seed), number);
    } else {
      add(std::string(command) + " " + wholeText(value, command), number);
    }
  } else if (command == "open") {
    words.expectEnd();
    if (!seeded_) throw sim::ScriptError("'open' without a 'seed' before it, so it proves no game");
    opened_ = true;
    add("open", number);
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
    add("key " + std::string(direction) + " " + std::to_string(code), number);
    return;
  }
  const std::string_view name = words.next();
  const std::optional<ButtonId> button = buttonNamed(name);
  if (!button)
    throw sim::ScriptError("unknown button " + sim::quoted(name) + ": use pause, nextlevel or gameover");
  words.expectEnd();
  if (*button == ButtonId::GameOver)
    game_.gameOverClick = number;
  else
    add("click " + std::string(name), number);
}

// A run of advances is one stretch of game time with nothing given in it.
void Reader::flushAdvance(int number) {
  for (; pendingMs_ > 0; pendingLine_ = number) {
    const std::int64_t step = std::min(pendingMs_, kLongestAdvanceMs);
    add("advance " + std::to_string(step), pendingLine_);
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
  Reader reader;
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

std::string joined(const std::vector<PlainLine>& lines) {
  std::size_t size = 0;
  for (const PlainLine& line : lines) size += line.text.size() + 1;
  std::string text;
  text.reserve(size);
  for (const PlainLine& line : lines) {
    text += line.text;
    text += '\n';
  }
  return text;
}

}  // namespace tilerush::proof
