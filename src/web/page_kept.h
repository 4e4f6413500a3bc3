// The player's ten best games in the page: the list lives in the replay watcher's
// program, which has the script language to check each game with (the player's
// program stays small), and is told whole to the page's script, which keeps its text
// in IndexedDB and shows it.
#pragma once

#include <string>
#include <string_view>

#include "kept/best_games.h"

namespace tilerush {

// The level set a replay's game is played on, for racing it, as JSON: {"title":...,
// "digits":"its maps' digits one after another","firstMap":N}, or null for the game's
// own maps.
std::string replayLevelsJson(const std::string& replay);
// A set's text read by the one reader of sets, for the page's editor and its games, as
// JSON: {"why":"what is wrong"}, or {"why":"","set":{"title":...,"maps":[[ten rows],
// ...]}}.
std::string readLevelsJson(std::string_view text);

class PageKept {
 public:
  // How a game of the player's own comes to be kept: ended at "Game Over", cut short
  // by a race or a challenge, or so far, as the page is hidden.
  enum class Ending { Over = 0, CutShort = 1, SoFar = 2 };
  // Keeps the game if it ranks. A game that did not end at "Game Over" is kept only
  // once it scored; the game kept so far is replaced each time more of it is kept, so
  // that one game never holds two places.
  void keep(std::string_view replay, Ending ending);
  // A list's text: the page's stored list, or a file the player imported. Each game is
  // checked as any replay is, and the games merged with the list; a list that is not
  // sound changes nothing and is said in one sentence.
  void merge(std::string_view text, bool imported);
  void forget(std::string_view id);
  // The first seed of the kept game of id `id`, and its level set, as JSON:
  // {"seed":"DIGITS","levels":...} (as replayLevelsJson), or {"seed":null} for none.
  std::string seedOf(std::string_view id) const;
  // Room for a replay or a list's text, which the page's script fills in before keep or
  // merge.
  std::string buffer;

 private:
  // The list to the page: its games, its text to store, `why` a list was refused, and
  // the id of a game that just entered it at "Game Over", which the page may offer to
  // send on.
  void tell(const std::string& why, bool imported, int entered, const std::string& ended = {}) const;

  kept::BestGames list_;
  // The id of the game in progress as it was last kept, while it is in the list.
  std::string soFarId_;
};

}  // namespace tilerush
