// The public board beside the game, in a dialog of its own: today's challenge and the
// all-time board with the player's own place, each entry watched or raced, and a game
// sent under the name the player chose once.
#pragma once

#include <QDialog>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <string>

#include "app/board_client.h"
#include "app/player_settings.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace tilerush {

class BoardDialog : public QDialog {
  Q_OBJECT

 public:
  BoardDialog(BoardClient& client, PlayerSettings& settings, QWidget* parent = nullptr);

  // Shows the board named `which` ("today", "all-time" or "day/YYYY-MM-DD"), fetched afresh.
  void showBoard(const QString& which);
  // A game that just ended at "Game Over", offered until another ends or it is sent.
  void offer(const std::string& replay, int score);
  void send(const std::string& replay);

 Q_SIGNALS:
  void watchAsked(const std::string& replay, const QString& title);
  void raceAsked(const std::string& replay);

 private:
  enum class Then { Watch, Race };
  void arrived(const QString& which, const QJsonObject& board);
  void fetchChosen(Then then);
  void gameArrived(const std::string& replay, const QJsonObject& entry);
  void sent(const QJsonObject& answer);
  void tell(const QString& sentence);

  BoardClient& client_;
  PlayerSettings& settings_;
  QPushButton* today_;
  QPushButton* allTime_;
  QTableWidget* table_;
  QLabel* place_;
  QLineEdit* name_;
  QPushButton* watch_;
  QPushButton* race_;
  QPushButton* sendOffered_;
  QLabel* status_;
  QString shown_ = QStringLiteral("today");
  QJsonArray entries_;
  std::string offered_;
  Then then_ = Then::Watch;
};

}  // namespace tilerush
