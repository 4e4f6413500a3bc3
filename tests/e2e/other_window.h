// Another X client's window, as a second program on the desktop would open one.
#pragma once

#include <string>

typedef struct _XDisplay Display;

namespace tilerush::e2e {

class OtherWindow {
 public:
  explicit OtherWindow(const std::string& display);
  ~OtherWindow();
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;
  std::string id() const { return std::to_string(window_); }
  // Takes the keyboard for a moment and gives it back, as a window manager does
  // while the player drags a window; true if the grab was had.
  bool grabAndUngrabKeyboard();

 private:
  ::Display* display_;
  unsigned long window_ = 0;
};

}  // namespace tilerush::e2e
