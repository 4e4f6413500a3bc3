// The lists beside the game: the player's ten best games (Ctrl+K) and, where the
// player named one, the board (Ctrl+B). Each opens as a dialog over the window and
// hands back a replay to watch on the timeline or to race.
#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "app/board_dialog.h"
#include "app/kept_games_dialog.h"
#include "app/kept_store.h"
#include "app/player_settings.h"
#include "app/qt_game.h"
#include "app/theatre.h"

namespace tilerush {

class PlayerLists : public QObject {
  Q_OBJECT

 public:
  // Keeps every game played in `store`, and offers its list from the window's keys
  // and context menu. A replay chosen to watch replaces `theatre`'s.
  PlayerLists(QtGame& game, KeptStore& store, PlayerSettings& settings, std::unique_ptr<Theatre>& theatre);

  // Asks the board the player named, if any, whether it answers: from then on its
  // dialog opens, a game ended at "Game Over" is offered to it, and any kept game can
  // be sent.
  void findBoard();

 private:
  // Made when first asked for: a dialog costs the start of the game a few milliseconds.
  KeptGamesDialog& keptDialog();
  void boardFound();
  void offerToBoard(const stage::FinishedGame& finished);
  void letKeptGamesBeSent();
  void watch(const std::string& replay, const std::string& what);
  void race(const std::string& replay);

  QtGame& game_;
  KeptStore& store_;
  PlayerSettings& settings_;
  std::unique_ptr<Theatre>& theatre_;
  KeptGamesDialog* kept_ = nullptr;
  BoardDialog* board_ = nullptr;
};

}  // namespace tilerush
