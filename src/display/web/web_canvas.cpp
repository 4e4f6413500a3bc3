// Back-to-front repainting of the areas of the game that changed.
#include "display/web/web_canvas.h"

#include <cmath>

#include "display/web/page_calls.h"

namespace tilerush {
namespace {

// The game area in pixels: 568 x 489.
constexpr PixelArea kWholeArea{0, 0, 568, 489};
// Past this many separate areas, the next joins the one it grows least: each area
// costs a walk of the stacking order, but one rectangle round areas far apart, the
// ball low on the board and a title ball at the top, would repaint every brick between.
constexpr std::size_t kMaxAreas = 12;

long long pixelCount(const PixelArea& a) {
  return static_cast<long long>(a.right - a.left) * (a.bottom - a.top);
}

}  // namespace

void WebCanvas::elementChanged(const Element& element, const Rect& before) {
  // Everything is to be painted anyway (the window opening, a level being built):
  // where a label runs to is worked out when it is painted, not at each of its changes.
  if (wholeDirty_) {
    if (element.kind() == ElementKind::Label) labelPixels_.erase(&element);
    return;
  }
  invalidate(pixelBounds(before, spare_));
  const PixelArea now = paintedBounds(element, spare_);
  invalidate(now);
  if (element.kind() != ElementKind::Label) return;
  auto [last, first] = labelPixels_.try_emplace(&element, now);
  if (!first) {
    invalidate(last->second);
    last->second = now;
  }
}

void WebCanvas::rebuild() {
  labelPixels_.clear();
  repaintAll();
}

void WebCanvas::repaintAll() {
  // Where labels were painted at another scale may have had fewer pixels to spare.
  const int spare = sparePixels(tr_device_pixels_per_pixel());
  if (spare != spare_) labelPixels_.clear();
  spare_ = spare;
  dirty_.assign(1, kWholeArea);
  wholeDirty_ = true;
}

// Areas that meet are merged, so that no pixel is painted twice in one go.
void WebCanvas::invalidate(const PixelArea& area) {
  PixelArea merged = area.clipped(kWholeArea);
  if (merged.empty()) return;
  for (std::size_t i = 0; i < dirty_.size();) {
    if (dirty_[i].meets(merged)) {
      merged = merged.united(dirty_[i]);
      dirty_.erase(dirty_.begin() + static_cast<std::ptrdiff_t>(i));
      i = 0;
    } else {
      ++i;
    }
  }
  if (dirty_.size() < kMaxAreas) {
    dirty_.push_back(merged);
    return;
  }
  PixelArea* cheapest = &dirty_.front();
  for (PixelArea& a : dirty_) {
    if (pixelCount(a.united(merged)) - pixelCount(a) <
        pixelCount(cheapest->united(merged)) - pixelCount(*cheapest)) {
      cheapest = &a;
    }
  }
  const PixelArea grown = cheapest->united(merged);
  dirty_.erase(dirty_.begin() + (cheapest - dirty_.data()));
  invalidate(grown);
}

PixelArea WebCanvas::paintedBoundsOf(const Element& element) {
  if (element.kind() != ElementKind::Label) return pixelBounds(element.bounds(), spare_);
  auto [known, first] = labelPixels_.try_emplace(&element);
  if (first) known->second = paintedBounds(element, spare_);
  return known->second;
}

void WebCanvas::paint() {
  for (const PixelArea& area : dirty_) {
    tr_area_begin(area.left, area.top, area.right - area.left, area.bottom - area.top);
    for (const Element* element : display_.stackingOrder()) {
      if (element->visible() && area.intersects(paintedBoundsOf(*element))) paintElement(*element);
    }
    tr_area_end();
  }
  dirty_.clear();
  wholeDirty_ = false;
}

}  // namespace tilerush
