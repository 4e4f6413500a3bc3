// The screen keys reach the game like any other key, which does nothing with them;
// the window passes on what the stage made of their first press.
#include "app/screen_mode.h"

#include <QEvent>
#include <QScreen>
#include <utility>

namespace tilerush {
namespace {

constexpr int kSettleMs = 400;
constexpr int kFittingMs = 1500;
// A window manager that insists on a size of its own (a tiling one) is let have it.
constexpr int kCorrections = 3;

}  // namespace

ScreenMode::ScreenMode(GameWindow& window, PlayerSettings& settings) : window_(window), settings_(settings) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  fitting_.setSingleShot(true);
  fitting_.setInterval(kFittingMs);
  givingBack_.setSingleShot(true);
  givingBack_.setInterval(kFittingMs);
  connect(&settle_, &QTimer::timeout, this, &ScreenMode::saveSize);
  restore();
  window.installEventFilter(this);
  connect(&window, &GameWindow::screenAsked, this, &ScreenMode::asked);
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
    fitWhenShown_ = true;
  }
  if (settings_.fullScreen()) window_.setWindowState(window_.windowState() | Qt::WindowFullScreen);
  wasFullScreen_ = window_.isFullScreen();
}

void ScreenMode::asked(GameWindow::ScreenAsk ask) {
  if (ask == GameWindow::ScreenAsk::ToggleFullScreen) {
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
}

bool ScreenMode::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::Resize) resized();
  if (event->type() == QEvent::WindowStateChange) stateChanged();
  // The frame a window manager puts round a window is known only once it has framed
  // and placed it, soon after the window shows; a window dragged later is left be.
  if (event->type() == QEvent::Show && std::exchange(fitWhenShown_, false)) {
    fitting_.start();
    QTimer::singleShot(0, this, &ScreenMode::fitOnScreen);
  }
  if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && fitting_.isActive())
    fitOnScreen();
  return false;
}

// A window opened larger than the screen (its kept size, with the frame round it)
// is brought within it, title bar included.
void ScreenMode::fitOnScreen() {
  const QScreen* screen = window_.screen();
  if (!screen || !showsNormally()) return;
  const QRect room = screen->availableGeometry();
  const QRect frame = window_.frameGeometry();
  if (room.contains(frame)) return;
  const QSize over = (frame.size() - room.size()).expandedTo(QSize(0, 0));
  window_.resize((window_.size() - over).expandedTo(window_.minimumSize()));
  window_.move(room.topLeft());
}

bool ScreenMode::showsNormally() const {
  return !(window_.windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized | Qt::WindowMinimized));
}

void ScreenMode::resized() {
  if (!showsNormally() || !window_.isVisible()) return;
  if (givingBack_.isActive()) {
    if (window_.size() != normalSize_ && corrections_ < kCorrections) {
      ++corrections_;
      window_.resize(normalSize_);
    }
    return;
  }
  normalSize_ = window_.size();
  settle_.start();
}

// However full screen was left (the screen keys or the window manager's own), the
// window gets back the size it had.
void ScreenMode::stateChanged() {
  const bool fullScreen = window_.isFullScreen();
  settings_.setFullScreen(fullScreen);
  if (std::exchange(wasFullScreen_, fullScreen) && !fullScreen) giveSizeBack();
}

// The size given back is the window's own, its frame left out, as the size kept is.
// Window managers give the old size back themselves; without one, this does.
void ScreenMode::giveSizeBack() {
  corrections_ = 0;
  givingBack_.start();
  window_.resize(normalSize_);
}

// A window never resized stores no size: it opens at its natural size anyway.
void ScreenMode::saveSize() {
  settle_.stop();
  if (!showsNormally() || !window_.isVisible()) return;
  // A watched replay's timeline is not part of the size kept for the game.
  const QSize size = window_.size() - QSize(0, window_.barHeight());
  const QSize kept = settings_.windowSize().value_or(window_.area().naturalSize());
  if (size != kept) settings_.setWindowSize(size);
}

}  // namespace tilerush
