// Timers that stop at interval 0, ticks and input routed through the hold gate.
#include "display/qt/qt_backend.h"

#include <chrono>

#include "display/qt/game_window.h"

namespace tilerush {

QtBackend::QtBackend(GameWindow& window, SeedSource seeds) : window_(window), seeds_(std::move(seeds)) {
  for (std::size_t i = 0; i < kTimerNames.size(); ++i) {
    auto& timer = timers_[i];
    timer = std::make_unique<QTimer>();
    // A coarse timer would let the 25 ms beat drift by several milliseconds.
    timer->setTimerType(Qt::PreciseTimer);
    const std::string name = kTimerNames[i];
    connect(timer.get(), &QTimer::timeout, this, [this, name] { tick(name); });
  }
  holdTimer_.setSingleShot(true);
  holdTimer_.setTimerType(Qt::PreciseTimer);
  connect(&holdTimer_, &QTimer::timeout, this, [this] { gate_.release(); });
}

void QtBackend::tick(const std::string& timer) {
  gate_.offerTick([&] {
    if (onTimer_) onTimer_(timer);
  });
}

QTimer* QtBackend::timerNamed(const std::string& name) const {
  for (std::size_t i = 0; i < kTimerNames.size(); ++i) {
    if (name == kTimerNames[i]) return timers_[i].get();
  }
  return nullptr;
}

// The window goes on painting meanwhile: the hold ends from the event loop.
void QtBackend::holdEvents(int ms, std::function<void()> resume) {
  gate_.hold(std::move(resume));
  holdTimer_.start(ms);
}

void QtBackend::elementChanged(const Element& element, const Rect& before) {
  window_.elementChanged(element, before);
}

void QtBackend::intervalChanged(const Element& element) {
  QTimer* timer = timerNamed(element.name());
  if (!timer) return;
  // QTimer takes 0 to mean "as often as possible"; here it means stopped.
  if (element.interval() <= 0) {
    timer->stop();
  } else {
    timer->start(element.interval());
  }
}

void QtBackend::displayRebuilt() { window_.rebuild(); }

std::uint64_t systemClockSeed() {
  return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

}  // namespace tilerush
