// Button elements placed on whole pixels, with the caption and font the layout gives.
#include "display/web/web_buttons.h"

#include <cmath>

#include "display/web/page_calls.h"
#include "display/web/web_fonts.h"
#include "display/web/web_painter.h"

namespace tilerush {

int WebButtons::idOf(const std::string& name) {
  for (std::size_t i = 0; i < names_.size(); ++i) {
    if (names_[i] == name) return static_cast<int>(i);
  }
  names_.push_back(name);
  return static_cast<int>(names_.size() - 1);
}

const std::string* WebButtons::name(int id) const {
  if (id < 0 || id >= static_cast<int>(names_.size())) return nullptr;
  return &names_[static_cast<std::size_t>(id)];
}

void WebButtons::sync(const Element& button) {
  const Rect& r = button.bounds();
  auto px = [](float twips) { return static_cast<double>(std::lround(twips / kTwipsPerPixel)); };
  tr_button(idOf(button.name()), px(r.left), px(r.top), px(r.width), px(r.height), button.visible() ? 1 : 0,
            button.caption().c_str(), cssFont(button.style().font).c_str());
}

void WebButtons::rebuild(const Display& display) {
  for (const auto& element : display.elements()) {
    if (element->kind() == ElementKind::Button) sync(*element);
  }
}

}  // namespace tilerush
