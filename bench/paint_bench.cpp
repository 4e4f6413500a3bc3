// The window's painting on Qt's offscreen platform: a full repaint into an image at
// one and two device pixels a pixel, and the repaint that follows one tick in play.
#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <chrono>
#include <memory>

#include "app/qt_game.h"
#include "bench.h"

namespace tilerush::bench {
namespace {

constexpr int kWindowPixels = 568 * 489;

// An opened window showing map 1, its timers stopped so that only the benchmark
// moves anything.
class PaintedGame {
 public:
  PaintedGame() : game_([] { return std::uint64_t{1}; }) {
    game_.open();
    for (const char* timer : {"Timer1", "Timer2", "Timer3"}) game_.display().find(timer)->setInterval(0);
    QCoreApplication::processEvents();
    repaintNow();
  }

  QtGame& game() { return game_; }
  GameWindow& window() { return game_.window(); }

  // Paints whatever is waiting to be painted, into the window's backing image.
  void repaintNow() { QCoreApplication::sendPostedEvents(&game_.window(), QEvent::UpdateRequest); }

 private:
  QtGame game_;
};

// Adds up the area of every region the canvas is asked to paint.
class PaintedArea : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
      pixels += qint64(r.width()) * r.height();
    return false;
  }
  qint64 pixels = 0;
};

void FullRepaint(benchmark::State& state) {
  PaintedGame painted;
  const auto scale = static_cast<int>(state.range(0));
  QImage image(painted.window().size() * scale, QImage::Format_RGB32);
  image.setDevicePixelRatio(scale);
  for (auto _ : state) {
    painted.window().render(&image);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(FullRepaint)->Arg(1)->Arg(2)->Apply(medians)->Unit(benchmark::kMicrosecond);

// Times only the repaint; the tick before it is the core's and timed on its own.
template <typename Tick>
void timeRepaintAfter(benchmark::State& state, PaintedGame& painted, Tick tick) {
  PaintedArea area;
  painted.window().canvas().installEventFilter(&area);
  for (auto _ : state) {
    tick();
    const auto start = std::chrono::steady_clock::now();
    painted.repaintNow();
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  painted.window().canvas().removeEventFilter(&area);
  state.counters["painted_%"] = benchmark::Counter(100.0 * static_cast<double>(area.pixels) / kWindowPixels /
                                                   static_cast<double>(state.iterations()));
}

void RepaintAfterBallTick(benchmark::State& state) {
  PaintedGame painted;
  Form1& form = painted.game().form();
  launchBelowTheBricks(painted.game().session());
  GameState& s = FormProbe(form).state();
  timeRepaintAfter(state, painted, [&] {
    s.yspeed = static_cast<std::int16_t>(-s.yspeed);
    form.Timer2_Timer();
  });
}
BENCHMARK(RepaintAfterBallTick)->Apply(medians)->UseManualTime()->Unit(benchmark::kMicrosecond);

// One 25 ms beat of play: the paddle moving, the ball, and every other beat the title
// balls.
void RepaintAfterBeatInPlay(benchmark::State& state) {
  PaintedGame painted;
  Form1& form = painted.game().form();
  launchBelowTheBricks(painted.game().session());
  GameState& s = FormProbe(form).state();
  int beat = 0;
  timeRepaintAfter(state, painted, [&] {
    s.paddledir = (beat / 8) % 2 == 0 ? 1 : 2;
    form.Timer1_Timer();
    s.yspeed = static_cast<std::int16_t>(-s.yspeed);
    form.Timer2_Timer();
    if (++beat % 2 == 0) form.Timer3_Timer();
  });
}
BENCHMARK(RepaintAfterBeatInPlay)->Apply(medians)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tilerush::bench
