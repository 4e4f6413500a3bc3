// Every key Tilerush knows, by the key codes the game reads (Left 37, Right 39, P 80
// and so on): the window and the page turn their toolkit's keys into these, so that
// the game, its front ends and a replay's `key` lines all speak of one code.
#pragma once

namespace tilerush {

// The shift state of a key event, as the game's key handlers take it.
inline constexpr int kShiftHeld = 1;
inline constexpr int kControlHeld = 2;
inline constexpr int kAltHeld = 4;

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

// The rest of the keyboard, as the window names it to the game: keys that act on
// nothing still stop the paddle when let go, as any key does. Letters and digits are
// their capital characters ('A', '0'); F1 to F24 follow on from kKeyF1.
inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyShift = 16;
inline constexpr int kKeyControl = 17;
inline constexpr int kKeyAlt = 18;
inline constexpr int kKeyPause = 19;
inline constexpr int kKeyCapsLock = 20;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyPrintScreen = 44;
inline constexpr int kKeyInsert = 45;
inline constexpr int kKeyDelete = 46;
inline constexpr int kKeyMeta = 91;
inline constexpr int kKeyMenu = 93;
inline constexpr int kKeyF1 = 112;
inline constexpr int kKeyNumLock = 144;
inline constexpr int kKeyScrollLock = 145;
// Punctuation by the key it sits on (US layout), whatever the character typed.
inline constexpr int kKeySemicolon = 186;
inline constexpr int kKeySlash = 191;
inline constexpr int kKeyBackquote = 192;
inline constexpr int kKeyBracketLeft = 219;
inline constexpr int kKeyBackslash = 220;
inline constexpr int kKeyBracketRight = 221;
inline constexpr int kKeyQuote = 222;
// The number pad's keys the page tells apart (the window gives its digits as digits).
inline constexpr int kKeyPad0 = 96;
inline constexpr int kKeyPadMultiply = 106;
inline constexpr int kKeyPadDecimal = 110;
inline constexpr int kKeyPadDivide = 111;

}  // namespace tilerush
