// Where the game's layout lies in a window of any size, and at what scale: the one
// mapping between the window's pixels and the layout's twips.
#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>

#include "display/element.h"

namespace tilerush {

// The layout is drawn whole at the largest scale that fits the window, centred in
// it; a "layout pixel" is a pixel at scale 1 (15 twips). Window pixels are Qt's
// logical pixels, whatever the screen's device pixel ratio.
class GameArea {
 public:
  // A layout of `width` x `height` twips in a window of exactly its natural size.
  GameArea(float widthTwips, float heightTwips);

  // The same layout fitted into a window of `window` pixels.
  GameArea fittedTo(QSize window) const;

  // The window size at scale 1, and the smallest the window may be made.
  QSize naturalSize() const { return natural_; }
  QSize smallestSize() const;

  // Window pixels per layout pixel.
  double scale() const { return scale_; }
  // Where the layout lies, in window pixels.
  QRect rect() const { return rect_; }

  // A point of the window in twips of the layout, and back.
  QPointF toTwips(QPointF windowPixel) const;
  QPointF toWindow(QPointF twips) const;

  // Layout pixels as the pixels of the area they touch, counted from its corner:
  // edges rounded outwards, so that nothing drawn inside is left out.
  QRect cover(const QRect& layoutPixels) const;
  // Twips as whole pixels of the window, edges rounded to the nearest: where a
  // push button goes.
  QRect placed(const Rect& twips) const;

 private:
  GameArea(QSize natural, double scale, QRect rect) : natural_(natural), scale_(scale), rect_(rect) {}

  QSize natural_;
  double scale_ = 1;
  QRect rect_;
};

}  // namespace tilerush
