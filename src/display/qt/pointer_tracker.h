// Where the mouse pointer stands over the game area, in twips, each time it really
// moves.
#pragma once

#include <QObject>
#include <QPointF>
#include <optional>

class QWidget;

namespace tilerush {

class Canvas;

// Only a real change of the pointer's place on the screen is a move. Qt sends a move
// of its own when a widget changes size or place under a still pointer (a resize, a
// full-screen change), and an X server reports where the pointer stands when a window
// opens under it (XWayland does so even for a pointer that never moved): such a
// report, at the same place on the screen as the last one seen, or the first one
// seen at all, is not the player's and is not passed on.
class PointerTracker : public QObject {
  Q_OBJECT

 public:
  // Follows the pointer over `canvas`, which shows the game area, and its window.
  explicit PointerTracker(Canvas& canvas);

  // Follows it over `widget` too (a push button lying over the game area).
  void watch(QWidget& widget);

 Q_SIGNALS:
  // The pointer moved to this point of the game area.
  void moved(QPointF twips);
  // It went off the game area or out of the window.
  void gone();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void movedTo(QPointF global);
  void leave();

  Canvas& canvas_;
  // Where the pointer was last seen on the screen; nowhere until the window hears of it.
  std::optional<QPointF> lastGlobal_;
  bool inside_ = false;
};

}  // namespace tilerush
