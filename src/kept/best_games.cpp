// Ranking, merging and the text of the best games.
#include "kept/best_games.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace tilerush::kept {
namespace {

constexpr std::string_view kFirstLine = "tilerush kept games 1";

bool before(std::int64_t score, std::string_view date, std::string_view id, const KeptGame& other) {
  if (score != other.score) return score > other.score;
  if (date != other.date) return date < other.date;
  return id < other.id();
}

bool better(const KeptGame& a, const KeptGame& b) { return before(a.score, a.date, a.id(), b); }

std::string kindText(const KeptGame& game) {
  switch (game.kind) {
    case GameKind::Race:
      return "race";
    case GameKind::Challenge:
      return "challenge:" + dayText(game.day.value_or(Day{}));
    case GameKind::Plain:
      break;
  }
  return "plain";
}

// The fields of one `game` line, by name.
using Fields = std::map<std::string, std::string, std::less<>>;

Result<Fields> fieldsOf(std::string_view line) {
  Fields fields;
  std::size_t at = 5;  // past "game "
  while (at < line.size()) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    const std::string_view field = line.substr(at, end - at);
    const std::size_t equals = field.find('=');
    if (equals == std::string_view::npos) return Result<Fields>::failure("a field without '='");
    fields.emplace(std::string(field.substr(0, equals)), std::string(field.substr(equals + 1)));
    at = end + 1;
  }
  return fields;
}

Result<std::int64_t> number(const Fields& fields, std::string_view name, std::int64_t most) {
  const auto found = fields.find(name);
  if (found == fields.end()) return Result<std::int64_t>::failure("no " + std::string(name));
  const std::string& text = found->second;
  std::int64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > most)
    return Result<std::int64_t>::failure(std::string(name) + " is not a number from 0 to " +
                                         std::to_string(most));
  return value;
}

Result<KeptGame> gameOf(const Fields& fields) {
  KeptGame game;
  constexpr std::int64_t kMost = std::int64_t{1} << 53;
  for (auto [name, into] :
       {std::pair<std::string_view, std::int64_t*>{"score", &game.score}, {"time", &game.timeMs}}) {
    Result<std::int64_t> value = number(fields, name, kMost);
    if (!value) return Result<KeptGame>::failure(value.error());
    *into = value.value();
  }
  for (auto [name, into] :
       {std::pair<std::string_view, int*>{"level", &game.level}, {"bricks", &game.bricksLeft}}) {
    Result<std::int64_t> value = number(fields, name, 1'000'000);
    if (!value) return Result<KeptGame>::failure(value.error());
    *into = static_cast<int>(value.value());
  }
  const auto date = fields.find("date");
  const auto kind = fields.find("kind");
  if (date == fields.end() || kind == fields.end()) return Result<KeptGame>::failure("no date or no kind");
  game.date = date->second;
  if (kind->second == "race") {
    game.kind = GameKind::Race;
  } else if (kind->second.starts_with("challenge:")) {
    game.kind = GameKind::Challenge;
    game.day = parseDay(std::string_view(kind->second).substr(10));
    if (!game.day) return Result<KeptGame>::failure("the challenge's day is not a date");
  } else if (kind->second != "plain") {
    return Result<KeptGame>::failure("the kind is none of plain, race, challenge:YYYY-MM-DD");
  }
  return game;
}

}  // namespace

bool BestGames::wouldRank(std::int64_t score, std::string_view date) const {
  // A game beats the last on a tie of score and date only by its id, which a game not
  // yet made has none of: the earlier game keeps its place.
  return games_.size() < kKept || before(score, date, "~", games_.back());
}

bool BestGames::add(KeptGame game) {
  const std::string id = game.id();
  if (std::any_of(games_.begin(), games_.end(), [&](const KeptGame& g) { return g.id() == id; }))
    return false;
  const auto at = std::upper_bound(games_.begin(), games_.end(), game, better);
  if (at == games_.end() && games_.size() >= kKept) return false;
  games_.insert(at, std::move(game));
  if (games_.size() > kKept) games_.pop_back();
  return true;
}

bool BestGames::forget(std::string_view id) {
  const auto at = std::find_if(games_.begin(), games_.end(), [&](const KeptGame& g) { return g.id() == id; });
  if (at == games_.end()) return false;
  games_.erase(at);
  return true;
}

void BestGames::merge(const BestGames& other) {
  for (const KeptGame& game : other.games_) add(game);
}

std::string listText(const BestGames& list) {
  std::string text = std::string(kFirstLine) + "\n";
  for (const KeptGame& game : list.games()) {
    text += "game id=" + game.id() + " score=" + std::to_string(game.score) +
            " level=" + std::to_string(game.level) + " bricks=" + std::to_string(game.bricksLeft) +
            " time=" + std::to_string(game.timeMs) + " date=" + game.date + " kind=" + kindText(game) +
            " bytes=" + std::to_string(game.replay.size()) + "\n";
    text += game.replay;
  }
  return text;
}

Result<BestGames> readList(std::string_view text) {
  auto wrong = [](int line, const std::string& what) {
    return Result<BestGames>::failure("the list of kept games is broken at line " + std::to_string(line) +
                                      ": " + what);
  };
  const std::size_t firstEnd = text.find('\n');
  if (text.substr(0, firstEnd) != kFirstLine) {
    return text.starts_with("tilerush kept games ")
               ? wrong(1, "it is of a later version of Tilerush")
               : wrong(1, "it does not begin with '" + std::string(kFirstLine) + "'");
  }
  BestGames list;
  std::size_t at = firstEnd == std::string_view::npos ? text.size() : firstEnd + 1;
  int line = 2;
  std::size_t count = 0;
  while (at < text.size()) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) return wrong(line, "the line is cut short");
    const std::string_view header = text.substr(at, end - at);
    if (!header.starts_with("game ")) return wrong(line, "a game's line must begin with 'game '");
    Result<Fields> fields = fieldsOf(header);
    if (!fields) return wrong(line, fields.error());
    Result<KeptGame> game = gameOf(fields.value());
    if (!game) return wrong(line, game.error());
    Result<std::int64_t> bytes = number(fields.value(), "bytes", std::int64_t{16} << 20);
    if (!bytes) return wrong(line, bytes.error());
    at = end + 1;
    if (static_cast<std::size_t>(bytes.value()) > text.size() - at)
      return wrong(line, "its replay is cut short");
    KeptGame kept = std::move(game).value();
    kept.replay = std::string(text.substr(at, static_cast<std::size_t>(bytes.value())));
    const auto id = fields.value().find("id");
    if (id == fields.value().end() || id->second != kept.id())
      return wrong(line, "its replay does not match its id (the file was changed or damaged)");
    if (++count > BestGames::kKept) return wrong(line, "it holds more than ten games");
    line += 1 + static_cast<int>(std::count(kept.replay.begin(), kept.replay.end(), '\n'));
    list.add(std::move(kept));
    at += static_cast<std::size_t>(bytes.value());
  }
  return list;
}

}  // namespace tilerush::kept
