// Fitting the layout into the window, and the pixel arithmetic that follows from it.
#include "display/qt/game_area.h"

#include <algorithm>
#include <cmath>

namespace tilerush {
namespace {

int nearest(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

GameArea::GameArea(float widthTwips, float heightTwips)
    : natural_(nearest(widthTwips / kTwipsPerPixel), nearest(heightTwips / kTwipsPerPixel)),
      rect_(QPoint(0, 0), natural_) {}

QSize GameArea::smallestSize() const { return (QSizeF(natural_) / 2).toSize().expandedTo(QSize(1, 1)); }

GameArea GameArea::fittedTo(QSize window) const {
  const double scale =
      std::min(double(window.width()) / natural_.width(), double(window.height()) / natural_.height());
  if (scale <= 0) return GameArea(natural_, 1, QRect(QPoint(0, 0), natural_));
  const QSize size(std::min(window.width(), nearest(natural_.width() * scale)),
                   std::min(window.height(), nearest(natural_.height() * scale)));
  const QPoint corner((window.width() - size.width()) / 2, (window.height() - size.height()) / 2);
  return GameArea(natural_, scale, QRect(corner, size));
}

QPointF GameArea::toTwips(QPointF windowPixel) const {
  return (windowPixel - QPointF(rect_.topLeft())) / scale_ * kTwipsPerPixel;
}

QPointF GameArea::toWindow(QPointF twips) const {
  return twips / kTwipsPerPixel * scale_ + QPointF(rect_.topLeft());
}

QRect GameArea::cover(const QRect& layoutPixels) const {
  if (scale_ == 1) return layoutPixels;
  const int left = static_cast<int>(std::floor(layoutPixels.left() * scale_));
  const int top = static_cast<int>(std::floor(layoutPixels.top() * scale_));
  const int right = static_cast<int>(std::ceil((layoutPixels.right() + 1) * scale_));
  const int bottom = static_cast<int>(std::ceil((layoutPixels.bottom() + 1) * scale_));
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRect GameArea::placed(const Rect& twips) const {
  auto pixels = [this](float v) { return nearest(v / kTwipsPerPixel * scale_); };
  return QRect(rect_.left() + pixels(twips.left), rect_.top() + pixels(twips.top), pixels(twips.width),
               pixels(twips.height));
}

}  // namespace tilerush
