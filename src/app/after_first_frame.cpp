#include "app/after_first_frame.h"

#include <QEvent>
#include <QTimer>
#include <utility>

namespace tilerush {
namespace {

constexpr int kLatestMs = 1000;

// Watches the widget's paint events until the first; the call itself is posted, so
// that it runs after the painted frame has been sent to the screen.
class FirstPaint : public QObject {
 public:
  FirstPaint(QWidget& widget, std::function<void()> then) : QObject(&widget), then_(std::move(then)) {
    widget.installEventFilter(this);
    QTimer::singleShot(kLatestMs, this, &FirstPaint::fire);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      QTimer::singleShot(0, this, &FirstPaint::fire);
    }
    return false;
  }

 private:
  void fire() {
    if (!then_) return;
    std::function<void()> then = std::exchange(then_, nullptr);
    deleteLater();
    then();
  }

  std::function<void()> then_;
};

}  // namespace

void afterFirstFrame(QWidget& widget, std::function<void()> then) { new FirstPaint(widget, std::move(then)); }

}  // namespace tilerush
