// Font stand-ins keep each face's character: a heavy condensed sans for the box
// captions, a script for "Game Over", a Chinese serif for "Pause".
#include "display/qt/fonts.h"

#include <QFontMetricsF>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace tilerush {
namespace {

constexpr std::size_t kWidthsKeptPerFont = 256;

}  // namespace

void installFontSubstitutions() {
  if (!QFont::substitutes("Impact").isEmpty()) return;
  // Only used where the named face itself is missing.
  QFont::insertSubstitution("Impact", "Open Sans Condensed");
  QFont::insertSubstitution("Lucida Handwriting", "Dancing Script");
  QFont::insertSubstitutions("MS Song", QStringList{"AR PL UMing CN", "Liberation Serif"});
  QFont::insertSubstitution("Arial", "Liberation Sans");
  QFont::insertSubstitution("Times New Roman", "Liberation Serif");
}

QFont gameFont(const Font& font, double scale) {
  QFont qfont(QString::fromStdString(font.face));
  // 96 pixels an inch, 72 points an inch.
  qfont.setPixelSize(std::max(1, static_cast<int>(std::lround(font.points * 96.0 / 72.0 * scale))));
  qfont.setBold(font.bold);
  return qfont;
}

FontBook::Entry& FontBook::entry(const Font& font) {
  auto known = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.font == font; });
  if (known != entries_.end()) return *known;
  return entries_.emplace_back(Entry{font, gameFont(font), {}});
}

const QFont& FontBook::font(const Font& font) { return entry(font).qfont; }

double FontBook::captionWidth(const Font& font, const std::string& caption) {
  Entry& e = entry(font);
  if (auto it = e.widths.find(caption); it != e.widths.end()) return it->second;
  if (e.widths.size() >= kWidthsKeptPerFont) e.widths.clear();
  const double width = QFontMetricsF(e.qfont).horizontalAdvance(QString::fromStdString(caption));
  e.widths.emplace(caption, width);
  return width;
}

}  // namespace tilerush
