// Element setters: each records the change and tells the display what it covered before.
#include "display/element.h"

#include <utility>

#include "display/display.h"

namespace tilerush {

Element::Element(Display& owner, std::string name, int index, ElementKind kind, Style style)
    : owner_(owner), name_(std::move(name)), index_(index), kind_(kind), style_(std::move(style)) {}

void Element::changed(const Rect& before) { owner_.notifyChanged(*this, before); }

void Element::setLeft(float v) { move(v, bounds_.top); }
void Element::setTop(float v) { move(bounds_.left, v); }

void Element::setWidth(float v) { setBounds({bounds_.left, bounds_.top, v, bounds_.height}); }
void Element::setHeight(float v) { setBounds({bounds_.left, bounds_.top, bounds_.width, v}); }

void Element::move(float left, float top) { setBounds({left, top, bounds_.width, bounds_.height}); }

void Element::setBounds(const Rect& r) {
  // Compared as values: a ball resting on the paddle is moved to where it is at every
  // tick, and must not cost a repaint.
  if (r.left == bounds_.left && r.top == bounds_.top && r.width == bounds_.width &&
      r.height == bounds_.height)
    return;
  Rect before = bounds_;
  bounds_ = r;
  changed(before);
}

void Element::setVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  changed(bounds_);
}

void Element::setCaption(std::string text) {
  if (caption_ == text) return;
  caption_ = std::move(text);
  changed(bounds_);
}

void Element::setBackColor(Color c) {
  if (backColor_ == c) return;
  backColor_ = c;
  changed(bounds_);
}

void Element::setFillColor(Color c) {
  if (fillColor_ == c) return;
  fillColor_ = c;
  changed(bounds_);
}

void Element::setInterval(int ms) {
  interval_ = ms < 0 ? 0 : ms;
  owner_.notifyInterval(*this);
}

}  // namespace tilerush
