// Changes of the element model, each to the part of the page that shows it.
#include "display/web/web_view.h"

namespace tilerush {

void WebView::showAll() {
  buttons_.rebuild(display_);
  canvas_.repaintAll();
}

void WebView::elementChanged(const Element& element, const Rect& before) {
  if (element.kind() == ElementKind::Button) {
    buttons_.sync(element);
  } else if (element.kind() != ElementKind::Timer) {
    canvas_.elementChanged(element, before);
  }
}

void WebView::displayRebuilt() {
  buttons_.rebuild(display_);
  canvas_.rebuild();
}

}  // namespace tilerush
