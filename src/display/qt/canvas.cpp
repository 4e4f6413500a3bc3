// Back-to-front painting of the part of the canvas that changed. What stays still is
// kept as a picture; where only moving things changed, they are drawn over a copy of
// it. The pixels are the same as painting everything again: each pixel either has no
// still element in front of a moving one, or is painted the full way.
#include "display/qt/canvas.h"

#include <QAccessible>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstdint>

#include "display/qt/element_painter.h"

namespace tilerush {
namespace {

bool samePlace(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

}  // namespace

Canvas::Canvas(const Display& display, const GameArea& area, QWidget* parent)
    : QWidget(parent), display_(&display), area_(area) {
  // Every exposed pixel is painted here, face colour first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(area.rect());
}

void Canvas::setReadouts(std::vector<Readout> readouts) {
  installReadoutAccessibility();
  readouts_ = std::move(readouts);
}

void Canvas::setArea(const GameArea& area) {
  const bool rescaled = area.scale() != area_.scale();
  area_ = area;
  setGeometry(area.rect());
  if (rescaled) {
    still_.discard();
    stillCoversStale_ = true;
    update();
  }
}

void Canvas::invalidate(const Element& element, bool moved, const QRect& layoutPixels) {
  const QRect pixels = area_.cover(layoutPixels);
  update(pixels);
  if (still_.changed(element, moved, pixels)) stillCoversStale_ = true;
}

// What the element covered before and covers now, as few rectangles as overlap
// allows: each one asked for costs Qt a pass over what it must repaint.
void Canvas::elementChanged(const Element& element, const Rect& before) {
  if (QAccessible::isActive()) announceReadout(element);
  const bool moved = !samePlace(before, element.bounds());
  QRect area = pixelBounds(before);
  auto add = [&](const QRect& more) {
    if (area.intersects(more)) {
      area |= more;
    } else {
      invalidate(element, moved, area);
      area = more;
    }
  };
  const QRect now = paintedBounds(element, fonts_);
  add(now);
  if (element.kind() == ElementKind::Label) {
    auto [last, first] = labelPixels_.try_emplace(&element, now);
    if (!first) {
      add(last->second);
      last->second = now;
    }
  }
  invalidate(element, moved, area);
}

void Canvas::announceReadout(const Element& element) {
  for (std::size_t i = 0; i < readouts_.size(); ++i) {
    if (readouts_[i].element != element.name()) continue;
    QAccessibleEvent event(this, QAccessible::NameChanged);
    event.setChild(static_cast<int>(i));
    QAccessible::updateAccessibility(&event);
  }
}

void Canvas::announceReadouts() {
  if (!QAccessible::isActive()) return;
  for (std::size_t i = 0; i < readouts_.size(); ++i) {
    QAccessibleEvent event(this, QAccessible::NameChanged);
    event.setChild(static_cast<int>(i));
    QAccessible::updateAccessibility(&event);
  }
}

void Canvas::setDisplay(const Display& display) {
  display_ = &display;
  rebuild();
}

void Canvas::rebuild() {
  labelPixels_.clear();
  still_.reset();
  stillCoversStale_ = true;
  update();
}

// A label's caption is measured when it changes, not at every repaint of every label.
QRect Canvas::paintedBoundsOf(const Element& element) {
  if (element.kind() != ElementKind::Label) return pixelBounds(element.bounds());
  auto [known, first] = labelPixels_.try_emplace(&element);
  if (first) known->second = paintedBounds(element, fonts_);
  return known->second;
}

QRect Canvas::coverOf(const Element& element) { return area_.cover(paintedBoundsOf(element)); }

void Canvas::drawScaled(QPainter& painter) const {
  if (area_.scale() != 1) painter.scale(area_.scale(), area_.scale());
}

void Canvas::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  still_.startWatching();
  if (!still_.prepare(size(), devicePixelRatioF())) return paintAll(painter, event->region(), false);
  const QRegion& exposed = event->region();
  const QRegion full = stillInFrontOfMoving(exposed) & exposed;
  if (full.isEmpty()) return paintOverStill(painter, exposed);
  paintOverStill(painter, exposed - full);
  painter.setClipRegion(full);
  paintAll(painter, full, false);
}

void Canvas::paintAll(QPainter& painter, const QRegion& region, bool stillOnly) {
  painter.fillRect(region.boundingRect(), toQColor(kSystemFace));
  painter.save();
  drawScaled(painter);
  for (const Element* element : display_->stackingOrder()) {
    if (!element->visible() || (stillOnly && still_.moving(*element))) continue;
    if (!region.intersects(coverOf(*element))) continue;
    paintElement(painter, *element, fonts_);
  }
  painter.restore();
}

void Canvas::paintOverStill(QPainter& painter, const QRegion& region) {
  if (region.isEmpty()) return;
  if (!still_.outOfDate().isEmpty()) {
    QPainter picture(&still_.image());
    picture.setClipRegion(still_.outOfDate());
    paintAll(picture, still_.outOfDate(), true);
    still_.redrawn();
  }
  still_.copyTo(painter, region);
  for (const Element* element : still_.movingInOrder()) {
    if (!element->visible()) continue;
    // Clipped to what it covers, which is one rectangle wherever it has just moved:
    // Qt draws an outline against a clipping rectangle far faster than against a
    // region of several.
    const QRegion clip = region & coverOf(*element);
    if (clip.isEmpty()) continue;
    painter.save();
    painter.setClipRegion(clip);
    drawScaled(painter);
    paintElement(painter, *element, fonts_);
    painter.restore();
  }
}

// Visible still elements with what they cover, back to front, made again only after
// a still element changed: moving ones change at every tick, still ones seldom.
const std::vector<Canvas::StillCover>& Canvas::stillCovers() {
  if (!stillCoversStale_) return stillCovers_;
  stillCovers_.clear();
  for (const Element* element : display_->stackingOrder()) {
    if (element->visible() && !still_.moving(*element))
      stillCovers_.push_back({element->stackStamp(), coverOf(*element)});
  }
  stillCoversStale_ = false;
  return stillCovers_;
}

QRegion Canvas::stillInFrontOfMoving(const QRegion& exposed) {
  std::vector<StillCover> movers;
  std::uint64_t backmost = UINT64_MAX;
  for (const Element* element : still_.movingInOrder()) {
    if (!element->visible()) continue;
    const QRect cover = coverOf(*element);
    if (!exposed.intersects(cover)) continue;
    movers.push_back({element->stackStamp(), cover});
    backmost = std::min(backmost, element->stackStamp());
  }
  QRegion overlaps;
  const std::vector<StillCover>& still = stillCovers();
  for (auto it = still.rbegin(); it != still.rend() && it->stamp > backmost; ++it) {
    for (const StillCover& mover : movers) {
      if (it->stamp > mover.stamp && it->cover.intersects(mover.cover)) overlaps += it->cover & mover.cover;
    }
  }
  return overlaps;
}

}  // namespace tilerush
