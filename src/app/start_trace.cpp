#include "app/start_trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace tilerush {

void startMark(const char* what) {
  static const char* const started = std::getenv("TILERUSH_START_TRACE");
  if (!started) return;
  const double startedSeconds = std::strtod(started, nullptr);
  const double nowSeconds =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  std::fprintf(stderr, "tilerush: start +%.1f ms: %s\n", (nowSeconds - startedSeconds) * 1000.0, what);
}

}  // namespace tilerush
