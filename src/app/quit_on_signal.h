// Ends the window's event loop cleanly on SIGINT, SIGTERM and SIGHUP.
#pragma once

namespace tilerush {

// Turns those signals into a quit of the running QApplication, so that what runs
// after the event loop (finishing a replay being recorded) still runs. Call once,
// after the QApplication exists.
void quitOnSignals();

}  // namespace tilerush
