// An X11 FocusOut of the window, seen before Qt handles it.
#include "display/qt/focus_watcher.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QWidget>
#include <utility>

namespace tilerush {

FocusWatcher::FocusWatcher(QWidget& window, std::function<void()> left)
    : window_(window),
      left_(std::move(left)),
      onX11_(QGuiApplication::platformName() == QLatin1String("xcb")) {
  if (onX11_) QCoreApplication::instance()->installNativeEventFilter(this);
}

FocusWatcher::~FocusWatcher() {
  if (onX11_) QCoreApplication::instance()->removeNativeEventFilter(this);
}

void FocusWatcher::qtFocusOut(const QFocusEvent& event) {
  // Focus passing between the window's own widgets is not the player leaving.
  if (!onX11_ && event.reason() == Qt::ActiveWindowFocusReason) left_();
}

bool FocusWatcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* generic = static_cast<const xcb_generic_event_t*>(message);
  if ((generic->response_type & 0x7F) != XCB_FOCUS_OUT) return false;
  const auto* out = static_cast<const xcb_focus_out_event_t*>(message);
  // A grab takes the keyboard for a moment while the window is moved or resized, or
  // a menu is open; the focus comes back with the ungrab. Focus gone to a window
  // inside this one, or one that follows the pointer, stays with the game too.
  if (out->mode == XCB_NOTIFY_MODE_GRAB || out->mode == XCB_NOTIFY_MODE_UNGRAB) return false;
  if (out->detail == XCB_NOTIFY_DETAIL_INFERIOR || out->detail == XCB_NOTIFY_DETAIL_POINTER) return false;
  const WId id = window_.internalWinId();
  if (id == 0 || out->event != static_cast<xcb_window_t>(id)) return false;
  left_();
  return false;
}

}  // namespace tilerush
