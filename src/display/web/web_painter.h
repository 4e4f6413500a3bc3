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

// The pixels an element can touch, with `spare` pixels round it for antialiased edges
// (sparePixels).
PixelArea pixelBounds(const Rect& twips, int spare);

// The pixels an element paints, a caption running past its label included.
PixelArea paintedBounds(const Element& element, int spare);

// The pixels to spare round an element at this many device pixels a pixel: one, or as
// many as make at least one device pixel. Repainting an area clears the device pixels
// its edges cut, and an element that an edge's pixel reaches into, but that lies outside
// the area by less than a device pixel, would not be painted again there.
int sparePixels(double devicePixelsPerPixel);

// Paints a visible shape or label. Geometry comes from the model in twips, fractions
// included; only the page's script puts straight edges on device pixels.
void paintElement(const Element& element);

}  // namespace tilerush
