// The page's canvas: repaints what changes in the element model, and nothing else.
#pragma once

#include <unordered_map>
#include <vector>

#include "display/display.h"
#include "display/web/web_painter.h"

namespace tilerush {

class WebCanvas {
 public:
  explicit WebCanvas(const Display& display) : display_(display) {}

  // Notes what a change to a shape or label uncovered and now covers.
  void elementChanged(const Element& element, const Rect& before);
  // Every element is new: forget what the old ones covered and repaint everything.
  void rebuild();
  // The page's pixels were lost or changed scale: repaint everything, at the page's
  // scale as it is now.
  void repaintAll();
  // Repaints the areas noted since the last time, back to front.
  void paint();

  // The areas waiting to be repainted, for tests and measurements.
  const std::vector<PixelArea>& pending() const { return dirty_; }

 private:
  void invalidate(const PixelArea& area);
  // What an element covers as it was last painted or changed.
  PixelArea paintedBoundsOf(const Element& element);

  const Display& display_;
  // Where each label was last painted: an old caption may have run further than the
  // new one does. Kept up to date by every change.
  std::unordered_map<const Element*, PixelArea> labelPixels_;
  std::vector<PixelArea> dirty_;
  // The whole game area is waiting to be repainted.
  bool wholeDirty_ = false;
  // Pixels to spare round each element at the page's scale (sparePixels).
  int spare_ = 1;
};

}  // namespace tilerush
