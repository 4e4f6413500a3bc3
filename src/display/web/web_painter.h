// Drawing one shape or label of the element model on the page's canvas.
#pragma once

#include "display/element.h"

namespace tilerush {

// Whole CSS pixels of the game area, right and bottom excluded.
struct PixelArea {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool empty() const { return right <= left || bottom <= top; }
  bool intersects(const PixelArea& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  // Whether the two overlap or touch, so that one area can stand for both.
  bool meets(const PixelArea& o) const {
    return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
  }
  PixelArea united(const PixelArea& o) const;
  PixelArea clipped(const PixelArea& o) const;
};

// The pixels an element can touch, with a pixel to spare for antialiased edges.
PixelArea pixelBounds(const Rect& twips);

// The pixels an element paints, a caption running past its label included.
PixelArea paintedBounds(const Element& element);

// Paints a visible shape or label. Geometry comes from the model in twips, fractions
// included; only the page's script puts straight edges on device pixels.
void paintElement(const Element& element);

}  // namespace tilerush
