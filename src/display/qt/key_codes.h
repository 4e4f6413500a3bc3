// The game's key codes and shift state, from Qt's keys and modifiers.
#pragma once

#include <Qt>

namespace tilerush {

// Left 37, Right 39, letters and digits as their upper-case character code; the other
// keys keep a code of their own that never passes for a game key.
int gameKeyCode(int qtKey);
// Bit 1 Shift, bit 2 Ctrl, bit 4 Alt.
int gameShiftState(Qt::KeyboardModifiers modifiers);

}  // namespace tilerush
