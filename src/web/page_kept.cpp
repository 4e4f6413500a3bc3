// The page's kept games: see page_kept.h.
#include "web/page_kept.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "kept/challenge.h"
#include "levels/level_set.h"
#include "sim/replay.h"
#include "web/page_view.h"

namespace tilerush {

namespace {

const char* kindName(kept::GameKind kind) {
  switch (kind) {
    case kept::GameKind::Challenge:
      return "challenge";
    case kept::GameKind::Race:
      return "race";
    case kept::GameKind::Plain:
      break;
  }
  return "plain";
}

std::string gameJson(const kept::KeptGame& g) {
  return R"({"id":)" + jsonString(g.id()) + R"(,"score":)" + std::to_string(g.score) + R"(,"level":)" +
         std::to_string(g.level) + R"(,"bricks":)" + std::to_string(g.bricksLeft) + R"(,"timeMs":)" +
         std::to_string(g.timeMs) + R"(,"date":)" + jsonString(g.date) + R"(,"kind":")" + kindName(g.kind) +
         R"(","day":)" + (g.day ? jsonString(kept::dayText(*g.day)) : "null") + R"(,"replay":)" +
         jsonString(g.replay) + '}';
}

}  // namespace

void PageKept::keep(std::string_view replay, Ending ending) {
  Result<kept::KeptGame> made = kept::keptFromReplay(replay);
  if (!made) {
    // The stage's own recording always replays; if it ever does not, the page says so
    // rather than keep a game nobody could watch.
    tell("your game could not be kept: " + made.error(), false, 0);
    return;
  }
  // A game left before it scored (a race tried, the page hidden at once) is no game.
  if (ending != Ending::Over && made.value().score == 0) return;
  if (!soFarId_.empty()) list_.forget(soFarId_);
  const std::string id = made.value().id();
  const bool entered = list_.add(std::move(made).value());
  soFarId_ = ending == Ending::SoFar && entered ? id : std::string();
  tell("", false, entered ? 1 : 0, ending == Ending::Over && entered ? id : std::string());
}

void PageKept::merge(std::string_view text, bool imported) {
  Result<kept::BestGames> read = kept::readList(text);
  if (!read) return tell(read.error(), imported, 0);
  // An imported list's fields are only what its replays prove: each replay is played
  // through again, and a game whose line says otherwise is refused with the whole file.
  // The page's own stored list was written by this code and its ids match its bytes.
  const std::vector<kept::KeptGame> toCheck = imported ? read.value().games() : std::vector<kept::KeptGame>{};
  for (std::size_t i = 0; i < toCheck.size(); ++i) {
    const std::string which = "game " + std::to_string(i + 1) + " of the list";
    Result<kept::KeptGame> proved = kept::keptFromReplay(toCheck[i].replay);
    if (!proved) return tell(which + ": " + proved.error(), imported, 0);
    if (!(proved.value() == toCheck[i]))
      return tell(which + " says other than its replay shows", imported, 0);
  }
  const auto before = list_.games();
  list_.merge(read.value());
  const auto entered =
      std::count_if(list_.games().begin(), list_.games().end(), [&](const kept::KeptGame& g) {
        return std::none_of(before.begin(), before.end(),
                            [&](const kept::KeptGame& b) { return b.id() == g.id(); });
      });
  tell("", imported, static_cast<int>(entered));
}

void PageKept::forget(std::string_view id) {
  if (id == soFarId_) soFarId_.clear();
  if (list_.forget(id)) tell("", false, 0);
}

std::string replayLevelsJson(const std::string& replay) {
  const std::optional<levels::LevelChoice> choice = sim::firstLevels(replay);
  if (!choice) return "null";
  std::string digits;
  for (const levels::Map& map : choice->set.maps) {
    for (const std::string& row : map) digits += row;
  }
  return R"({"title":)" + jsonString(choice->set.title) + R"(,"digits":")" + digits + R"(","firstMap":)" +
         std::to_string(choice->firstMap) + '}';
}

std::string readLevelsJson(std::string_view text) {
  Result<levels::LevelSet> set = levels::readLevelSet(text);
  if (!set) return R"({"why":)" + jsonString(set.error()) + '}';
  std::string json = R"({"why":"","set":{"title":)" + jsonString(set.value().title) + R"(,"maps":[)";
  for (const levels::Map& map : set.value().maps) {
    json += json.back() == '[' ? "[" : ",[";
    for (const std::string& row : map) json += (json.back() == '[' ? "\"" : ",\"") + row + '"';
    json += ']';
  }
  return json + "]}}";
}

std::string PageKept::seedOf(std::string_view id) const {
  for (const kept::KeptGame& game : list_.games()) {
    if (game.id() != id) continue;
    if (std::optional<std::uint64_t> seed = sim::firstSeed(game.replay))
      return R"({"seed":)" + jsonString(std::to_string(*seed)) + R"(,"levels":)" +
             replayLevelsJson(game.replay) + '}';
  }
  return R"({"seed":null})";
}

void PageKept::tell(const std::string& why, bool imported, int entered, const std::string& ended) const {
  std::string games;
  for (const kept::KeptGame& game : list_.games()) games += (games.empty() ? "" : ",") + gameJson(game);
  tellPage(R"({"type":"kept","games":[)" + games + R"(],"text":)" + jsonString(kept::listText(list_)) +
           R"(,"why":)" + jsonString(why) + R"(,"imported":)" + jsonBool(imported) + R"(,"entered":)" +
           std::to_string(entered) + R"(,"ended":)" + jsonString(ended) + '}');
}

}  // namespace tilerush
