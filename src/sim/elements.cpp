// Element lookup, property setting and element JSON for the script runner.
#include "sim/elements.h"

#include <array>
#include <climits>

#include "sim/fields.h"
#include "sim/json.h"
#include "sim/values.h"

namespace tilerush::sim {
namespace {

enum class Prop { Left, Top, Width, Height, Visible, Caption, BackColor, FillColor, Interval };

struct PropName {
  std::string_view name;
  Prop prop;
};

constexpr std::array<PropName, 9> kProps = {{{"left", Prop::Left},
                                             {"top", Prop::Top},
                                             {"width", Prop::Width},
                                             {"height", Prop::Height},
                                             {"visible", Prop::Visible},
                                             {"caption", Prop::Caption},
                                             {"backcolor", Prop::BackColor},
                                             {"fillcolor", Prop::FillColor},
                                             {"interval", Prop::Interval}}};

bool kindHas(ElementKind kind, Prop prop) {
  switch (prop) {
    case Prop::Left:
    case Prop::Top:
    case Prop::Width:
    case Prop::Height:
    case Prop::Visible:
      return kind != ElementKind::Timer;
    case Prop::Caption:
      return kind == ElementKind::Label || kind == ElementKind::Button;
    case Prop::BackColor:
      return kind == ElementKind::Label;
    case Prop::FillColor:
      return kind == ElementKind::Shape;
    case Prop::Interval:
      return kind == ElementKind::Timer;
  }
  return false;
}

const char* kindName(ElementKind kind) {
  switch (kind) {
    case ElementKind::Shape:
      return "shape";
    case ElementKind::Label:
      return "label";
    case ElementKind::Button:
      return "button";
    case ElementKind::Timer:
      return "timer";
  }
  return "";
}

std::string displayName(const Element& element) {
  std::string name = element.name();
  if (element.index() >= 0) name += "[" + std::to_string(element.index()) + "]";
  return name;
}

// Numbers and flags are one word; a caption is the rest of the line.
std::string_view oneWord(std::string_view value) {
  if (value.empty()) throw ScriptError("a value is missing");
  if (value.find_first_of(" \t") != std::string_view::npos) {
    throw ScriptError("this value is one word: " + quoted(value));
  }
  return value;
}

}  // namespace

Element& findElement(const Display& display, std::string_view target) {
  IndexedName named = splitIndices(target);
  const ElementArray* members = display.array(named.name);
  if (!members && !display.find(named.name)) throw ScriptError("unknown element " + quoted(named.name));
  if (members && named.indices.size() != 1) {
    throw ScriptError(std::string(named.name) + " is an element array: name a member, as in " +
                      std::string(named.name) + "[1]");
  }
  if (!members && !named.indices.empty()) {
    throw ScriptError(std::string(named.name) + " is a single element and takes no index");
  }
  if (!members) return *display.find(named.name);
  Element* member =
      named.indices[0] <= INT_MAX ? members->member(static_cast<int>(named.indices[0])) : nullptr;
  if (!member) {
    throw ScriptError("no member " + std::to_string(named.indices[0]) + " in " + std::string(named.name));
  }
  return *member;
}

void setElementProperty(Element& element, std::string_view propName, std::string_view value) {
  const PropName* found = nullptr;
  for (const PropName& p : kProps) {
    if (p.name == propName) found = &p;
  }
  if (!found) throw ScriptError("unknown property " + quoted(propName));
  if (!kindHas(element.kind(), found->prop)) {
    throw ScriptError(displayName(element) + " (a " + kindName(element.kind()) + ") has no " +
                      std::string(propName));
  }
  switch (found->prop) {
    case Prop::Left:
      return element.setLeft(toTwips(parseNumber(oneWord(value))));
    case Prop::Top:
      return element.setTop(toTwips(parseNumber(oneWord(value))));
    case Prop::Width:
      return element.setWidth(toTwips(parseNumber(oneWord(value))));
    case Prop::Height:
      return element.setHeight(toTwips(parseNumber(oneWord(value))));
    case Prop::Visible:
      return element.setVisible(parseFlag(oneWord(value)));
    case Prop::Caption:
      checkText(value);
      return element.setCaption(std::string(value));
    case Prop::BackColor:
      return element.setBackColor(parseColor(oneWord(value)));
    case Prop::FillColor:
      return element.setFillColor(parseColor(oneWord(value)));
    case Prop::Interval:
      return element.setInterval(static_cast<int>(parseWhole(oneWord(value), 0, INT_MAX, "an interval")));
  }
}

void appendElement(std::string& out, const Display& display, const Element& element) {
  bool first = true;
  out += '{';
  appendKey(out, "kind", first);
  appendString(out, kindName(element.kind()));
  if (element.kind() == ElementKind::Timer) {
    appendKey(out, "interval", first);
    appendInteger(out, element.interval());
    out += '}';
    return;
  }
  const std::array<std::pair<const char*, float>, 4> geometry = {{{"left", element.left()},
                                                                  {"top", element.top()},
                                                                  {"width", element.width()},
                                                                  {"height", element.height()}}};
  for (const auto& [name, value] : geometry) {
    appendKey(out, name, first);
    appendNumber(out, static_cast<double>(value));
  }
  appendKey(out, "visible", first);
  appendBool(out, element.visible());
  if (element.kind() == ElementKind::Shape) {
    appendKey(out, "fillcolor", first);
    appendInteger(out, element.fillColor());
  } else {
    appendKey(out, "caption", first);
    appendString(out, element.caption());
  }
  if (element.kind() == ElementKind::Label) {
    appendKey(out, "backcolor", first);
    appendInteger(out, element.backColor());
  }
  if (element.kind() != ElementKind::Button) {
    appendKey(out, "z", first);
    appendInteger(out, display.stackPosition(element));
  }
  out += '}';
}

}  // namespace tilerush::sim
