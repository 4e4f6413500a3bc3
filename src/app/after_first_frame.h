// Work that the first frame does not need, started once that frame is on screen.
#pragma once

#include <QWidget>
#include <functional>

namespace tilerush {

// Calls `then` once, just after `widget` has painted for the first time, or after a
// second if it never does (a window opened hidden or minimised), so that what starts
// late is still there within the first second.
void afterFirstFrame(QWidget& widget, std::function<void()> then);

}  // namespace tilerush
