// The game's one top-level window: the canvas, the three push buttons and the keys.
#pragma once

#include <QPushButton>
#include <QWidget>
#include <map>
#include <string>

#include "display/display.h"
#include "display/qt/canvas.h"
#include "display/qt/focus_watcher.h"
#include "display/qt/game_area.h"
#include "display/qt/key_translator.h"
#include "display/qt/pointer_hider.h"
#include "display/qt/pointer_tracker.h"

namespace tilerush {

class GameWindow : public QWidget, public DisplayObserver {
  Q_OBJECT

 public:
  // What the player asked of the window's size by a key, once the game decided it.
  enum class ScreenAsk { ToggleFullScreen, LeaveFullScreen };

  // A layout of `width` x `height` twips, shown whole at the largest scale that fits
  // the window (at any device pixel ratio); the window opens at scale 1 and can be
  // made as small as half that.
  GameWindow(const Display& display, const QString& title, float width, float height);

  Canvas& canvas() { return *canvas_; }
  // Where the layout lies in the window, and at what scale.
  const GameArea& area() const { return canvas_->area(); }
  // The push button made for a button element, or null.
  QPushButton* button(const std::string& name) const;
  bool pointerHidden() const { return pointer_.hidden(); }
  // A bar the full width of the window under the game area (a watched replay's
  // timeline): the window grows by its height and the layout is fitted to what is
  // left. The window takes it as a child; null takes it away again (not deleting it).
  void setBar(QWidget* bar);
  int barHeight() const { return bar_ ? bar_->sizeHint().height() : 0; }
  // Draws `display` from now on, all of it afresh: the window shows one of several
  // games (the player's, or a replay's). Whoever owns the games tells the window
  // their changes, as an observer of the one shown.
  void showDisplay(const Display& display);
  const Display& display() const { return *display_; }
  // Passes on a request for full screen, or to leave it, to whoever keeps the
  // window's size (ScreenMode).
  void askScreen(ScreenAsk ask) { Q_EMIT screenAsked(ask); }

  // DisplayObserver: brings the screen up to date with one changed element, or with
  // elements all made anew.
  void elementChanged(const Element& element, const Rect& before) override;
  void intervalChanged(const Element&) override {}
  void displayRebuilt() override;

 Q_SIGNALS:
  // A key went down, again when `repeat` (held, or X's auto-repeat), or came up.
  void keyDown(int code, int shift, bool repeat);
  void keyUp(int code, int shift);
  void screenAsked(ScreenAsk ask);
  void buttonClicked(const QString& name);
  // The mouse pointer moved to a point of the game area, in twips, or went off it.
  void pointerMoved(QPointF twips);
  void pointerGone();
  // The window lost the keyboard to somewhere else; the keys held are released first.
  void playerLeft();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QPushButton& buttonFor(const Element& element);
  void syncButton(QPushButton& button, const Element& element);
  void fitToSize();
  void keyboardLeft();

  const Display* display_;
  const GameArea natural_;
  Canvas* canvas_;
  std::map<std::string, QPushButton*> buttons_;
  KeyTranslator keys_;
  PointerHider pointer_;
  QWidget* bar_ = nullptr;
  PointerTracker tracker_;
  FocusWatcher focus_;
};

}  // namespace tilerush
