// Element lookup, and the one table of element properties that set, expect and dump use.
#include "sim/elements.h"

#include <array>
#include <climits>
#include <cstdint>
#include <variant>

#include "sim/fields.h"
#include "sim/json.h"
#include "sim/values.h"

namespace tilerush::sim {
namespace {

// A property's value: a length in twips, a flag, a caption, a colour or an interval.
using PropValue = std::variant<float, bool, std::string, Color, int>;

bool geometric(ElementKind kind) { return kind != ElementKind::Timer; }
bool captioned(ElementKind kind) { return kind == ElementKind::Label || kind == ElementKind::Button; }
bool label(ElementKind kind) { return kind == ElementKind::Label; }
bool shape(ElementKind kind) { return kind == ElementKind::Shape; }
bool timer(ElementKind kind) { return kind == ElementKind::Timer; }

// Numbers and flags are one word; a caption is the rest of the line.
std::string_view oneWord(std::string_view value) {
  if (value.empty()) throw ScriptError("a value is missing");
  if (value.find_first_of(" \t") != std::string_view::npos) {
    throw ScriptError("this value is one word: " + quoted(value));
  }
  return value;
}

PropValue twips(std::string_view v) { return toTwips(parseNumber(oneWord(v))); }
PropValue flag(std::string_view v) { return parseFlag(oneWord(v)); }
PropValue text(std::string_view v) {
  checkText(v);
  return std::string(v);
}
PropValue colour(std::string_view v) { return parseColor(oneWord(v)); }
PropValue interval(std::string_view v) {
  return static_cast<int>(parseWhole(oneWord(v), 0, INT_MAX, "an interval"));
}

struct Property {
  std::string_view name;
  bool (*has)(ElementKind kind);
  // The value `set` stores for a script's word, what the element holds, and storing.
  PropValue (*parse)(std::string_view value);
  PropValue (*read)(const Element& e);
  void (*write)(Element& e, const PropValue& v);
};

// In the order a dump prints them.
const std::array<Property, 9> kProperties = {{
    {"left", geometric, twips, [](const Element& e) -> PropValue { return e.left(); },
     [](Element& e, const PropValue& v) { e.setLeft(std::get<float>(v)); }},
    {"top", geometric, twips, [](const Element& e) -> PropValue { return e.top(); },
     [](Element& e, const PropValue& v) { e.setTop(std::get<float>(v)); }},
    {"width", geometric, twips, [](const Element& e) -> PropValue { return e.width(); },
     [](Element& e, const PropValue& v) { e.setWidth(std::get<float>(v)); }},
    {"height", geometric, twips, [](const Element& e) -> PropValue { return e.height(); },
     [](Element& e, const PropValue& v) { e.setHeight(std::get<float>(v)); }},
    {"visible", geometric, flag, [](const Element& e) -> PropValue { return e.visible(); },
     [](Element& e, const PropValue& v) { e.setVisible(std::get<bool>(v)); }},
    {"caption", captioned, text, [](const Element& e) -> PropValue { return e.caption(); },
     [](Element& e, const PropValue& v) { e.setCaption(std::get<std::string>(v)); }},
    {"backcolor", label, colour, [](const Element& e) -> PropValue { return e.backColor(); },
     [](Element& e, const PropValue& v) { e.setBackColor(std::get<Color>(v)); }},
    {"fillcolor", shape, colour, [](const Element& e) -> PropValue { return e.fillColor(); },
     [](Element& e, const PropValue& v) { e.setFillColor(std::get<Color>(v)); }},
    {"interval", timer, interval, [](const Element& e) -> PropValue { return e.interval(); },
     [](Element& e, const PropValue& v) { e.setInterval(std::get<int>(v)); }},
}};

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

const Property& propertyOf(const Element& element, std::string_view name) {
  for (const Property& p : kProperties) {
    if (p.name != name) continue;
    if (!p.has(element.kind())) {
      throw ScriptError(displayName(element) + " (a " + kindName(element.kind()) + ") has no " +
                        std::string(name));
    }
    return p;
  }
  throw ScriptError("unknown property " + quoted(name));
}

// A value as JSON: numbers as the shortest text that reads back the same.
void appendValue(std::string& out, const PropValue& value) {
  if (auto* length = std::get_if<float>(&value)) return appendNumber(out, static_cast<double>(*length));
  if (auto* shown = std::get_if<bool>(&value)) return appendBool(out, *shown);
  if (auto* caption = std::get_if<std::string>(&value)) return appendString(out, *caption);
  if (auto* color = std::get_if<Color>(&value)) return appendInteger(out, *color);
  appendInteger(out, std::get<int>(value));
}

// A value as a script would write it.
std::string scriptText(const PropValue& value) {
  if (auto* caption = std::get_if<std::string>(&value)) return *caption;
  std::string out;
  appendValue(out, value);
  return out;
}

}  // namespace

Element& findElement(Display& display, std::string_view target) {
  IndexedName named = splitIndices(target);
  ElementArray* members = display.array(named.name);
  Element* lone = display.find(named.name);
  if (!members && !lone) throw ScriptError("unknown element " + quoted(named.name));
  if (members && named.indices.size() != 1) {
    throw ScriptError(std::string(named.name) + " is an element array: name a member, as in " +
                      std::string(named.name) + "[1]");
  }
  if (!members && !named.indices.empty()) {
    throw ScriptError(std::string(named.name) + " is a single element and takes no index");
  }
  if (!members) return *lone;
  Element* member =
      named.indices[0] <= INT_MAX ? members->member(static_cast<int>(named.indices[0])) : nullptr;
  if (!member) {
    throw ScriptError("no member " + std::to_string(named.indices[0]) + " in " + std::string(named.name));
  }
  return *member;
}

void setElementProperty(Element& element, std::string_view prop, std::string_view value) {
  const Property& p = propertyOf(element, prop);
  p.write(element, p.parse(value));
}

std::optional<std::string> mismatchOfProperty(const Element& element, std::string_view prop,
                                              std::string_view value) {
  const Property& p = propertyOf(element, prop);
  const PropValue held = p.read(element);
  if (held == p.parse(value)) return std::nullopt;
  return scriptText(held);
}

std::string propertyText(const Element& element, std::string_view prop) {
  return scriptText(propertyOf(element, prop).read(element));
}

void appendElement(std::string& out, const Display& display, const Element& element) {
  bool first = true;
  out += '{';
  appendKey(out, "kind", first);
  appendString(out, kindName(element.kind()));
  for (const Property& p : kProperties) {
    if (!p.has(element.kind())) continue;
    appendKey(out, p.name, first);
    appendValue(out, p.read(element));
  }
  if (element.kind() == ElementKind::Shape || element.kind() == ElementKind::Label) {
    appendKey(out, "z", first);
    appendInteger(out, display.stackPosition(element));
  }
  out += '}';
}

}  // namespace tilerush::sim
