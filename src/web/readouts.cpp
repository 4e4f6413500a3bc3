// What the page says aloud of the player's game: the counters the desktop window's
// readouts say, as the game shows them now.
#include "web/readouts.h"

#include <string>

#include "display/display.h"
#include "game/numbers.h"
#include "web/page_view.h"

namespace tilerush {

namespace {

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string captionOf(const Display& display, const char* name) {
  const Element* label = display.find(name);
  return label ? trimmed(label->caption()) : "";
}

int shownMembers(const Display& display, const char* name) {
  int shown = 0;
  if (const ElementArray* members = display.array(name)) {
    for (const Element* member : members->byIndex()) shown += member && member->visible();
  }
  return shown;
}

}  // namespace

std::string readouts(const Display& display, const GameState& state) {
  return R"({"score":)" + jsonString(captionOf(display, "showscore")) + R"(,"best":)" +
         jsonString(captionOf(display, "highscore")) + R"(,"lives":)" +
         std::to_string(shownMembers(display, "life")) + R"(,"bricks":)" +
         jsonString(captionOf(display, "numbricks")) + R"(,"level":)" +
         jsonString(trimmed(numberText(state.levelno))) + '}';
}

}  // namespace tilerush
