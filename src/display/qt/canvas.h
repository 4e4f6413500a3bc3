// The widget that shows every shape and label of the element model, at any scale.
#pragma once

#include <QRect>
#include <QWidget>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "display/display.h"
#include "display/qt/fonts.h"
#include "display/qt/game_area.h"
#include "display/qt/readouts.h"
#include "display/qt/still_layer.h"

namespace tilerush {

class Canvas : public QWidget {
  Q_OBJECT

 public:
  // Shows the layout of `area`, whose size and scale the canvas takes.
  Canvas(const Display& display, const GameArea& area, QWidget* parent);

  // Schedules a repaint of what a change to a shape or label uncovered and covers,
  // and of nothing else.
  void elementChanged(const Element& element, const Rect& before);
  // Every element is new: forget what the old ones covered and repaint everything.
  void rebuild();
  // Shows `display` from now on, repainted whole (its readouts too).
  void setDisplay(const Display& display);
  // The layout at another size and scale: everything is painted anew.
  void setArea(const GameArea& area);
  const GameArea& area() const { return area_; }

  // The counters a screen reader hears, as children of the canvas's accessible
  // object; a change to one is announced.
  void setReadouts(std::vector<Readout> readouts);
  const std::vector<Readout>& readouts() const { return readouts_; }
  // A screen reader hears every readout again, as after a jump in a replay.
  void announceReadouts();
  const Display& display() const { return *display_; }
  // What an element covers as it was last painted or changed, in pixels of the
  // canvas.
  QRect coverOf(const Element& element);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void announceReadout(const Element& element);
  // Layout pixels an element paints, a long caption included.
  QRect paintedBoundsOf(const Element& element);
  void invalidate(const Element& element, bool moved, const QRect& layoutPixels);

  // Painters set up to draw the layout's pixels at the canvas's scale.
  void drawScaled(QPainter& painter) const;
  // Face colour, then every shape and label inside `region`, back to front.
  void paintAll(QPainter& painter, const QRegion& region, bool stillOnly);
  // The still picture, brought up to date, with what moves drawn over it.
  void paintOverStill(QPainter& painter, const QRegion& region);
  // Where a still shape or label in front of a moving one overlaps it: there the
  // picture cannot be used, as it would show the moving one in front.
  QRegion stillInFrontOfMoving(const QRegion& exposed);
  struct StillCover {
    std::uint64_t stamp;
    QRect cover;
  };
  const std::vector<StillCover>& stillCovers();

  const Display* display_;
  GameArea area_;
  FontBook fonts_;
  std::vector<Readout> readouts_;
  // Where each label was last painted, in layout pixels: an old caption may have
  // run further than the new one does. Kept up to date by every change.
  std::unordered_map<const Element*, QRect> labelPixels_;
  StillLayer still_;
  std::vector<StillCover> stillCovers_;
  bool stillCoversStale_ = true;
};

}  // namespace tilerush
