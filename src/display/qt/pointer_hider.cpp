// A blank cursor on the window after two seconds without a move of the pointer.
#include "display/qt/pointer_hider.h"

#include <QEvent>
#include <QWidget>

namespace tilerush {

PointerHider::PointerHider(QWidget& window) : window_(window) {
  still_.setSingleShot(true);
  still_.setInterval(kStillMs);
  connect(&still_, &QTimer::timeout, this, &PointerHider::hide);
  watch(window);
}

void PointerHider::watch(QWidget& widget) {
  // A move with no button held reaches a widget only while it tracks the mouse.
  widget.setMouseTracking(true);
  widget.installEventFilter(this);
}

void PointerHider::setActive(bool active) {
  active_ = active;
  show();
}

bool PointerHider::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::HoverMove:
    case QEvent::Enter:
      show();
      break;
    default:
      break;
  }
  return false;
}

void PointerHider::show() {
  if (hidden_) window_.unsetCursor();
  hidden_ = false;
  if (active_) {
    still_.start();
  } else {
    still_.stop();
  }
}

void PointerHider::hide() {
  if (!active_) return;
  hidden_ = true;
  window_.setCursor(Qt::BlankCursor);
}

}  // namespace tilerush
