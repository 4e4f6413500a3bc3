// Back-to-front painting of the part of the window that changed.
#include "display/qt/canvas.h"

#include <QAccessible>
#include <QPaintEvent>
#include <QPainter>

#include "display/qt/element_painter.h"

namespace tilerush {

Canvas::Canvas(const Display& display, QWidget* parent) : QWidget(parent), display_(display) {
  // Every exposed pixel is painted here, face colour first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void Canvas::setReadouts(std::vector<Readout> readouts) {
  installReadoutAccessibility();
  readouts_ = std::move(readouts);
}

void Canvas::elementChanged(const Element& element, const Rect& before) {
  if (QAccessible::isActive()) announceReadout(element);
  update(pixelBounds(before));
  const QRect now = paintedBounds(element, fonts_);
  update(now);
  if (element.kind() != ElementKind::Label) return;
  auto [last, first] = labelPixels_.try_emplace(&element, now);
  if (!first) {
    update(last->second);
    last->second = now;
  }
}

void Canvas::announceReadout(const Element& element) {
  for (std::size_t i = 0; i < readouts_.size(); ++i) {
    if (readouts_[i].element != element.name()) continue;
    QAccessibleEvent event(this, QAccessible::NameChanged);
    event.setChild(static_cast<int>(i));
    QAccessible::updateAccessibility(&event);
  }
}

void Canvas::rebuild() {
  labelPixels_.clear();
  update();
}

// A label's caption is measured when it changes, not at every repaint of every label.
QRect Canvas::paintedBoundsOf(const Element& element) {
  if (element.kind() != ElementKind::Label) return pixelBounds(element.bounds());
  auto [known, first] = labelPixels_.try_emplace(&element);
  if (first) known->second = paintedBounds(element, fonts_);
  return known->second;
}

void Canvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRegion& exposed = event->region();
  painter.fillRect(event->rect(), toQColor(kSystemFace));
  for (const Element* element : display_.stackingOrder()) {
    if (!element->visible()) continue;
    if (!exposed.intersects(paintedBoundsOf(*element))) continue;
    paintElement(painter, *element, fonts_);
  }
}

}  // namespace tilerush
