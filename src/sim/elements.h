// The window's elements as a script sees them: found by name and index, their
// properties set, expected and printed, all from one table of properties.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "display/display.h"

namespace tilerush::sim {

// `ball` or `brick[41]`: a lone element by name, an array member by name and index.
Element& findElement(Display& display, std::string_view target);

// `set ELEMENT.PROP VALUE`. PROP is one the element's kind has: geometry and
// visibility for shapes, labels and buttons, fillcolor for shapes, caption for
// labels and buttons, backcolor for labels, interval for timers.
void setElementProperty(Element& element, std::string_view prop, std::string_view value);

// `expect ELEMENT.PROP VALUE`: none when the property holds what `set` would store,
// otherwise what it holds, as a script would write it.
std::optional<std::string> mismatchOfProperty(const Element& element, std::string_view prop,
                                              std::string_view value);

// What a property holds, as a script would write it.
std::string propertyText(const Element& element, std::string_view prop);

// The JSON object of one element; `z` is its place in the stacking order.
void appendElement(std::string& out, const Display& display, const Element& element);

}  // namespace tilerush::sim
