// What the window keeps between runs, in the player's settings file
// (~/.config/tilerush/tilerush.conf): the sound choice, the window's size and
// whether it was left in full screen, and the board the player named, their name on it
// and their key to it. Nothing of the game itself.
#pragma once

#include <QSettings>
#include <QSize>
#include <QString>
#include <optional>

namespace tilerush {

class PlayerSettings {
 public:
  PlayerSettings();

  bool muted() const;
  void setMuted(bool muted);

  // The size the window was last given, none until the player gave it one.
  std::optional<QSize> windowSize() const;
  void setWindowSize(QSize size);

  bool fullScreen() const;
  void setFullScreen(bool fullScreen);

  // The board's address (empty for none), the player's name on it, and their key: a
  // random secret made the first time it is asked for, which binds the name to them.
  QString boardUrl() const;
  void setBoardUrl(const QString& url);
  QString boardName() const;
  void setBoardName(const QString& name);
  QString boardKey();

 private:
  // Writes only what differs from what is kept (or, for what was never kept, from
  // `unset`), so that a window left as it opened stores nothing.
  void keep(const char* key, const QVariant& value, const QVariant& unset);

  mutable QSettings file_;
};

}  // namespace tilerush
