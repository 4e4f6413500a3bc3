// Key code table: the virtual key numbers the game was written against.
#include "display/qt/key_codes.h"

#include <array>
#include <utility>

#include "game/keys.h"

namespace tilerush {
namespace {

// Keys without a character of their own, by the number the game knows them as.
constexpr std::array<std::pair<int, int>, 38> kNamedKeys = {{
    {Qt::Key_Backspace, kKeyBackspace},
    {Qt::Key_Tab, kKeyTab},
    {Qt::Key_Backtab, kKeyTab},
    {Qt::Key_Return, kKeyEnter},
    {Qt::Key_Enter, kKeyEnter},
    {Qt::Key_Shift, kKeyShift},
    {Qt::Key_Control, kKeyControl},
    {Qt::Key_Alt, kKeyAlt},
    {Qt::Key_Pause, kKeyPause},
    {Qt::Key_CapsLock, kKeyCapsLock},
    {Qt::Key_Escape, kKeyEscape},
    {Qt::Key_Space, kKeySpace},
    {Qt::Key_PageUp, kKeyPageUp},
    {Qt::Key_PageDown, kKeyPageDown},
    {Qt::Key_End, kKeyEnd},
    {Qt::Key_Home, kKeyHome},
    {Qt::Key_Left, kKeyLeft},
    {Qt::Key_Up, kKeyUp},
    {Qt::Key_Right, kKeyRight},
    {Qt::Key_Down, kKeyDown},
    {Qt::Key_Print, kKeyPrintScreen},
    {Qt::Key_Insert, kKeyInsert},
    {Qt::Key_Delete, kKeyDelete},
    {Qt::Key_Meta, kKeyMeta},
    {Qt::Key_Menu, kKeyMenu},
    {Qt::Key_NumLock, kKeyNumLock},
    {Qt::Key_ScrollLock, kKeyScrollLock},
    // Punctuation takes the number of the key it sits on, so that a quote (39 as a
    // character) or a percent sign (37) never steers the paddle.
    {Qt::Key_Semicolon, kKeySemicolon},
    {Qt::Key_Equal, kKeyEquals},
    {Qt::Key_Comma, kKeyComma},
    {Qt::Key_Minus, kKeyMinus},
    {Qt::Key_Period, kKeyPeriod},
    {Qt::Key_Slash, kKeySlash},
    {Qt::Key_QuoteLeft, kKeyBackquote},
    {Qt::Key_BracketLeft, kKeyBracketLeft},
    {Qt::Key_Backslash, kKeyBackslash},
    {Qt::Key_BracketRight, kKeyBracketRight},
    {Qt::Key_Apostrophe, kKeyQuote},
}};

// Shifted characters of the US layout, by the key they are typed on.
constexpr std::array<std::pair<int, int>, 21> kShiftedKeys = {{
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Colon, kKeySemicolon},
    {Qt::Key_Plus, kKeyEquals},
    {Qt::Key_Less, kKeyComma},
    {Qt::Key_Underscore, kKeyMinus},
    {Qt::Key_Greater, kKeyPeriod},
    {Qt::Key_Question, kKeySlash},
    {Qt::Key_AsciiTilde, kKeyBackquote},
    {Qt::Key_BraceLeft, kKeyBracketLeft},
    {Qt::Key_Bar, kKeyBackslash},
    {Qt::Key_BraceRight, kKeyBracketRight},
    {Qt::Key_QuoteDbl, kKeyQuote},
}};

}  // namespace

int gameKeyCode(int qtKey) {
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return kKeyF1 + (qtKey - Qt::Key_F1);
  for (auto [key, code] : kNamedKeys) {
    if (key == qtKey) return code;
  }
  for (auto [key, code] : kShiftedKeys) {
    if (key == qtKey) return code;
  }
  // Letters past ASCII keep their character code, which no game key shares.
  if (qtKey >= 0xA0 && qtKey <= 0xFFFF) return qtKey;
  // A key unknown here still stops the paddle when released.
  return 0;
}

int gameShiftState(Qt::KeyboardModifiers modifiers) {
  int shift = 0;
  if (modifiers & Qt::ShiftModifier) shift |= kShiftHeld;
  if (modifiers & Qt::ControlModifier) shift |= kControlHeld;
  if (modifiers & Qt::AltModifier) shift |= kAltHeld;
  return shift;
}

}  // namespace tilerush
