// Hides the mouse pointer over a window once it has stood still for a while, and
// shows it again as soon as it moves: in full screen it would sit on the board.
#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

namespace tilerush {

class PointerHider : public QObject {
  Q_OBJECT

 public:
  static constexpr int kStillMs = 2000;

  explicit PointerHider(QWidget& window);

  // Watches `widget` too (a child of the window) for the pointer's moves.
  void watch(QWidget& widget);
  // While off, the pointer is always shown.
  void setActive(bool active);
  bool hidden() const { return hidden_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void show();
  void hide();

  QWidget& window_;
  QTimer still_;
  bool active_ = false;
  bool hidden_ = false;
};

}  // namespace tilerush
