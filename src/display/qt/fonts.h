// The layout's fonts as Qt fonts, with stand-ins for faces a Linux desktop lacks.
#pragma once

#include <QFont>

#include "display/element.h"

namespace tilerush {

// Registers the stand-in faces once; safe to call again.
void installFontSubstitutions();

// The named face at the layout's size, in pixels at 96 dots per inch whatever the
// screen says, so that every caption keeps its place in the twip layout.
QFont gameFont(const Font& font);

}  // namespace tilerush
