// The Qt back end: real timers, the clock seed and the pause after a lost ball.
#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "display/display.h"
#include "display/platform.h"
#include "display/qt/event_gate.h"

namespace tilerush {

class GameWindow;

class QtBackend : public QObject, public Platform, public DisplayObserver {
  Q_OBJECT

 public:
  using TimerHandler = std::function<void(const std::string& timer)>;
  using SeedSource = std::function<std::uint64_t()>;

  QtBackend(GameWindow& window, SeedSource seeds);

  void setTimerHandler(TimerHandler handler) { onTimer_ = std::move(handler); }

  // A tick of a timer as if it fell due now; lost while a hold lasts.
  void tick(const std::string& timer);
  // Key events and clicks go through here, so that a hold can keep them back.
  void submitInput(std::function<void()> input) { gate_.submit(std::move(input)); }
  bool holding() const { return gate_.holding(); }
  const QTimer* timer(const std::string& name) const { return timerNamed(name); }

  // Platform
  std::uint64_t clockSeed() override { return seeds_(); }
  void holdEvents(int ms, std::function<void()> resume) override;

  // DisplayObserver
  void elementChanged(const Element& element, const Rect& before) override;
  void intervalChanged(const Element& timer) override;
  void displayRebuilt() override;

 private:
  QTimer* timerNamed(const std::string& name) const;

  GameWindow& window_;
  SeedSource seeds_;
  TimerHandler onTimer_;
  std::array<std::unique_ptr<QTimer>, kTimerNames.size()> timers_;
  EventGate gate_;
  QTimer holdTimer_;
};

// Nanoseconds of the system clock: a new seed at every start-up.
std::uint64_t systemClockSeed();

}  // namespace tilerush
