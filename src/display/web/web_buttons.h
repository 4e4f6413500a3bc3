// The window's push buttons as real buttons of the page, over the game area.
#pragma once

#include <string>
#include <vector>

#include "display/display.h"

namespace tilerush {

class WebButtons {
 public:
  // Shows a button element as it now is, making its page button the first time.
  void sync(const Element& button);
  // Every element was made anew: match the page's buttons to them.
  void rebuild(const Display& display);

  // The element name of page button `id`, or null.
  const std::string* name(int id) const;

 private:
  int idOf(const std::string& name);

  std::vector<std::string> names_;
};

}  // namespace tilerush
