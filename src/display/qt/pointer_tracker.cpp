// Moves over the canvas, its window or a button, seen as points of the game area.
#include "display/qt/pointer_tracker.h"

#include <QCursor>
#include <QMouseEvent>

#include "display/qt/canvas.h"

namespace tilerush {

// Where the pointer stands as the window is made is where it stood, not a move: a
// window opened under it must not launch the ball by itself.
PointerTracker::PointerTracker(Canvas& canvas) : canvas_(canvas), lastGlobal_(QCursor::pos()) {
  watch(canvas);
  watch(*canvas.window());
}

void PointerTracker::watch(QWidget& widget) {
  // A move with no button held reaches a widget only while it tracks the mouse.
  widget.setMouseTracking(true);
  widget.installEventFilter(this);
}

bool PointerTracker::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove:
      // A move a child ignores comes again to its parent: the place, the same, tells.
      movedTo(static_cast<QMouseEvent*>(event)->globalPosition());
      break;
    case QEvent::Leave:
      // Only the window's own: the pointer passing from the canvas onto a button
      // over it is still over the game area.
      if (watched == canvas_.window()) leave();
      break;
    default:
      break;
  }
  return false;
}

void PointerTracker::movedTo(QPointF global) {
  if (lastGlobal_ == global) return;
  lastGlobal_ = global;
  const QPointF local = canvas_.mapFromGlobal(global);
  if (!canvas_.rect().contains(local.toPoint())) return leave();
  inside_ = true;
  const GameArea& area = canvas_.area();
  Q_EMIT moved(area.toTwips(local + QPointF(area.rect().topLeft())));
}

void PointerTracker::leave() {
  if (!inside_) return;
  inside_ = false;
  Q_EMIT gone();
}

}  // namespace tilerush
