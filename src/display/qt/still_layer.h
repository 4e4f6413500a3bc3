// The picture of every shape and label that stays still, kept between repaints: what
// moves (the ball, the paddle, the title balls) is drawn over a copy of it instead of
// everything beneath being drawn again.
#pragma once

#include <QImage>
#include <QRegion>
#include <unordered_set>
#include <vector>

#include "display/element.h"

class QPainter;

namespace tilerush {

class StillLayer {
 public:
  // Forgets the picture and which elements move: every element is new.
  void reset();
  // The picture is to be drawn again whole, at another size or scale.
  void discard() { image_ = QImage(); }

  // From the first repaint on, an element that changes place counts as moving, and
  // stays out of the picture. Start-up places everything once before that.
  void startWatching() { watching_ = true; }
  // An element changed, touching `area` (pixels of the canvas) before or after.
  // True when it was a still one (it may have just started moving).
  bool changed(const Element& element, bool moved, const QRect& area);
  bool moving(const Element& element) const { return moving_.count(&element) != 0; }
  // Moving elements, back to front.
  std::vector<const Element*> movingInOrder() const;

  // Makes sure a picture of `size` pixels exists for a canvas at `ratio` device
  // pixels a pixel (a new one is out of date everywhere). False where no copy can
  // land on whole device pixels, and the canvas is to be painted directly.
  bool prepare(QSize size, qreal ratio);
  // Where the picture no longer shows the still elements; drawing them there, then
  // calling redrawn(), brings it up to date.
  const QRegion& outOfDate() const { return outOfDate_; }
  QImage& image() { return image_; }
  void redrawn() { outOfDate_ = QRegion(); }

  // Copies the picture onto the canvas inside `region`, pixel for pixel.
  void copyTo(QPainter& painter, const QRegion& region) const;

 private:
  static constexpr int kMostAreas = 48;

  QImage image_;
  QRegion outOfDate_;
  std::unordered_set<const Element*> moving_;
  bool watching_ = false;
};

}  // namespace tilerush
