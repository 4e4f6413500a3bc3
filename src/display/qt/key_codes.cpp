// Key code table: the virtual key numbers the game was written against.
#include "display/qt/key_codes.h"

#include <array>
#include <utility>

namespace tilerush {
namespace {

// Keys without a character of their own, by the number the game knows them as.
constexpr std::array<std::pair<int, int>, 38> kNamedKeys = {{
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Meta, 91},
    {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    // Punctuation takes the number of the key it sits on, so that a quote (39 as a
    // character) or a percent sign (37) never steers the paddle.
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Equal, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_Slash, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_Apostrophe, 222},
}};

// Shifted characters of the US layout, by the key they are typed on.
constexpr std::array<std::pair<int, int>, 21> kShiftedKeys = {{
    {Qt::Key_Exclam, '1'},     {Qt::Key_At, '2'},         {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},     {Qt::Key_Percent, '5'},    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},  {Qt::Key_Asterisk, '8'},   {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'}, {Qt::Key_Colon, 186},      {Qt::Key_Plus, 187},
    {Qt::Key_Less, 188},       {Qt::Key_Underscore, 189}, {Qt::Key_Greater, 190},
    {Qt::Key_Question, 191},   {Qt::Key_AsciiTilde, 192}, {Qt::Key_BraceLeft, 219},
    {Qt::Key_Bar, 220},        {Qt::Key_BraceRight, 221}, {Qt::Key_QuoteDbl, 222},
}};

}  // namespace

int gameKeyCode(int qtKey) {
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
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
  if (modifiers & Qt::ShiftModifier) shift |= 1;
  if (modifiers & Qt::ControlModifier) shift |= 2;
  if (modifiers & Qt::AltModifier) shift |= 4;
  return shift;
}

}  // namespace tilerush
