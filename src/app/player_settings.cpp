// The settings file through QSettings, written through at once so that a game ended
// by a signal keeps what was chosen.
#include "app/player_settings.h"

namespace tilerush {
namespace {

const char* const kMuted = "sound/muted";
const char* const kWidth = "window/width";
const char* const kHeight = "window/height";
const char* const kFullScreen = "window/fullscreen";

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

void PlayerSettings::keep(const char* key, const QVariant& value, const QVariant& unset) {
  const QVariant kept = file_.value(key, unset);
  if (kept.isValid() && kept.toString() == value.toString()) return;
  file_.setValue(key, value);
  file_.sync();
}

}  // namespace tilerush
