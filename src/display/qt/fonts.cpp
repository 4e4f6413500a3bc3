// Font stand-ins keep each face's character: a heavy condensed sans for the box
// captions, a script for "Game Over", a Chinese serif for "Pause".
#include "display/qt/fonts.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace tilerush {

void installFontSubstitutions() {
  static const bool installed = [] {
    // Only used where the named face itself is missing.
    QFont::insertSubstitution("Impact", "Open Sans Condensed");
    QFont::insertSubstitution("Lucida Handwriting", "Dancing Script");
    QFont::insertSubstitutions("MS Song", QStringList{"AR PL UMing CN", "Liberation Serif"});
    QFont::insertSubstitution("Arial", "Liberation Sans");
    QFont::insertSubstitution("Times New Roman", "Liberation Serif");
    return true;
  }();
  (void)installed;
}

QFont gameFont(const Font& font) {
  QFont qfont(QString::fromStdString(font.face));
  // 96 pixels an inch, 72 points an inch.
  qfont.setPixelSize(std::max(1, static_cast<int>(std::lround(font.points * 96.0 / 72.0))));
  qfont.setBold(font.bold);
  return qfont;
}

}  // namespace tilerush
