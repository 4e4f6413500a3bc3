// Writes what the page's own scripts and style sheet must know of the game before its
// WebAssembly has loaded: the game area's size, the board (its place, middle and
// colour), the game's key codes, and what the timeline shows and holds to while a
// replay is watched, all from the layout table, the game's keys and the stage's facts,
// so that the page never spells them out a second time.
//   tilerush-page-layout LAYOUT.js LAYOUT.css
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "display/element.h"
#include "game/keys.h"
#include "game/layout.h"
#include "levels/brick_colors.h"
#include "levels/level_set.h"
#include "sim/replay_show.h"
#include "stage/facts.h"
#include "stage/stage.h"

namespace {

using tilerush::kTwipsPerPixel;

// The layout keeps colours as 0x00BBGGRR.
std::string cssColour(tilerush::Color c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  return text;
}

const tilerush::ElementSpec* find(const char* name) {
  for (const auto& e : tilerush::formLayout()) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

std::string rgb(std::uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(colour));
  return text;
}

// A JSON string of plain text: the names and words written here hold no quote.
std::string quoted(std::string_view text) { return '"' + std::string(text) + '"'; }

// In the shortest spelling: 568, 284.5.
std::string px(double twips) {
  std::ostringstream text;
  text << twips / kTwipsPerPixel;
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  const tilerush::ElementSpec* board = find("board");
  if (argc != 3 || !board) {
    std::cerr << "usage: tilerush-page-layout LAYOUT.js LAYOUT.css (and a layout with a board)\n";
    return 2;
  }
  const auto& b = board->bounds;
  std::ofstream js(argv[1]);
  js << "// Written by the build (src/web/page_layout.cpp) from the game's layout table.\n"
     << "// The game area, in pixels of its layout.\n"
     << "export const AREA = Object.freeze({ width: " << px(tilerush::kWindowWidth)
     << ", height: " << px(tilerush::kWindowHeight) << " });\n"
     << "// The board, where the ball plays, and its middle.\n"
     << "export const BOARD = Object.freeze({ left: " << px(b.left) << ", top: " << px(b.top)
     << ", width: " << px(b.width) << ", height: " << px(b.height)
     << ", middleX: " << px(b.left + b.width / 2) << ", middleY: " << px(b.top + b.height / 2)
     << ", colour: '" << cssColour(board->fillColor) << "' });\n"
     << "// The key codes the game, the page and a watched replay's viewer know.\n"
     << "export const KEYS = Object.freeze({ left: " << tilerush::kKeyLeft
     << ", right: " << tilerush::kKeyRight << ", pause: " << tilerush::kKeyP << ", sound: " << tilerush::kKeyM
     << ", f11: " << tilerush::kKeyF11 << ", enter: " << tilerush::kKeyEnter
     << ", escape: " << tilerush::kKeyEscape << ", space: " << tilerush::kKeySpace
     << ", pageUp: " << tilerush::kKeyPageUp << ", pageDown: " << tilerush::kKeyPageDown
     << ", end: " << tilerush::kKeyEnd << ", home: " << tilerush::kKeyHome
     << ", minus: " << tilerush::kKeyMinus << ", padMinus: " << tilerush::kKeyPadMinus
     << ", equals: " << tilerush::kKeyEquals << ", padPlus: " << tilerush::kKeyPadPlus
     << ", period: " << tilerush::kKeyPeriod << ", comma: " << tilerush::kKeyComma
     << ",\n  backspace: " << tilerush::kKeyBackspace << ", tab: " << tilerush::kKeyTab
     << ", shift: " << tilerush::kKeyShift << ", control: " << tilerush::kKeyControl
     << ", alt: " << tilerush::kKeyAlt << ", pauseBreak: " << tilerush::kKeyPause
     << ", capsLock: " << tilerush::kKeyCapsLock << ", up: " << tilerush::kKeyUp
     << ", down: " << tilerush::kKeyDown << ", printScreen: " << tilerush::kKeyPrintScreen
     << ", insert: " << tilerush::kKeyInsert << ", delete: " << tilerush::kKeyDelete
     << ", meta: " << tilerush::kKeyMeta << ", menu: " << tilerush::kKeyMenu << ", f1: " << tilerush::kKeyF1
     << ", numLock: " << tilerush::kKeyNumLock << ", scrollLock: " << tilerush::kKeyScrollLock
     << ", semicolon: " << tilerush::kKeySemicolon << ", slash: " << tilerush::kKeySlash
     << ", backquote: " << tilerush::kKeyBackquote << ", bracketLeft: " << tilerush::kKeyBracketLeft
     << ", backslash: " << tilerush::kKeyBackslash << ", bracketRight: " << tilerush::kKeyBracketRight
     << ", quote: " << tilerush::kKeyQuote << ", pad0: " << tilerush::kKeyPad0
     << ", padMultiply: " << tilerush::kKeyPadMultiply << ", padDecimal: " << tilerush::kKeyPadDecimal
     << ", padDivide: " << tilerush::kKeyPadDivide << " });\n"
     << "// A key event's shift state, as the stage takes it: the sum of those held.\n"
     << "export const SHIFT = Object.freeze({ shift: " << tilerush::kShiftHeld
     << ", control: " << tilerush::kControlHeld << ", alt: " << tilerush::kAltHeld << " });\n";
  // The editor's cells, painted as the game paints its bricks.
  js << "// A level set: its maps' size, how many it holds, its longest title, and each\n"
     << "// digit's brick colour as the game paints it (0, no brick, is the board's).\n"
     << "export const LEVELS = Object.freeze({ columns: " << tilerush::levels::kMapColumns
     << ", rows: " << tilerush::levels::kMapRows << ", mostMaps: " << tilerush::levels::kMostMaps
     << ", longestTitle: " << tilerush::levels::kLongestTitle << ",\n  colours: Object.freeze([";
  for (std::size_t digit = 0; digit < tilerush::levels::kBrickColors.size(); ++digit) {
    js << (digit ? ", " : "") << "'"
       << cssColour(digit ? tilerush::levels::kBrickColors[digit] : board->fillColor) << "'";
  }
  js << "]) });\n";
  // What a replay may be, and how its timeline shows it.
  js << "// A replay: the largest file or link, its timeline's speeds by name (slowest first)\n"
     << "// and the normal one, and its marks' looks by kind. The timeline's step and how\n"
     << "// often it follows are the stage's alone, in the WebAssembly.\n"
     << "export const REPLAYS = Object.freeze({ longestBytes: " << tilerush::stage::kLongestReplayBytes
     << ", normalSpeed: " << tilerush::sim::kNormalSpeed << ",\n  speedNames: Object.freeze([";
  for (std::size_t i = 0; i < tilerush::stage::kSpeedNames.size(); ++i) {
    js << (i ? ", " : "") << quoted(tilerush::stage::kSpeedNames[i]);
  }
  js << "]),\n  marks: Object.freeze({";
  for (std::size_t i = 0; i < tilerush::stage::kMarkKinds.size(); ++i) {
    const tilerush::stage::MarkLook look = tilerush::stage::markLook(tilerush::stage::kMarkKinds[i]);
    js << (i ? ", " : " ") << quoted(look.name) << ": Object.freeze({ words: " << quoted(look.words)
       << ", colour: " << quoted(rgb(look.colour)) << " })";
  }
  js << " }) });\n";
  std::ofstream css(argv[2]);
  css << "/* Written by the build (src/web/page_layout.cpp) from the game's layout table. */\n"
      << ":root {\n"
      << "  --tilerush-width: " << px(tilerush::kWindowWidth) << "px;\n"
      << "  --tilerush-height: " << px(tilerush::kWindowHeight) << "px;\n"
      << "  --tilerush-aspect: " << px(tilerush::kWindowWidth) << " / " << px(tilerush::kWindowHeight)
      << ";\n"
      << "  --tilerush-board: " << cssColour(board->fillColor) << ";\n";
  for (const auto kind : tilerush::stage::kMarkKinds) {
    const tilerush::stage::MarkLook look = tilerush::stage::markLook(kind);
    css << "  --tilerush-mark-" << look.name << ": " << rgb(look.colour) << ";\n";
  }
  css << "}\n";
  return js && css ? 0 : 1;
}
