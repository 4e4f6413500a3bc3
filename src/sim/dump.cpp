// Composing a dump: the clock, the state record's fields and the window's elements.
#include "sim/dump.h"

#include <algorithm>

#include "sim/elements.h"
#include "sim/fields.h"
#include "sim/json.h"
#include "sim/values.h"

namespace tilerush::sim {
namespace {

bool wanted(const std::vector<std::string_view>& names, std::string_view name) {
  return names.empty() || std::find(names.begin(), names.end(), name) != names.end();
}

// Element names in the order the window first created them; arrays once.
std::vector<std::string> elementNames(const Display& display) {
  std::vector<std::string> names;
  for (const auto& element : display.elements()) {
    if (std::find(names.begin(), names.end(), element->name()) == names.end())
      names.push_back(element->name());
  }
  return names;
}

void appendArray(std::string& out, const Display& display, const ElementArray& members) {
  bool first = true;
  out += '{';
  const auto& slots = members.byIndex();
  for (std::size_t index = 0; index < slots.size(); ++index) {
    if (!slots[index]) continue;
    appendKey(out, std::to_string(index), first);
    appendElement(out, display, *slots[index]);
  }
  out += '}';
}

void appendFields(std::string& out, const Session& session, const std::vector<std::string_view>& names) {
  bool first = true;
  out += '{';
  for (const FieldInfo& f : allFields()) {
    if (!wanted(names, f.name)) continue;
    appendKey(out, f.name, first);
    appendField(out, session.state(), f);
  }
  out += '}';
}

void appendElements(std::string& out, const Display& display, const std::vector<std::string_view>& names) {
  bool first = true;
  out += '{';
  for (const std::string& name : elementNames(display)) {
    if (!wanted(names, name)) continue;
    appendKey(out, name, first);
    if (const ElementArray* members = display.array(name)) {
      appendArray(out, display, *members);
    } else {
      appendElement(out, display, *display.find(name));
    }
  }
  out += '}';
}

void checkNames(const Display& display, const std::vector<std::string_view>& names) {
  for (std::string_view name : names) {
    if (name.find('[') != std::string_view::npos) {
      throw ScriptError("dump takes plain names, without indices: " + quoted(name));
    }
    if (!findField(name) && !display.find(name) && !display.array(name)) {
      throw ScriptError("unknown field or element " + quoted(name));
    }
  }
}

}  // namespace

std::string dumpJson(const Session& session, const std::vector<std::string_view>& names) {
  const Display& display = session.display();
  checkNames(display, names);
  std::string out = "{\"t\": ";
  appendInteger(out, session.now());
  out += ", \"fields\": ";
  appendFields(out, session, names);
  out += ", \"elements\": ";
  appendElements(out, display, names);
  out += "}\n";
  return out;
}

}  // namespace tilerush::sim
