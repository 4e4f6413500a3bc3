// Font stand-ins keep each face's character: a heavy condensed sans for the box
// captions, a script for "Game Over", a Chinese serif for "Pause".
#include "display/web/web_fonts.h"

#include <array>
#include <cmath>
#include <string_view>
#include <utility>

namespace tilerush {
namespace {

// The same stand-ins as the window's; the page's script loads these families.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kServedFaces = {{
    {"Impact", "Open Sans Condensed"},
    {"Lucida Handwriting", "Dancing Script"},
    {"MS Song", "AR PL UMing CN"},
    {"Arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
}};

}  // namespace

std::string cssFont(const Font& font) {
  std::string_view family = "Liberation Sans";
  for (auto [face, served] : kServedFaces) {
    if (face == font.face) family = served;
  }
  // 96 pixels an inch, 72 points an inch.
  const long pixels = std::lround(font.points * 96.0 / 72.0);
  std::string css = font.bold ? "bold " : "";
  css += std::to_string(pixels < 1 ? 1 : pixels) + "px \"";
  css += family;
  return css + "\"";
}

}  // namespace tilerush
