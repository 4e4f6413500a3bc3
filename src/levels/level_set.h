// A level set: a title and the maps a game lays out in order, and the one plain text
// form that files, links and the page's editor share. Standard library only, below the
// game, so that the game, the replays and every front end read a set the same way.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/result.h"

namespace tilerush::levels {

inline constexpr int kMapRows = 10;
inline constexpr int kMapColumns = 20;
// The game's table of maps has room for a hundred.
inline constexpr int kMostMaps = 100;
// Characters (not bytes) of a title: enough for a name, short enough for a list.
inline constexpr int kLongestTitle = 60;
// A full set of a hundred maps is about 23 kB as text; anything far larger is no set.
inline constexpr std::size_t kLongestSetText = 64 * 1024;

// Ten rows of twenty digits: 0 no brick, 1 to 8 a brick of that many hits, 9 special.
using Map = std::array<std::string, kMapRows>;

struct LevelSet {
  std::string title;
  std::vector<Map> maps;
  bool operator==(const LevelSet&) const = default;
};

// A set chosen for play, and the map its first level is laid out from (1 to its count).
struct LevelChoice {
  LevelSet set;
  int firstMap = 1;
};

// The five maps every game starts with unless another set is chosen: row `row` (1 to
// 10) of map `map` (1 to 5), and the whole as a set.
inline constexpr int kBuiltInMaps = 5;
std::string_view builtInRow(int map, int row);
LevelSet builtInSet();
// A set from its title and its maps' digits one after another (200 a map), as the
// page's programs hand a set over once the one reader has read it; none when the
// digits are not 1 to 100 whole maps of digits.
std::optional<LevelSet> setOfDigits(std::string_view title, std::string_view digits);

// What is wrong with one row, title or map, in words that follow "map 2, row 3: ";
// none when it is sound.
std::optional<std::string> rowFault(std::string_view row);
std::optional<std::string> titleFault(std::string_view title);
bool hasBrick(const Map& map);
int brickCount(const Map& map);

// The set a file holds, or one sentence naming the map and row that is wrong.
Result<LevelSet> readLevelSet(std::string_view text);
// The file's text of a sound set; readLevelSet gives the set back.
std::string levelSetText(const LevelSet& set);

}  // namespace tilerush::levels
