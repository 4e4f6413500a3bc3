// Font stand-ins keep each face's character: a heavy condensed sans for the box
// captions, a script for "Game Over", a Chinese serif for "Pause".
#include "display/qt/fonts.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <vector>

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
  // Asked for at every paint of every caption, and the layout has only a handful:
  // each is made once, so that Qt matches the face once too.
  static std::vector<std::pair<Font, QFont>> made;
  for (const auto& [known, qfont] : made) {
    if (known.face == font.face && known.points == font.points && known.bold == font.bold) return qfont;
  }
  QFont qfont(QString::fromStdString(font.face));
  // 96 pixels an inch, 72 points an inch.
  qfont.setPixelSize(std::max(1, static_cast<int>(std::lround(font.points * 96.0 / 72.0))));
  qfont.setBold(font.bold);
  made.emplace_back(font, qfont);
  return qfont;
}

}  // namespace tilerush
