// A PulseAudio server of the test's own with one null sink, and what reaches that
// sink, heard from its monitor with the moment each bit of it arrived.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "x_harness.h"

namespace tilerush::e2e {

using Clock = std::chrono::steady_clock;

class NullSink {
 public:
  // Starts the server in `folder` (its runtime files, its socket, the recording),
  // and the recording. Check ready() before use.
  explicit NullSink(const std::string& folder);
  ~NullSink();
  NullSink(const NullSink&) = delete;
  NullSink& operator=(const NullSink&) = delete;

  bool ready() const { return ready_; }
  // What a client needs in its environment to play to this server.
  std::string serverSetting() const { return "PULSE_SERVER=unix:" + socket_; }

  // The first moment after `from` at which something audible reached the sink.
  std::optional<Clock::time_point> firstSoundAfter(Clock::time_point from) const;
  bool heardBetween(Clock::time_point from, Clock::time_point to) const;

 private:
  struct Stretch {
    Clock::time_point arrived;
    int peak;  // largest sample magnitude, 16-bit
  };
  void follow();

  std::string socket_;
  std::string recording_;
  std::unique_ptr<Process> server_;
  std::unique_ptr<Process> recorder_;
  bool ready_ = false;
  std::atomic<bool> stop_{false};
  std::thread follower_;
  mutable std::mutex mutex_;
  std::vector<Stretch> heard_;
};

}  // namespace tilerush::e2e
