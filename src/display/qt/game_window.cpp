// The window: a fixed client area, push buttons placed from their elements, and key
// events passed on as the game's key codes.
#include "display/qt/game_window.h"

#include <QKeyEvent>
#include <cmath>

#include "display/qt/element_painter.h"
#include "display/qt/fonts.h"

namespace tilerush {
namespace {

int toPixels(float twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

}  // namespace

GameWindow::GameWindow(const Display& display, const QString& title, float width, float height)
    : display_(display),
      canvas_(new Canvas(display, this)),
      keys_([this](int code, int shift) { Q_EMIT keyDown(code, shift); },
            [this](int code, int shift) { Q_EMIT keyUp(code, shift); }) {
  installFontSubstitutions();
  const QSize client(toPixels(width), toPixels(height));
  setFixedSize(client);
  canvas_->setGeometry(QRect(QPoint(0, 0), client));
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
    const QString name = button->objectName();
    connect(button, &QPushButton::clicked, this, [this, name] { Q_EMIT buttonClicked(name); });
  }
  return *button;
}

void GameWindow::syncButton(QPushButton& button, const Element& element) {
  const Rect& r = element.bounds();
  button.setGeometry(toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height));
  button.setFont(gameFont(element.style().font));
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

void GameWindow::displayRebuilt() {
  for (const auto& element : display_.elements()) {
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
  QWidget::focusOutEvent(event);
}

}  // namespace tilerush
