// The player's ten best games beside the game: a dialog of its own, so that the game
// area keeps its layout, from which each game is watched, shared, saved, raced or
// forgotten.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>

#include "kept/best_games.h"

class QPushButton;
class QTableWidget;

namespace tilerush {

// A game's time as the lists show it, whole seconds: "4:07".
QString minutesAndSeconds(std::int64_t ms);

class KeptGamesDialog : public QDialog {
  Q_OBJECT

 public:
  explicit KeptGamesDialog(QWidget* parent = nullptr);
  // Shows `list`, the selection kept on the same game where it still is there.
  void showList(const kept::BestGames& list);
  // With a board to send to, each game can be sent there.
  void allowSending();

 Q_SIGNALS:
  // The chosen game's replay, to watch on the timeline or to race on its first draws.
  void watchAsked(const std::string& replay);
  void raceAsked(const std::string& replay);
  void forgetAsked(const std::string& id);
  void sendAsked(const std::string& replay);

 private:
  const kept::KeptGame* chosen() const;
  void choiceChanged();
  void copyLink();
  void saveFile();

  QTableWidget* table_;
  QPushButton* watch_;
  QPushButton* link_;
  QPushButton* save_;
  QPushButton* race_;
  QPushButton* forget_;
  QPushButton* send_ = nullptr;
  kept::BestGames list_;
};

}  // namespace tilerush
