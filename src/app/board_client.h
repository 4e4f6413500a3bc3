// The window's side of a public score board (tilerush-board) at an address the player
// named: whether a board answers there, its boards and games, and a finished game's
// replay sent to it. What is sent is the replay, never a score: the board plays it
// through the same core and ranks it by the score it finds itself.
#pragma once

#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <string>

class QNetworkReply;

namespace tilerush {

class BoardClient : public QObject {
  Q_OBJECT

 public:
  explicit BoardClient(const QUrl& origin, QObject* parent = nullptr);

  QUrl origin() const { return origin_; }
  // Asks whether a board answers at the address: found() says.
  void ask();
  // `which` is "today", "all-time" or "day/YYYY-MM-DD"; with a name, the player's own
  // place comes too.
  void fetchBoard(const QString& which, const QString& name);
  void fetchGame(qint64 id);
  void send(const QString& name, const QString& key, const std::string& replay);

 Q_SIGNALS:
  void found(bool board);
  void boardArrived(const QString& which, const QJsonObject& board);
  // An entry's replay, with the entry's fields beside it.
  void gameArrived(const std::string& replay, const QJsonObject& entry);
  void sent(const QJsonObject& answer);
  // One sentence: the board's own, or why it could not be reached.
  void failed(const QString& sentence);

 private:
  using Answered = std::function<void(const QJsonObject&)>;
  QNetworkRequest request(const QString& path) const;
  void whenAnswered(QNetworkReply* reply, Answered answered);
  QString failure(QNetworkReply& reply, const QJsonObject& body) const;

  QNetworkAccessManager net_;
  QUrl origin_;
};

}  // namespace tilerush
