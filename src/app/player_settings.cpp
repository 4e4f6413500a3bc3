// The settings file through QSettings, written through at once so that a game ended
// by a signal keeps what was chosen.
#include "app/player_settings.h"

#include <QByteArray>
#include <QRandomGenerator>

namespace tilerush {
namespace {

const char* const kMuted = "sound/muted";
const char* const kWidth = "window/width";
const char* const kHeight = "window/height";
const char* const kFullScreen = "window/fullscreen";
const char* const kBoardUrl = "board/url";
const char* const kBoardName = "board/name";
const char* const kBoardKey = "board/key";

}  // namespace

PlayerSettings::PlayerSettings() : file_(QStringLiteral("tilerush"), QStringLiteral("tilerush")) {}

bool PlayerSettings::muted() const { return file_.value(kMuted, false).toBool(); }

void PlayerSettings::setMuted(bool muted) { keep(kMuted, muted, QVariant()); }

std::optional<QSize> PlayerSettings::windowSize() const {
  bool wide = false, high = false;
  const QSize size(file_.value(kWidth).toInt(&wide), file_.value(kHeight).toInt(&high));
  if (!wide || !high || size.isEmpty()) return std::nullopt;
  return size;
}

void PlayerSettings::setWindowSize(QSize size) {
  if (windowSize() == size) return;
  file_.setValue(kWidth, size.width());
  file_.setValue(kHeight, size.height());
  file_.sync();
}

bool PlayerSettings::fullScreen() const { return file_.value(kFullScreen, false).toBool(); }

void PlayerSettings::setFullScreen(bool fullScreen) { keep(kFullScreen, fullScreen, false); }

QString PlayerSettings::boardUrl() const { return file_.value(kBoardUrl).toString(); }

void PlayerSettings::setBoardUrl(const QString& url) { keep(kBoardUrl, url, QString()); }

QString PlayerSettings::boardName() const { return file_.value(kBoardName).toString(); }

void PlayerSettings::setBoardName(const QString& name) { keep(kBoardName, name, QString()); }

QString PlayerSettings::boardKey() {
  QString key = file_.value(kBoardKey).toString();
  if (key.isEmpty()) {
    QByteArray secret(32, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(secret.data()), secret.size() / 4);
    key =
        QString::fromLatin1(secret.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
    keep(kBoardKey, key, QString());
  }
  return key;
}

void PlayerSettings::keep(const char* key, const QVariant& value, const QVariant& unset) {
  const QVariant kept = file_.value(key, unset);
  if (kept.isValid() && kept.toString() == value.toString()) return;
  file_.setValue(key, value);
  file_.sync();
}

}  // namespace tilerush
