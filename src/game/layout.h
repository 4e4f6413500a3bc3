// The window's elements as they stand before start-up: geometry, colours, captions.
#pragma once

#include <vector>

#include "display/display.h"

namespace tilerush {

// Client area of the window, twips.
inline constexpr float kWindowWidth = 8520;
inline constexpr float kWindowHeight = 7335;
inline constexpr const char* kWindowCaption = "Tilerush!";

// Shapes and labels come back to front, then the push buttons and the timers.
const std::vector<ElementSpec>& formLayout();

}  // namespace tilerush
