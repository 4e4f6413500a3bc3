// What a screen reader hears of the canvas: a few counters it paints, read as text.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "display/display.h"

class QAccessibleInterface;
class QObject;

namespace tilerush {

// One counter: the caption of a label, or how many members of an element array are
// shown (life markers, say), under a name a listener understands.
struct Readout {
  QString name;
  std::string element;
};

// The text of a readout as the window shows it now.
QString readoutText(const Display& display, const Readout& readout);

// Makes the canvas's readouts children of its accessible interface; call once.
void installReadoutAccessibility();

}  // namespace tilerush
