// Starting pulseaudio with a null sink, recording its monitor, and reading the
// recording as it grows.
#include "null_sink.h"

#include <filesystem>
#include <fstream>

namespace tilerush::e2e {
namespace {

// Above any rounding noise, far below any cue.
constexpr int kAudible = 300;
constexpr int kRate = 8000;

}  // namespace

NullSink::NullSink(const std::string& folder)
    : socket_(folder + "/native"), recording_(folder + "/heard.raw") {
  std::filesystem::create_directories(folder + "/run");
  // No session bus, no display: the server needs neither and would look for both.
  const std::vector<std::string> env = {"HOME=" + folder, "XDG_RUNTIME_DIR=" + folder + "/run",
                                        "XDG_CONFIG_HOME=" + folder,
                                        "DISPLAY=", "DBUS_SESSION_BUS_ADDRESS=disabled:"};
  server_ = std::make_unique<Process>(
      std::vector<std::string>{"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                               "--use-pid-file=no", "--disable-shm=yes", "--log-target=stderr", "-L",
                               "module-null-sink sink_name=tilerush_test rate=48000", "-L",
                               "module-native-protocol-unix auth-anonymous=1 socket=" + socket_},
      env, folder + "/server.log");
  for (int i = 0; i < 500 && !std::filesystem::exists(socket_); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!std::filesystem::exists(socket_)) return;
  recorder_ = std::make_unique<Process>(
      std::vector<std::string>{"parec", "--server=unix:" + socket_, "--device=tilerush_test.monitor",
                               "--format=s16le", "--rate=" + std::to_string(kRate), "--channels=1",
                               "--latency-msec=10", "--raw", recording_},
      env, folder + "/recorder.log");
  for (int i = 0; i < 500 && !std::filesystem::exists(recording_); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ready_ = std::filesystem::exists(recording_);
  if (ready_) follower_ = std::thread([this] { follow(); });
}

NullSink::~NullSink() {
  stop_ = true;
  if (follower_.joinable()) follower_.join();
  recorder_.reset();
  server_.reset();
}

// Each new stretch of the recording is stamped with the moment it was seen: with the
// recorder's 10 ms latency and a 5 ms look, within about 20 ms of reaching the sink.
void NullSink::follow() {
  std::ifstream in(recording_, std::ios::binary);
  std::vector<char> bytes(kRate);
  while (!stop_) {
    in.clear();
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const std::streamsize got = in.gcount() & ~std::streamsize(1);
    if (in.gcount() % 2) in.seekg(-1, std::ios::cur);
    if (got == 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    int peak = 0;
    for (std::streamsize i = 0; i < got; i += 2) {
      const int sample = static_cast<std::int16_t>(static_cast<unsigned char>(bytes[i]) |
                                                   static_cast<unsigned char>(bytes[i + 1]) << 8);
      peak = std::max(peak, std::abs(sample));
    }
    std::lock_guard lock(mutex_);
    heard_.push_back({Clock::now(), peak});
  }
}

std::optional<Clock::time_point> NullSink::firstSoundAfter(Clock::time_point from) const {
  std::lock_guard lock(mutex_);
  for (const Stretch& s : heard_) {
    if (s.arrived > from && s.peak > kAudible) return s.arrived;
  }
  return std::nullopt;
}

bool NullSink::heardBetween(Clock::time_point from, Clock::time_point to) const {
  const auto first = firstSoundAfter(from);
  return first && *first <= to;
}

}  // namespace tilerush::e2e
