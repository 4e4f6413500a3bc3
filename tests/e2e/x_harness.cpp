// Child processes, the Xvfb server and the X requests the end-to-end tests need.
#include "x_harness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace tilerush::e2e {
namespace {

std::vector<char*> cStrings(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (auto& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

pid_t spawn(std::vector<std::string> argv, const std::vector<std::string>& extraEnv,
            posix_spawn_file_actions_t* actions = nullptr) {
  std::vector<std::string> env(extraEnv);
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const std::string key = entry.substr(0, entry.find('=') + 1);
    bool overridden = false;
    for (const auto& extra : extraEnv) overridden = overridden || extra.rfind(key, 0) == 0;
    if (!overridden) env.push_back(entry);
  }
  auto args = cStrings(argv);
  auto envp = cStrings(env);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], actions, nullptr, args.data(), envp.data()) != 0) {
    throw std::runtime_error("cannot start " + argv[0]);
  }
  return pid;
}

}  // namespace

XvfbServer::XvfbServer(int width, int height) {
  // Xvfb picks a free display number itself and writes it down this pipe.
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  pid_ = spawn({"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-ardelay", "250",
                "-arinterval", "33"},
               {}, &actions);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  std::string number;
  pollfd ready{fds[0], POLLIN, 0};
  char c;
  while (poll(&ready, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) throw std::runtime_error("Xvfb did not start");
  name_ = ":" + number;
}

XvfbServer::~XvfbServer() {
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

Process::Process(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
                 const std::string& errorFile, const std::string& outputFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!errorFile.empty()) {
    posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  if (!outputFile.empty()) {
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  pid_ = spawn(argv, extraEnv, &actions);
  posix_spawn_file_actions_destroy(&actions);
}

Process::~Process() {
  if (running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool Process::running() { return !status_ && !waitExit(std::chrono::milliseconds(0)); }

std::optional<int> Process::waitExit(std::chrono::milliseconds timeout) {
  if (status_) return status_;
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      if (!WIFEXITED(status)) return std::nullopt;
      return status_;
    }
    if (std::chrono::steady_clock::now() >= end) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int run(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
  const pid_t pid = spawn(argv, extraEnv);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

void Frame::save(const std::string& path) const {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << width << ' ' << height << "\n255\n";
  for (std::uint32_t p : pixels) {
    const char rgb[3] = {char(p >> 16), char(p >> 8), char(p)};
    out.write(rgb, 3);
  }
}

// Xlib's own handler ends the program on any error, a picture asked of a window
// that is being resized included; a failed request shows in its result instead.
int ignoreErrors(::Display*, XErrorEvent*) { return 0; }

XConnection::XConnection(const std::string& display) : display_(XOpenDisplay(display.c_str())) {
  if (!display_) throw std::runtime_error("cannot open display " + display);
  XSetErrorHandler(ignoreErrors);
}

XConnection::~XConnection() { XCloseDisplay(display_); }

std::string XConnection::title(unsigned long window) {
  char* name = nullptr;
  std::string title;
  if (XFetchName(display_, window, &name) && name) title = name;
  if (name) XFree(name);
  return title;
}

// The viewable window named `wanted` among the children of `parent`, or inside a
// viewable child (a window manager's frame), `depth` levels down at most.
unsigned long XConnection::findWindow(unsigned long parent, const std::string& wanted, int depth) {
  Window root, up, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display_, parent, &root, &up, &children, &count)) return 0;
  unsigned long found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, children[i], &attributes) || attributes.map_state != IsViewable)
      continue;
    if (title(children[i]) == wanted) {
      found = children[i];
    } else if (depth > 0) {
      found = findWindow(children[i], wanted, depth - 1);
    }
  }
  if (children) XFree(children);
  return found;
}

unsigned long XConnection::waitForWindow(const std::string& wanted, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (unsigned long found = findWindow(DefaultRootWindow(display_), wanted, 2)) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return 0;
}

// A list of windows or atoms held in a property of `window`, empty if it has none.
std::vector<unsigned long> XConnection::property(unsigned long window, const char* name, unsigned long type) {
  Atom actual = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<unsigned long> values;
  if (XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 64, False, type, &actual,
                         &format, &count, &after, &data) == Success &&
      data && format == 32) {
    const auto* items = reinterpret_cast<const unsigned long*>(data);
    values.assign(items, items + count);
  }
  if (data) XFree(data);
  return values;
}

// A window manager announces itself as soon as it has taken the screen, but manages
// windows only once it has set the screen up: its work area, set then, tells.
bool XConnection::windowManagerRunning() {
  return !property(DefaultRootWindow(display_), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty() &&
         !property(DefaultRootWindow(display_), "_NET_WORKAREA", XA_CARDINAL).empty();
}

bool XConnection::fullScreen(unsigned long window) {
  const Atom full = XInternAtom(display_, "_NET_WM_STATE_FULLSCREEN", False);
  for (unsigned long state : property(window, "_NET_WM_STATE", XA_ATOM)) {
    if (state == full) return true;
  }
  return false;
}

std::pair<int, int> XConnection::size(unsigned long window) {
  XWindowAttributes attributes;
  XGetWindowAttributes(display_, window, &attributes);
  return {attributes.width, attributes.height};
}

// A window being resized can change size between the question and the picture,
// which the server then refuses: it is asked again, for a few seconds, as a busy
// machine may take that long to settle it.
Frame XConnection::grab(unsigned long window) {
  for (int attempt = 0; attempt < 250; ++attempt) {
    const auto [width, height] = size(window);
    XImage* image = XGetImage(display_, window, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    Frame frame{width, height, {}};
    frame.pixels.reserve(static_cast<std::size_t>(width * height));
    const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(image->data + y * image->bytes_per_line);
      for (int x = 0; x < width; ++x)
        frame.pixels.push_back((direct ? row[x] : XGetPixel(image, x, y)) & 0xFFFFFF);
    }
    XDestroyImage(image);
    return frame;
  }
  throw std::runtime_error("cannot read the window's pixels: " + standing(window));
}

// How a window stands, for a failure to say: where it is, how large, and whether it is
// shown at all (a picture is refused of a window not wholly on the screen).
std::string XConnection::standing(unsigned long window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, window, &attributes)) return "the window is gone";
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  const char* shown = attributes.map_state == IsViewable   ? "viewable"
                      : attributes.map_state == IsUnmapped ? "unmapped"
                                                           : "unviewable";
  return std::to_string(attributes.width) + " x " + std::to_string(attributes.height) + " at " +
         std::to_string(x) + ", " + std::to_string(y) + " on a screen of " +
         std::to_string(DisplayWidth(display_, DefaultScreen(display_))) + " x " +
         std::to_string(DisplayHeight(display_, DefaultScreen(display_))) + ", " + shown;
}

void XConnection::requestClose(unsigned long window) {
  XEvent event;
  std::memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XFlush(display_);
}

void XConnection::setAutoRepeat(bool on) {
  if (on) {
    XAutoRepeatOn(display_);
  } else {
    XAutoRepeatOff(display_);
  }
  XSync(display_, False);
}

}  // namespace tilerush::e2e
