// Runs the real game binary on its own Xvfb server and looks at it from outside.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace tilerush::e2e {

// An Xvfb server on the first free display number, killed when this goes.
class XvfbServer {
 public:
  // A screen of `width` x `height` pixels.
  explicit XvfbServer(int width = 1280, int height = 1024);
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  const std::string& name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

// A child process; killed when this goes unless it has ended.
class Process {
 public:
  // With `errorFile` or `outputFile`, the child's standard error or output goes there.
  Process(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
          const std::string& errorFile = {}, const std::string& outputFile = {});
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  pid_t pid() const { return pid_; }
  bool running();
  // The exit status, or nullopt if it did not end in time or was killed by a signal.
  std::optional<int> waitExit(std::chrono::milliseconds timeout);

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

// Runs a command to its end and returns its exit status.
int run(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {});

// A picture of a window, pixels as 0xRRGGBB.
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
  // Writes the frame as a PPM picture, for looking at a failure.
  void save(const std::string& path) const;
};

class XConnection {
 public:
  explicit XConnection(const std::string& display);
  ~XConnection();
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;

  // The mapped top-level window with this title, waiting for it to appear; a window
  // manager's frame round it is looked inside.
  unsigned long waitForWindow(const std::string& title, std::chrono::milliseconds timeout);
  // Whether a window manager runs and manages windows (EWMH's supporting-window check,
  // and the work area it sets once it has set the screen up).
  bool windowManagerRunning();
  // Whether the window manager shows the window in full screen.
  bool fullScreen(unsigned long window);
  std::string title(unsigned long window);
  std::pair<int, int> size(unsigned long window);
  Frame grab(unsigned long window);
  std::string standing(unsigned long window);
  // Asks the window to close, as a window manager's close button does.
  void requestClose(unsigned long window);
  void setAutoRepeat(bool on);

 private:
  unsigned long findWindow(unsigned long parent, const std::string& title, int depth);
  std::vector<unsigned long> property(unsigned long window, const char* name, unsigned long type);

  Display* display_ = nullptr;
};

}  // namespace tilerush::e2e
