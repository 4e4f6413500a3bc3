// Marks on the way from exec to the first frame, for finding where a slow start
// spends its time.
#pragma once

namespace tilerush {

// With TILERUSH_START_TRACE holding the moment the game was started (seconds since
// the epoch, as bash's EPOCHREALTIME gives it), prints "tilerush: start +12.3 ms:
// what" on standard error; without it, does nothing. The measuring tools set it.
void startMark(const char* what);

}  // namespace tilerush
