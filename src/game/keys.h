// Every key Tilerush knows, by the key codes the game reads (Left 37, Right 39, P 80
// and so on): the window and the page turn their toolkit's keys into these, so that
// the game, its front ends and a replay's `key` lines all speak of one code.
#pragma once

namespace tilerush {

// The game's own: the paddle and the pause.
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyP = 80;

// The front ends': the sound, and full screen (F11, Alt+Enter, Escape to leave).
inline constexpr int kKeyM = 77;
inline constexpr int kKeyF11 = 122;
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;

// A watched replay's, besides Left and Right.
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyPageUp = 33;
inline constexpr int kKeyPageDown = 34;
inline constexpr int kKeyEnd = 35;
inline constexpr int kKeyHome = 36;
inline constexpr int kKeyMinus = 189;
inline constexpr int kKeyPadMinus = 109;
inline constexpr int kKeyEquals = 187;  // + on most layouts
inline constexpr int kKeyPadPlus = 107;
inline constexpr int kKeyPeriod = 190;
inline constexpr int kKeyComma = 188;

}  // namespace tilerush
