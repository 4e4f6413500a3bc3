// A plain mapped window on its own connection, closed with it.
#include "other_window.h"

#include <X11/Xlib.h>

namespace tilerush::e2e {

OtherWindow::OtherWindow(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
  if (!display_) return;
  window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 600, 600, 200, 150, 0, 0, 0);
  XStoreName(display_, window_, "Another program");
  XMapWindow(display_, window_);
  XSync(display_, False);
}

bool OtherWindow::grabAndUngrabKeyboard() {
  if (!display_) return false;
  const bool had = XGrabKeyboard(display_, DefaultRootWindow(display_), False, GrabModeAsync, GrabModeAsync,
                                 CurrentTime) == GrabSuccess;
  XSync(display_, False);
  if (had) XUngrabKeyboard(display_, CurrentTime);
  XSync(display_, False);
  return had;
}

OtherWindow::~OtherWindow() {
  if (display_) XCloseDisplay(display_);
}

}  // namespace tilerush::e2e
