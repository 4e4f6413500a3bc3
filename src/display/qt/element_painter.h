// Drawing one shape or label of the element model.
#pragma once

#include <QColor>
#include <QRect>

#include "display/element.h"
#include "display/qt/fonts.h"

class QPainter;

namespace tilerush {

// 0x00BBGGRR, red in the low byte.
QColor toQColor(Color color);

// The pixels an element can touch, with a pixel to spare for antialiased edges.
QRect pixelBounds(const Rect& twips);

// Where a label's caption is drawn, in pixels: one line, which may run past the label.
QRectF captionArea(const Element& label, FontBook& fonts);

// The pixels an element paints, a caption running past its label included.
QRect paintedBounds(const Element& element, FontBook& fonts);

// Paints a visible shape or label. The painter works in pixels; geometry is taken
// from the model in twips, fractions included, and never rounded on the way.
void paintElement(QPainter& painter, const Element& element, FontBook& fonts);

}  // namespace tilerush
