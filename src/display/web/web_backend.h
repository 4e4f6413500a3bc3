// The browser back end: the headless clock pumped with the page's real time, the
// canvas and buttons that show the element model, and input held through a pause.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>

#include "display/display.h"
#include "display/headless.h"
#include "display/platform.h"
#include "display/web/web_buttons.h"
#include "display/web/web_canvas.h"

namespace tilerush {

class WebBackend : public Platform, public DisplayObserver {
 public:
  // A wake-up later than this does not become game time: the page was not scheduled
  // (a stalled browser, a sleeping laptop), and four beats are all the clock catches up.
  static constexpr double kLongestStepMs = 100;

  explicit WebBackend(const Display& display);

  void setTimerHandler(HeadlessBackend::TimerHandler handler) { clock_.setTimerHandler(std::move(handler)); }

  // Takes `realMs` (the page's clock) as the game's present; no game time has passed.
  void restartAt(double realMs);
  // Moves the game clock on by the real time since the last call, at most
  // kLongestStepMs, firing the ticks that fall due.
  void catchUp(double realMs);
  // Carries input out at the clock's present instant, or after the pause that holds it.
  void submit(std::function<void()> input);
  // Repaints what changed; returns the real milliseconds until the clock next needs
  // pumping, -1 when nothing is due.
  double paint();

  void repaintAll() { canvas_.repaintAll(); }
  std::int64_t now() const { return clock_.now(); }
  const WebButtons& buttons() const { return buttons_; }
  const WebCanvas& canvas() const { return canvas_; }

  // Platform
  std::uint64_t clockSeed() override;
  void holdEvents(int ms, std::function<void()> resume) override { clock_.holdEvents(ms, std::move(resume)); }

  // DisplayObserver
  void elementChanged(const Element& element, const Rect& before) override;
  void intervalChanged(const Element& timer) override { clock_.intervalChanged(timer); }
  void displayRebuilt() override;

 private:
  void replayHeld();

  const Display& display_;
  HeadlessBackend clock_;
  WebCanvas canvas_;
  WebButtons buttons_;
  std::deque<std::function<void()>> held_;
  double lastReal_ = 0;
  // Real time not yet turned into whole game milliseconds.
  double carry_ = 0;
};

}  // namespace tilerush
