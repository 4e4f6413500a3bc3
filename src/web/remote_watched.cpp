// The calls go as the page's clock (milliseconds, as performance.now() gives them):
// the watcher turns them back into the same nanoseconds.
#include "web/remote_watched.h"

#include "web/page_view.h"

extern "C" {
// Defined in web/page-calls.js: the same calls of the watcher's program.
void tr_watched_start(double now);
void tr_watched_key(int code, int repeat, double now);
void tr_watched_play_or_pause(double now);
void tr_watched_speed(int index, double now);
void tr_watched_seek(double t, double now);
void tr_watched_catch_up(double now);
void tr_watched_restart_clock(double now);
double tr_watched_wake_delay();
void tr_watched_close();
}

namespace tilerush {

RemoteWatched::~RemoteWatched() { tr_watched_close(); }

void RemoteWatched::start(std::int64_t realNs) { tr_watched_start(pageMs(realNs)); }

void RemoteWatched::key(int code, bool repeat, std::int64_t realNs) {
  tr_watched_key(code, repeat ? 1 : 0, pageMs(realNs));
}

void RemoteWatched::playOrPause(std::int64_t realNs) { tr_watched_play_or_pause(pageMs(realNs)); }

void RemoteWatched::setSpeed(int index, std::int64_t realNs) { tr_watched_speed(index, pageMs(realNs)); }

void RemoteWatched::seek(std::int64_t t, std::int64_t realNs) {
  tr_watched_seek(static_cast<double>(t), pageMs(realNs));
}

void RemoteWatched::catchUp(std::int64_t realNs) { tr_watched_catch_up(pageMs(realNs)); }

void RemoteWatched::restartClock(std::int64_t realNs) { tr_watched_restart_clock(pageMs(realNs)); }

std::optional<std::int64_t> RemoteWatched::wakeDelayNs() const {
  const double ms = tr_watched_wake_delay();
  if (ms < 0) return std::nullopt;
  return pageNs(ms);
}

}  // namespace tilerush
