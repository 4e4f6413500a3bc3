// Keeping the still picture up to date, and copying it out.
#include "display/qt/still_layer.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tilerush {

void StillLayer::reset() {
  image_ = QImage();
  outOfDate_ = QRegion();
  moving_.clear();
  watching_ = false;
}

bool StillLayer::changed(const Element& element, bool moved, const QRect& area) {
  const bool wasStill = !moving(element);
  if (moved && watching_) moving_.insert(&element);
  // A picture yet to be made is out of date everywhere. An element that has just
  // started moving leaves the picture where it was.
  if (image_.isNull() || !wasStill) return wasStill;
  outOfDate_ += area;
  // A new level recolours hundreds of cells: past a few dozen areas, one rectangle
  // round them all is cheaper to keep and hardly more to draw.
  if (outOfDate_.rectCount() > kMostAreas) outOfDate_ = outOfDate_.boundingRect();
  return true;
}

std::vector<const Element*> StillLayer::movingInOrder() const {
  std::vector<const Element*> order(moving_.begin(), moving_.end());
  std::sort(order.begin(), order.end(),
            [](const Element* a, const Element* b) { return a->stackStamp() < b->stackStamp(); });
  return order;
}

bool StillLayer::prepare(QSize size, qreal ratio) {
  // A copy at a fractional ratio would land between device pixels.
  if (ratio != std::floor(ratio)) return false;
  const QSize pixels = size * ratio;
  if (image_.size() != pixels || image_.devicePixelRatio() != ratio) {
    // The format of the window's own backing store, so that shapes and text come out
    // in the picture exactly as they would on the window.
    image_ = QImage(pixels, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    outOfDate_ = QRegion(QRect(QPoint(0, 0), size));
  }
  return true;
}

void StillLayer::copyTo(QPainter& painter, const QRegion& region) const {
  const qreal ratio = image_.devicePixelRatio();
  for (const QRect& r : region) {
    painter.drawImage(QRectF(r), image_,
                      QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
  }
}

}  // namespace tilerush
