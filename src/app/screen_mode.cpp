// The screen keys watch the window's key-downs go by, as the sound's M does: they
// reach the game like any other key, which does nothing with them.
#include "app/screen_mode.h"

#include <QEvent>
#include <QScreen>

namespace tilerush {
namespace {

constexpr int kKeyEnter = 13;
constexpr int kKeyEscape = 27;
constexpr int kKeyF11 = 122;
constexpr int kAltHeld = 4;
constexpr int kSettleMs = 400;

}  // namespace

ScreenMode::ScreenMode(GameWindow& window, PlayerSettings& settings) : window_(window), settings_(settings) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &ScreenMode::saveSize);
  restore();
  window.installEventFilter(this);
  connect(&window, &GameWindow::keyDown, this, &ScreenMode::keyDown);
  connect(&window, &GameWindow::keyUp, this, [this](int code, int) { held_.erase(code); });
}

ScreenMode::~ScreenMode() {
  if (settle_.isActive()) saveSize();
}

// A size kept from a larger screen than this one is brought within it.
void ScreenMode::restore() {
  normalSize_ = window_.size();
  if (std::optional<QSize> kept = settings_.windowSize()) {
    QSize size = kept->expandedTo(window_.minimumSize());
    if (const QScreen* screen = window_.screen()) size = size.boundedTo(screen->availableSize());
    window_.resize(size);
    normalSize_ = size;
  }
  if (settings_.fullScreen()) window_.setWindowState(window_.windowState() | Qt::WindowFullScreen);
}

void ScreenMode::keyDown(int code, int shift) {
  const bool toggles = code == kKeyF11 || (code == kKeyEnter && (shift & kAltHeld));
  if ((!toggles && code != kKeyEscape) || !held_.insert(code).second) return;
  if (toggles) {
    toggleFullScreen();
  } else {
    leaveFullScreen();
  }
}

void ScreenMode::toggleFullScreen() {
  if (window_.isFullScreen()) return leaveFullScreen();
  window_.setWindowState(window_.windowState() | Qt::WindowFullScreen);
}

void ScreenMode::leaveFullScreen() {
  if (!window_.isFullScreen()) return;
  window_.setWindowState(window_.windowState() & ~Qt::WindowFullScreen);
  // Window managers give the old size back themselves; without one, this does.
  window_.resize(normalSize_);
}

bool ScreenMode::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::Resize) resized();
  if (event->type() == QEvent::WindowStateChange) stateChanged();
  return false;
}

bool ScreenMode::showsNormally() const {
  return !(window_.windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized | Qt::WindowMinimized));
}

void ScreenMode::resized() {
  if (!showsNormally() || !window_.isVisible()) return;
  normalSize_ = window_.size();
  settle_.start();
}

void ScreenMode::stateChanged() { settings_.setFullScreen(window_.isFullScreen()); }

// A window never resized stores no size: it opens at its natural size anyway.
void ScreenMode::saveSize() {
  settle_.stop();
  if (!showsNormally() || !window_.isVisible()) return;
  const QSize kept = settings_.windowSize().value_or(window_.area().naturalSize());
  if (window_.size() != kept) settings_.setWindowSize(window_.size());
}

}  // namespace tilerush
