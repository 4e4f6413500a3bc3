// Tells the moment the window loses the keyboard to somewhere else.
#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>

class QFocusEvent;
class QWidget;

namespace tilerush {

// On X11 the server's FocusOut is seen as it arrives: Qt reports the window's
// deactivation only about 125 ms later, and a held arrow would move the paddle all
// that while. Elsewhere (Wayland, offscreen) Qt's own focus-out is all there is.
class FocusWatcher : public QAbstractNativeEventFilter {
 public:
  FocusWatcher(QWidget& window, std::function<void()> left);
  ~FocusWatcher() override;
  FocusWatcher(const FocusWatcher&) = delete;
  FocusWatcher& operator=(const FocusWatcher&) = delete;

  // The window's focusOutEvent: counts only where the X server does not say it first.
  void qtFocusOut(const QFocusEvent& event);

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  QWidget& window_;
  std::function<void()> left_;
  bool onX11_;
};

}  // namespace tilerush
