// Qt Network to the board's API, every answer JSON.
#include "app/board_client.h"

#include <QJsonDocument>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <utility>

namespace tilerush {
namespace {

// A board that does not answer within this is said to be out of reach, rather than
// leaving the player waiting on it.
constexpr int kTimeoutMs = 15000;

}  // namespace

BoardClient::BoardClient(const QUrl& origin, QObject* parent) : QObject(parent), origin_(origin) {}

QNetworkRequest BoardClient::request(const QString& path) const {
  // Paths are from the origin's root, wherever the address the player gave points.
  QUrl url = origin_;
  url.setPath(path);
  url.setQuery(QString());
  url.setFragment(QString());
  QNetworkRequest request(url);
  request.setTransferTimeout(kTimeoutMs);
  request.setRawHeader("Accept", "application/json");
  return request;
}

void BoardClient::ask() {
  QNetworkReply* reply = net_.get(request(QStringLiteral("/api/v1/")));
  connect(reply, &QNetworkReply::finished, this, [this, reply] {
    reply->deleteLater();
    const QJsonObject body = QJsonDocument::fromJson(reply->readAll()).object();
    Q_EMIT found(reply->error() == QNetworkReply::NoError &&
                 body.value(QStringLiteral("service")).toString() == QStringLiteral("tilerush-board") &&
                 body.value(QStringLiteral("api")).toInt() == 1);
  });
}

void BoardClient::fetchBoard(const QString& which, const QString& name) {
  QNetworkRequest asked = request(QStringLiteral("/api/v1/boards/") + which);
  if (!name.isEmpty()) {
    QUrl url = asked.url();
    url.setQuery(QStringLiteral("name=") + QString::fromLatin1(QUrl::toPercentEncoding(name)));
    asked.setUrl(url);
  }
  whenAnswered(net_.get(asked),
               [this, which](const QJsonObject& board) { Q_EMIT boardArrived(which, board); });
}

void BoardClient::fetchGame(qint64 id) {
  whenAnswered(net_.get(request(QStringLiteral("/api/v1/games/") + QString::number(id))),
               [this](const QJsonObject& game) {
                 Q_EMIT gameArrived(game.value(QStringLiteral("replay")).toString().toStdString(), game);
               });
}

void BoardClient::send(const QString& name, const QString& key, const std::string& replay) {
  QNetworkRequest asked = request(QStringLiteral("/api/v1/games"));
  asked.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
  const QJsonObject body{{QStringLiteral("name"), name},
                         {QStringLiteral("key"), key},
                         {QStringLiteral("replay"), QString::fromStdString(replay)}};
  whenAnswered(net_.post(asked, QJsonDocument(body).toJson(QJsonDocument::Compact)),
               [this](const QJsonObject& answer) { Q_EMIT sent(answer); });
}

void BoardClient::whenAnswered(QNetworkReply* reply, Answered answered) {
  connect(reply, &QNetworkReply::finished, this, [this, reply, answered = std::move(answered)] {
    reply->deleteLater();
    const QJsonObject body = QJsonDocument::fromJson(reply->readAll()).object();
    if (reply->error() != QNetworkReply::NoError) {
      Q_EMIT failed(failure(*reply, body));
      return;
    }
    answered(body);
  });
}

QString BoardClient::failure(QNetworkReply& reply, const QJsonObject& body) const {
  const QString said = body.value(QStringLiteral("error")).toString();
  if (!said.isEmpty()) return said;
  const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (status.isValid()) return QStringLiteral("The board answered %1.").arg(status.toInt());
  return QStringLiteral("The board at %1 cannot be reached: %2.").arg(origin_.host(), reply.errorString());
}

}  // namespace tilerush
