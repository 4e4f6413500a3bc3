// Writes what the page's own scripts and style sheet must know of the game before its
// WebAssembly has loaded: the game area's size, the board (its place, middle and
// colour) and the game's key codes, all from the layout table and the game's keys, so
// that the page never spells them out a second time.
//   tilerush-page-layout LAYOUT.js LAYOUT.css
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "display/element.h"
#include "game/keys.h"
#include "game/layout.h"

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
     << "// The key codes the game steers and pauses with.\n"
     << "export const KEYS = Object.freeze({ left: " << tilerush::kKeyLeft
     << ", right: " << tilerush::kKeyRight << ", pause: " << tilerush::kKeyP << " });\n";
  std::ofstream css(argv[2]);
  css << "/* Written by the build (src/web/page_layout.cpp) from the game's layout table. */\n"
      << ":root {\n"
      << "  --tilerush-width: " << px(tilerush::kWindowWidth) << "px;\n"
      << "  --tilerush-height: " << px(tilerush::kWindowHeight) << "px;\n"
      << "  --tilerush-aspect: " << px(tilerush::kWindowWidth) << " / " << px(tilerush::kWindowHeight)
      << ";\n"
      << "  --tilerush-board: " << cssColour(board->fillColor) << ";\n"
      << "}\n";
  return js && css ? 0 : 1;
}
