// The widget that shows every shape and label of the element model.
#pragma once

#include <QRect>
#include <QWidget>
#include <unordered_map>
#include <vector>

#include "display/display.h"
#include "display/qt/fonts.h"
#include "display/qt/readouts.h"

namespace tilerush {

class Canvas : public QWidget {
  Q_OBJECT

 public:
  Canvas(const Display& display, QWidget* parent);

  // Schedules a repaint of what a change to a shape or label uncovered and covers,
  // and of nothing else.
  void elementChanged(const Element& element, const Rect& before);
  // Every element is new: forget what the old ones covered and repaint everything.
  void rebuild();

  // The counters a screen reader hears, as children of the canvas's accessible
  // object; a change to one is announced.
  void setReadouts(std::vector<Readout> readouts);
  const std::vector<Readout>& readouts() const { return readouts_; }
  const Display& display() const { return display_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void announceReadout(const Element& element);
  // What an element covers as it was last painted or changed.
  QRect paintedBoundsOf(const Element& element);

  const Display& display_;
  FontBook fonts_;
  std::vector<Readout> readouts_;
  // Where each label was last painted: an old caption may have run further than the
  // new one does. Kept up to date by every change.
  std::unordered_map<const Element*, QRect> labelPixels_;
};

}  // namespace tilerush
