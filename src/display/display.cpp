// Building the element set from a layout, element arrays and the stacking order.
#include "display/display.h"

#include <algorithm>
#include <stdexcept>

namespace tilerush {

Element* ElementArray::member(int index) {
  if (index < 0 || index >= static_cast<int>(slots_.size())) return nullptr;
  return slots_[static_cast<std::size_t>(index)];
}

const Element* ElementArray::member(int index) const {
  if (index < 0 || index >= static_cast<int>(slots_.size())) return nullptr;
  return slots_[static_cast<std::size_t>(index)];
}

void Display::removeObserver(DisplayObserver* observer) { std::erase(observers_, observer); }

void Display::build(const std::vector<ElementSpec>& layout) {
  elements_.clear();
  lone_.clear();
  arrays_.clear();
  nextStamp_ = 0;
  orderStale_ = true;
  for (const ElementSpec& entry : layout) {
    auto element = std::make_unique<Element>(*this, entry.name, entry.index, entry.kind, entry.style);
    element->bounds_ = entry.bounds;
    element->visible_ = entry.visible;
    element->caption_ = entry.caption;
    element->backColor_ = entry.backColor;
    element->fillColor_ = entry.fillColor;
    element->interval_ = entry.interval;
    add(std::move(element));
  }
  for (DisplayObserver* observer : observers_) {
    observer->displayRebuilt();
    for (const auto& element : elements_) {
      if (element->kind() == ElementKind::Timer) observer->intervalChanged(*element);
    }
  }
}

Element& Display::add(std::unique_ptr<Element> element) {
  Element& e = *element;
  if (e.kind() == ElementKind::Shape || e.kind() == ElementKind::Label) e.stackStamp_ = ++nextStamp_;
  if (e.index() < 0) {
    lone_[e.name()] = &e;
  } else {
    auto& slots = arrays_[e.name()].slots_;
    auto at = static_cast<std::size_t>(e.index());
    if (slots.size() <= at) slots.resize(at + 1, nullptr);
    slots[at] = &e;
  }
  elements_.push_back(std::move(element));
  orderStale_ = true;
  return e;
}

Element* Display::find(std::string_view name, int index) {
  if (index < 0) {
    auto it = lone_.find(name);
    return it == lone_.end() ? nullptr : it->second;
  }
  ElementArray* members = array(name);
  return members ? members->member(index) : nullptr;
}

const Element* Display::find(std::string_view name, int index) const {
  if (index < 0) {
    auto it = lone_.find(name);
    return it == lone_.end() ? nullptr : it->second;
  }
  const ElementArray* members = array(name);
  return members ? members->member(index) : nullptr;
}

ElementArray* Display::array(std::string_view name) {
  auto it = arrays_.find(name);
  return it == arrays_.end() ? nullptr : &it->second;
}

const ElementArray* Display::array(std::string_view name) const {
  auto it = arrays_.find(name);
  return it == arrays_.end() ? nullptr : &it->second;
}

Element& Display::createMember(std::string_view name, int index) {
  ElementArray* members = array(name);
  if (!members) throw std::logic_error("no element array named " + std::string(name));
  if (index < 0 || members->member(index)) {
    throw std::logic_error(std::string(name) + " already has a member " + std::to_string(index));
  }
  const Element* tmpl = nullptr;
  for (Element* slot : members->slots_) {
    if (slot) {
      tmpl = slot;
      break;
    }
  }
  if (!tmpl) throw std::logic_error(std::string(name) + " has no member to copy");
  auto element = std::make_unique<Element>(*this, tmpl->name(), index, tmpl->kind(), tmpl->style());
  element->bounds_ = tmpl->bounds_;
  element->caption_ = tmpl->caption_;
  element->backColor_ = tmpl->backColor_;
  element->fillColor_ = tmpl->fillColor_;
  element->visible_ = false;
  return add(std::move(element));
}

void Display::bringToFront(Element& element) {
  if (element.stackStamp_ == nextStamp_) return;
  element.stackStamp_ = ++nextStamp_;
  orderStale_ = true;
  notifyChanged(element, element.bounds_);
}

const std::vector<const Element*>& Display::stackingOrder() const {
  if (!orderStale_) return order_;
  order_.clear();
  for (const auto& element : elements_) {
    if (element->stackStamp_ != 0) order_.push_back(element.get());
  }
  std::sort(order_.begin(), order_.end(),
            [](const Element* a, const Element* b) { return a->stackStamp_ < b->stackStamp_; });
  orderStale_ = false;
  return order_;
}

int Display::stackPosition(const Element& element) const {
  const auto& order = stackingOrder();
  auto it = std::lower_bound(order.begin(), order.end(), &element, [](const Element* a, const Element* b) {
    return a->stackStamp_ < b->stackStamp_;
  });
  return it != order.end() && *it == &element ? static_cast<int>(it - order.begin()) : -1;
}

void Display::notifyChanged(const Element& element, const Rect& before) {
  ++changeCount_;
  for (DisplayObserver* observer : observers_) observer->elementChanged(element, before);
}

void Display::notifyInterval(const Element& timer) {
  ++changeCount_;
  for (DisplayObserver* observer : observers_) observer->intervalChanged(timer);
}

}  // namespace tilerush
