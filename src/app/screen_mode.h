// Takes the window in and out of full screen as the player asks (F11 and Alt+Enter
// toggle, Escape leaves: the stage tells which press asks what); the size and the
// state the player leaves it in are kept for the next run.
#pragma once

#include <QObject>
#include <QSize>
#include <QTimer>

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
  void asked(GameWindow::ScreenAsk ask);
  void leaveFullScreen();
  void resized();
  void stateChanged();
  void giveSizeBack();
  void saveSize();
  bool showsNormally() const;

  GameWindow& window_;
  PlayerSettings& settings_;
  // The size to give back on leaving full screen.
  QSize normalSize_;
  // A window being dragged to a new size is resized many times a second; its size
  // is kept once it has settled.
  QTimer settle_;
  // Leaving full screen, the window is given back its own size, and sizes the window
  // manager hands it meanwhile are not the player's: some count the frame they put
  // round it in the size they give back, and the window would shrink by that frame
  // at every return from full screen. While this runs, such a size is corrected.
  QTimer givingBack_;
  int corrections_ = 0;
  bool wasFullScreen_ = false;
  // A window opened at a kept size is brought within the screen while this runs,
  // from the moment it shows.
  bool fitWhenShown_ = false;
  QTimer fitting_;
};

}  // namespace tilerush
