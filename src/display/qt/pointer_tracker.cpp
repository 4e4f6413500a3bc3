// Moves over the canvas, its window or a button, seen as points of the game area.
#include "display/qt/pointer_tracker.h"

#include <QEnterEvent>
#include <QMouseEvent>

#include "display/qt/canvas.h"

namespace tilerush {

// Where the pointer stands is not asked of the system as the window is made: under
// XWayland the answer is stale until the pointer is over an X window, and the true
// place reported as the window opens would then look like a move, which launches the
// ball by itself.
PointerTracker::PointerTracker(Canvas& canvas) : canvas_(canvas) {
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
    case QEvent::Enter:
      // Where the pointer comes in is a place seen, like any move's.
      if (const auto* enter = dynamic_cast<QEnterEvent*>(event)) movedTo(enter->globalPosition());
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
  // The first place seen since the window opened is where the pointer already was.
  const bool first = !lastGlobal_;
  if (lastGlobal_ == global) return;
  lastGlobal_ = global;
  if (first) return;
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
