// The player's ten best games, ranked, and the text they are kept as (a file in the
// window, IndexedDB or an exported file in the page).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "game/result.h"
#include "kept/kept_game.h"

namespace tilerush::kept {

class BestGames {
 public:
  static constexpr std::size_t kKept = 10;

  // Best first: by score, then the earlier date, then the id (so that two lists holding
  // the same games hold them in the same order).
  const std::vector<KeptGame>& games() const { return games_; }
  // Whether a game of `score` recorded on `date` would enter the list now.
  bool wouldRank(std::int64_t score, std::string_view date) const;
  // Enters `game` if it ranks and is not in the list already; true if it entered.
  bool add(KeptGame game);
  // Forgets the game of id `id`; false if none has it.
  bool forget(std::string_view id);
  // Both lists' games, each once (by id), the ten best kept: what two windows that
  // kept games at once agree on.
  void merge(const BestGames& other);

 private:
  std::vector<KeptGame> games_;
};

// The list as text: the first line `tilerush kept games 1`, then for each game, best
// first, one line of its fields and then its replay's exact bytes:
//   game id=ID score=N level=N bricks=N time=MS date=ISO kind=plain|race|challenge:YYYY-MM-DD bytes=N
std::string listText(const BestGames& list);
// Reads listText's text back. What is malformed is one sentence naming the line: a
// later version, a field missing or out of range, a replay cut short or whose id
// does not match its bytes, more than ten games.
Result<BestGames> readList(std::string_view text);

}  // namespace tilerush::kept
