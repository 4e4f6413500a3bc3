// tilerush-sound-latency: how soon a cue reaches the sound server after the game asks
// for it. Plays a strike's cue through the window's sound output, mostly 300 ms
// apart and every fourth time after 2.5 s of quiet (when the output has gone to
// rest), and records the server's monitor of the same sink with parec, stamping each
// recorded stretch as it arrives; prints each delay and the median and largest.
//   tilerush-sound-latency MONITOR [CUES]     (MONITOR: a source such as mysink.monitor)
#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "display/qt/sound_output.h"
#include "sound/cues.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

// Reads the monitor as parec gives it, 2 ms at a time, and notes when sound begins.
class Ear {
 public:
  explicit Ear(const std::string& monitor) {
    const std::string command =
        "parec --device=" + monitor +
        " --format=s16le --rate=48000 --channels=1 --latency-msec=2 --raw 2>/dev/null";
    pipe_ = popen(command.c_str(), "r");
    if (pipe_) thread_ = std::thread([this] { listen(); });
  }
  ~Ear() {
    stop_ = true;
    if (pipe_) pclose(pipe_);
    if (thread_.joinable()) thread_.join();
  }
  bool ok() const { return pipe_ != nullptr; }
  std::vector<Clock::time_point> onsets() {
    std::lock_guard lock(mutex_);
    return onsets_;
  }

 private:
  void listen() {
    std::int16_t chunk[96];
    bool sounding = false;
    while (!stop_) {
      const std::size_t n = std::fread(chunk, sizeof chunk[0], 96, pipe_);
      if (n == 0) break;
      const Clock::time_point now = Clock::now();
      std::size_t first = n;
      int peak = 0;
      for (std::size_t i = 0; i < n; ++i) {
        const int size = std::abs(int(chunk[i]));
        if (size > 300 && first == n) first = i;
        peak = std::max(peak, size);
      }
      if (!sounding && peak > 300) {
        // The first loud sample arrived this many samples before the end of the read.
        std::lock_guard lock(mutex_);
        onsets_.push_back(now - std::chrono::microseconds((n - first) * 1000 / 48));
      }
      // A cue's tail has faded well before the next one starts.
      if (peak > 300) sounding = true;
      if (peak < 30) sounding = false;
    }
  }

  FILE* pipe_ = nullptr;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<Clock::time_point> onsets_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: tilerush-sound-latency MONITOR [CUES]\n");
    return 2;
  }
  const int cues = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
  Ear ear(argv[1]);
  if (!ear.ok()) return 1;
  tilerush::SoundOutput output;
  std::unique_ptr<tilerush::sound::CueBank> bank;
  std::vector<Clock::time_point> asked;
  QTimer beat;
  beat.setSingleShot(true);
  QObject::connect(&output, &tilerush::SoundOutput::failed, &app, [&](const QString& why) {
    std::fprintf(stderr, "tilerush-sound-latency: %s\n", qPrintable(why));
    app.exit(1);
  });
  QObject::connect(&output, &tilerush::SoundOutput::opened, &app, [&](int rate) {
    bank = std::make_unique<tilerush::sound::CueBank>(rate);
    // A PulseAudio null sink drops about the first second that a new stream plays
    // (it is still working through what it rendered before the stream came), and
    // the recorder needs a moment too: the cues start after that.
    beat.start(1500);
  });
  QObject::connect(&beat, &QTimer::timeout, [&] {
    if (static_cast<int>(asked.size()) == cues) return app.quit();
    asked.push_back(Clock::now());
    output.play(bank->samples({tilerush::sound::CueKind::Brick, 4}));
    beat.start(asked.size() % 4 == 0 ? 2500 : 300);
  });
  output.open();
  if (app.exec() != 0) return 1;

  std::vector<double> delays;
  const auto heard = ear.onsets();
  for (std::size_t i = 0; i < asked.size(); ++i) {
    const char* when = i % 4 == 0 ? "after quiet, the output at rest" : "the output awake";
    auto it = std::find_if(heard.begin(), heard.end(), [&](Clock::time_point h) { return h >= asked[i]; });
    if (it == heard.end() || msSince(asked[i], *it) > 250) {
      std::printf("cue %zu (%s): not heard\n", i + 1, when);
      continue;
    }
    delays.push_back(msSince(asked[i], *it));
    std::printf("cue %zu (%s): heard after %.1f ms\n", i + 1, when, delays.back());
  }
  if (delays.empty()) return 1;
  std::sort(delays.begin(), delays.end());
  std::printf("%zu of %d cues heard: median %.1f ms, largest %.1f ms\n", delays.size(), cues,
              delays[delays.size() / 2], delays.back());
  return delays.size() == asked.size() ? 0 : 1;
}
