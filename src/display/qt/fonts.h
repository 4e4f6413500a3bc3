// The layout's fonts as Qt fonts, with stand-ins for faces a Linux desktop lacks.
#pragma once

#include <QFont>
#include <string>
#include <unordered_map>
#include <vector>

#include "display/element.h"

namespace tilerush {

// Registers the stand-in faces; calling it again changes nothing.
void installFontSubstitutions();

// The named face at the layout's size, in pixels at 96 dots per inch whatever the
// screen says, so that every caption keeps its place in the twip layout; `scale`
// times that where the layout is shown larger or smaller.
QFont gameFont(const Font& font, double scale = 1);

// The fonts a window paints with, each made once, and the widths of the captions
// measured in them. Measuring a caption means laying it out, the dearest step of
// painting it; captions are measured at every change and every repaint, but few
// differ, so each width is measured once per font. Scores run through many texts:
// a font's table starts afresh when it grows large.
class FontBook {
 public:
  const QFont& font(const Font& font);
  double captionWidth(const Font& font, const std::string& caption);

 private:
  struct Entry {
    Font font;
    QFont qfont;
    std::unordered_map<std::string, double> widths;
  };
  Entry& entry(const Font& font);

  std::vector<Entry> entries_;
};

}  // namespace tilerush
