// F11 and Alt+Enter take the window in and out of full screen, Escape out of it; the
// size and the state the player leaves it in are kept for the next run.
#pragma once

#include <QObject>
#include <QSize>
#include <QTimer>
#include <set>

#include "app/player_settings.h"
#include "display/qt/game_window.h"

namespace tilerush {

class ScreenMode : public QObject {
  Q_OBJECT

 public:
  // Gives the window, not yet shown, the size and state kept from the last run.
  ScreenMode(GameWindow& window, PlayerSettings& settings);
  ~ScreenMode() override;

  void toggleFullScreen();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void restore();
  void fitOnScreen();
  void keyDown(int code, int shift);
  void leaveFullScreen();
  void resized();
  void stateChanged();
  void saveSize();
  bool showsNormally() const;

  GameWindow& window_;
  PlayerSettings& settings_;
  // The size to give back on leaving full screen.
  QSize normalSize_;
  // Keys down whose press has been acted on: a held key repeats its key-down.
  std::set<int> held_;
  // A window being dragged to a new size is resized many times a second; its size
  // is kept once it has settled.
  QTimer settle_;
  // A window opened at a kept size is brought within the screen while this runs,
  // from the moment it shows.
  bool fitWhenShown_ = false;
  QTimer fitting_;
};

}  // namespace tilerush
