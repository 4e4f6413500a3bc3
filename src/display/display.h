// The window's retained element model: every element, element arrays and the stacking order.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "display/element.h"

namespace tilerush {

// One element as the layout describes it before the window opens.
struct ElementSpec {
  std::string name;
  int index = -1;  // member index for an element array, -1 for a lone element
  ElementKind kind = ElementKind::Shape;
  Rect bounds;
  bool visible = true;
  std::string caption;
  Color backColor = kSystemFace;
  Color fillColor = 0xFFFFFF;
  int interval = 0;
  Style style;
};

// Told of every change that can alter what the window shows or when a timer fires.
class DisplayObserver {
 public:
  virtual ~DisplayObserver() = default;
  // `before` is the element's rectangle before the change (its present one if unmoved).
  virtual void elementChanged(const Element& element, const Rect& before) = 0;
  virtual void intervalChanged(const Element& timer) = 0;
  // Every element was discarded and created anew from the layout.
  virtual void displayRebuilt() = 0;
};

// The members of an element array, addressed by index.
class ElementArray {
 public:
  Element* member(int index);
  const Element* member(int index) const;
  // Members that exist, by index; missing indices are null.
  const std::vector<Element*>& byIndex() const { return slots_; }

 private:
  friend class Display;
  std::vector<Element*> slots_;
};

class Display {
 public:
  // Observers hear of every change, in the order they were added: the clock that
  // runs the timers, and whatever shows the elements.
  void addObserver(DisplayObserver* observer) { observers_.push_back(observer); }
  void removeObserver(DisplayObserver* observer);

  // Discards every element and creates the layout's, in order. Shapes and labels
  // are stacked back to front in the order they are listed.
  void build(const std::vector<ElementSpec>& layout);

  // Null when no element has that name (and index).
  Element* find(std::string_view name, int index = -1);
  const Element* find(std::string_view name, int index = -1) const;
  ElementArray* array(std::string_view name);
  const ElementArray* array(std::string_view name) const;
  // Creates member `index` of an array as a copy of its lowest-numbered member:
  // hidden, and in front of everything else. Asking for a member that exists, or of
  // an array that has none to copy, is a mistake in the program: std::logic_error.
  Element& createMember(std::string_view name, int index);
  void bringToFront(Element& element);

  // Every element in the order it was created.
  const std::vector<std::unique_ptr<Element>>& elements() const { return elements_; }
  // Shapes and labels from back to front.
  const std::vector<const Element*>& stackingOrder() const;
  // Position of a shape or label in the stacking order, 0 at the back.
  int stackPosition(const Element& element) const;
  // How many changes observers have been told of: equal counts mean nothing changed.
  std::uint64_t changeCount() const { return changeCount_; }

 private:
  friend class Element;
  void notifyChanged(const Element& element, const Rect& before);
  void notifyInterval(const Element& timer);
  Element& add(std::unique_ptr<Element> element);

  std::vector<DisplayObserver*> observers_;
  std::vector<std::unique_ptr<Element>> elements_;
  std::map<std::string, Element*, std::less<>> lone_;
  std::map<std::string, ElementArray, std::less<>> arrays_;
  std::uint64_t nextStamp_ = 0;
  std::uint64_t changeCount_ = 0;
  mutable std::vector<const Element*> order_;
  mutable bool orderStale_ = true;
};

}  // namespace tilerush
