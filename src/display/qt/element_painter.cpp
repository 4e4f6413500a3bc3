// Shapes and labels. Straight edges are drawn aliased so that they stay crisp; curves
// and text are antialiased, at whatever resolution the window has.
#include "display/qt/element_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "display/qt/fonts.h"

namespace tilerush {
namespace {

QRectF twipRect(const Rect& r) { return QRectF(r.left, r.top, r.width, r.height); }

// An outline `pen` twips thick just inside the bounds, drawn as two fills so that it
// lands on whole pixels wherever the bounds do.
void paintRectangle(QPainter& painter, const QRectF& bounds, const QColor& fill, const QColor& outline,
                    double pen) {
  painter.fillRect(bounds, outline);
  const QRectF inner = bounds.adjusted(pen, pen, -pen, -pen);
  if (inner.isValid()) painter.fillRect(inner, fill);
}

void paintCurvedShape(QPainter& painter, const Element& shape, const QRectF& bounds, double pen) {
  const Style& style = shape.style();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(toQColor(style.outline), pen));
  painter.setBrush(toQColor(shape.fillColor()));
  // Centre the stroke half a pen inside, so that the outline stays within bounds.
  if (style.form == ShapeForm::Circle) {
    const double diameter = std::min(bounds.width(), bounds.height()) - pen;
    const QPointF centre = bounds.center();
    painter.drawEllipse(centre, diameter / 2, diameter / 2);
  } else {
    const QRectF inset = bounds.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
    const double radius = std::min(bounds.width(), bounds.height()) / 4;
    painter.drawRoundedRect(inset, radius, radius);
  }
}

void paintShape(QPainter& painter, const Element& shape) {
  const QRectF bounds = twipRect(shape.bounds());
  const double pen = shape.style().outlinePixels * kTwipsPerPixel;
  if (shape.style().form == ShapeForm::Rectangle) {
    paintRectangle(painter, bounds, toQColor(shape.fillColor()), toQColor(shape.style().outline), pen);
  } else {
    paintCurvedShape(painter, shape, bounds, pen);
  }
}

Qt::Alignment textAlignment(Alignment alignment) {
  switch (alignment) {
    case Alignment::Right:
      return Qt::AlignRight;
    case Alignment::Center:
      return Qt::AlignHCenter;
    case Alignment::Left:
      break;
  }
  return Qt::AlignLeft;
}

// The pixels inside a label's border, where its caption starts.
QRectF textBox(const Element& label) {
  const Rect& r = label.bounds();
  QRectF box(r.left / kTwipsPerPixel, r.top / kTwipsPerPixel, r.width / kTwipsPerPixel,
             r.height / kTwipsPerPixel);
  return label.style().bordered ? box.adjusted(1, 1, -1, -1) : box;
}

// Text in pixels: glyphs are laid out at their real size, not shrunk from a large one.
void paintCaption(QPainter& painter, const Element& label, FontBook& fonts) {
  const Style& style = label.style();
  painter.save();
  painter.setRenderHint(QPainter::TextAntialiasing, true);
  painter.setFont(fonts.font(style.font));
  painter.setPen(toQColor(style.textColor));
  painter.drawText(captionArea(label, fonts),
                   textAlignment(style.alignment) | Qt::AlignTop | Qt::TextSingleLine,
                   QString::fromStdString(label.caption()));
  painter.restore();
}

void paintLabelBox(QPainter& painter, const Element& label) {
  const Style& style = label.style();
  const QRectF bounds = twipRect(label.bounds());
  if (!style.transparent) painter.fillRect(bounds, toQColor(label.backColor()));
  if (style.bordered) {
    const double pen = kTwipsPerPixel;
    const QColor black = toQColor(kSystemText);
    painter.fillRect(QRectF(bounds.left(), bounds.top(), bounds.width(), pen), black);
    painter.fillRect(QRectF(bounds.left(), bounds.bottom() - pen, bounds.width(), pen), black);
    painter.fillRect(QRectF(bounds.left(), bounds.top(), pen, bounds.height()), black);
    painter.fillRect(QRectF(bounds.right() - pen, bounds.top(), pen, bounds.height()), black);
  }
}

// Runs `draw` with the painter counting in twips, straight edges aliased.
template <typename Draw>
void inTwips(QPainter& painter, Draw draw) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.scale(1 / kTwipsPerPixel, 1 / kTwipsPerPixel);
  draw();
  painter.restore();
}

}  // namespace

QColor toQColor(Color color) { return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

QRect pixelBounds(const Rect& twips) {
  const int left = static_cast<int>(std::floor(twips.left / kTwipsPerPixel)) - 1;
  const int top = static_cast<int>(std::floor(twips.top / kTwipsPerPixel)) - 1;
  const int right = static_cast<int>(std::ceil((twips.left + twips.width) / kTwipsPerPixel)) + 1;
  const int bottom = static_cast<int>(std::ceil((twips.top + twips.height) / kTwipsPerPixel)) + 1;
  return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRectF captionArea(const Element& label, FontBook& fonts) {
  QRectF area = textBox(label);
  const double width = fonts.captionWidth(label.style().font, label.caption());
  if (width <= area.width()) return area;
  // A caption wider than its label runs out of it on the side away from the alignment.
  switch (label.style().alignment) {
    case Alignment::Left:
      area.setWidth(width);
      break;
    case Alignment::Right:
      area.setLeft(area.right() - width);
      break;
    case Alignment::Center:
      area.adjust(-(width - area.width()) / 2, 0, (width - area.width()) / 2, 0);
      break;
  }
  return area;
}

QRect paintedBounds(const Element& element, FontBook& fonts) {
  QRect bounds = pixelBounds(element.bounds());
  if (element.kind() == ElementKind::Label && !element.caption().empty()) {
    bounds |= captionArea(element, fonts).toAlignedRect().adjusted(-1, -1, 1, 1);
  }
  return bounds;
}

void paintElement(QPainter& painter, const Element& element, FontBook& fonts) {
  if (element.kind() == ElementKind::Shape) {
    inTwips(painter, [&] { paintShape(painter, element); });
  } else if (element.kind() == ElementKind::Label) {
    inTwips(painter, [&] { paintLabelBox(painter, element); });
    if (!element.caption().empty()) paintCaption(painter, element, fonts);
  }
}

}  // namespace tilerush
