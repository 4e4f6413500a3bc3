// The layout's fonts as CSS fonts, in the faces the page serves.
#pragma once

#include <string>

#include "display/element.h"

namespace tilerush {

// A CSS font for the named face at the layout's size: pixels at 96 dots per inch, as
// the window has them, so that every caption keeps its place in the twip layout. The
// page serves the window's stand-ins for faces a Linux desktop lacks, and nothing else.
std::string cssFont(const Font& font);

}  // namespace tilerush
