// The window: the layout fitted to its size on the face colour, push buttons placed
// from their elements at the same scale, and key events passed on as the game's key
// codes.
#include "display/qt/game_window.h"

#include <QKeyEvent>
#include <QPainter>

#include "display/qt/element_painter.h"
#include "display/qt/fonts.h"

namespace tilerush {

GameWindow::GameWindow(const Display& display, const QString& title, float width, float height)
    : display_(&display),
      natural_(width, height),
      canvas_(new Canvas(display, natural_, this)),
      keys_([this](int code, int shift, bool repeat) { Q_EMIT keyDown(code, shift, repeat); },
            [this](int code, int shift) { Q_EMIT keyUp(code, shift); }),
      pointer_(*this),
      tracker_(*canvas_),
      focus_(*this, [this] { keyboardLeft(); }) {
  installFontSubstitutions();
  // Whatever the canvas leaves uncovered is painted here, in the face colour.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(natural_.smallestSize());
  resize(natural_.naturalSize());
  pointer_.watch(*canvas_);
  connect(&tracker_, &PointerTracker::moved, this, &GameWindow::pointerMoved);
  connect(&tracker_, &PointerTracker::gone, this, &GameWindow::pointerGone);
  setWindowTitle(title);
  setAccessibleName(title);
  setFocusPolicy(Qt::StrongFocus);
}

QPushButton* GameWindow::button(const std::string& name) const {
  auto it = buttons_.find(name);
  return it == buttons_.end() ? nullptr : it->second;
}

QPushButton& GameWindow::buttonFor(const Element& element) {
  QPushButton*& button = buttons_[element.name()];
  if (!button) {
    button = new QPushButton(this);
    button->setObjectName(QString::fromStdString(element.name()));
    // The arrow keys and P must keep reaching the window while a button shows.
    button->setFocusPolicy(Qt::NoFocus);
    pointer_.watch(*button);
    tracker_.watch(*button);
    const QString name = button->objectName();
    connect(button, &QPushButton::clicked, this, [this, name] { Q_EMIT buttonClicked(name); });
  }
  return *button;
}

void GameWindow::syncButton(QPushButton& button, const Element& element) {
  button.setGeometry(area().placed(element.bounds()));
  button.setFont(gameFont(element.style().font, area().scale()));
  const QString caption = QString::fromStdString(element.caption());
  button.setText(caption);
  button.setAccessibleName(caption);
  button.raise();
  button.setVisible(element.visible());
}

void GameWindow::elementChanged(const Element& element, const Rect& before) {
  switch (element.kind()) {
    case ElementKind::Button:
      syncButton(buttonFor(element), element);
      break;
    case ElementKind::Shape:
    case ElementKind::Label:
      canvas_->elementChanged(element, before);
      break;
    case ElementKind::Timer:
      break;
  }
}

void GameWindow::showDisplay(const Display& display) {
  display_ = &display;
  canvas_->setDisplay(display);
  displayRebuilt();
}

void GameWindow::displayRebuilt() {
  for (const auto& element : display_->elements()) {
    if (element->kind() == ElementKind::Button) syncButton(buttonFor(*element), *element);
  }
  canvas_->rebuild();
}

void GameWindow::keyPressEvent(QKeyEvent* event) { keys_.press(*event); }

void GameWindow::keyReleaseEvent(QKeyEvent* event) { keys_.release(*event); }

// The release of a key held when the keyboard goes elsewhere never comes here: it
// is given now, or the paddle would run on by itself.
void GameWindow::focusOutEvent(QFocusEvent* event) {
  keys_.releaseAll();
  focus_.qtFocusOut(*event);
  QWidget::focusOutEvent(event);
}

void GameWindow::setBar(QWidget* bar) {
  const int before = barHeight();
  if (bar_ && bar_ != bar) {
    bar_->hide();
    bar_->setParent(nullptr);
  }
  bar_ = bar;
  if (bar_) {
    bar_->setParent(this);
    bar_->show();
  }
  const int grown = barHeight() - before;
  setMinimumSize(natural_.smallestSize() + QSize(0, barHeight()));
  // Full screen and a maximised window keep their size; the bar takes from the game area.
  if (!(windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized))) resize(width(), height() + grown);
  fitToSize();
}

void GameWindow::keyboardLeft() {
  keys_.releaseAll();
  Q_EMIT playerLeft();
}

// Only the painting follows the window's size: the game itself hears nothing of it.
void GameWindow::resizeEvent(QResizeEvent* event) {
  fitToSize();
  QWidget::resizeEvent(event);
}

void GameWindow::fitToSize() {
  const int bar = barHeight();
  canvas_->setArea(natural_.fittedTo(size() - QSize(0, bar)));
  if (bar_) bar_->setGeometry(0, height() - bar, width(), bar);
  for (const auto& [name, button] : buttons_) {
    if (const Element* element = display_->find(name)) syncButton(*button, *element);
  }
}

void GameWindow::paintEvent(QPaintEvent* event) {
  QPainter(this).fillRect(event->rect(), toQColor(kSystemFace));
}

void GameWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) pointer_.setActive(isFullScreen());
  QWidget::changeEvent(event);
}

}  // namespace tilerush
