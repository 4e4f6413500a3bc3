// Wiring: model changes go to the window, ticks and input go to the game's handlers.
#include "display/qt/qt_game.h"

#include "display/qt/fonts.h"
#include "game/events.h"

namespace tilerush {

QtGame::QtGame(QtBackend::SeedSource seeds)
    : window_((installFontSubstitutions(), std::make_unique<GameWindow>(display_))),
      backend_(*window_, std::move(seeds)),
      form_(display_, backend_, random_) {
  display_.setObserver(&backend_);
  backend_.setTimerHandler([this](const std::string& timer) { fireTimer(form_, timer); });
  connectInput();
}

void QtGame::connectInput() {
  GameWindow* window = window_.get();
  QObject::connect(window, &GameWindow::keyDown, window, [this](int code, int shift) {
    backend_.submitInput([this, code, shift] { form_.Form_KeyDown(code, shift); });
  });
  QObject::connect(window, &GameWindow::keyUp, window, [this](int code, int shift) {
    backend_.submitInput([this, code, shift] { form_.Form_KeyUp(code, shift); });
  });
  QObject::connect(window, &GameWindow::buttonClicked, window, [this](const QString& name) {
    backend_.submitInput([this, button = name.toStdString()] {
      // A click held through a pause is lost if its button has gone meanwhile.
      const Element* element = display_.find(button);
      if (element && element->visible()) clickButton(form_, button);
    });
  });
}

void QtGame::open() {
  form_.open();
  window_->show();
  window_->setFocus();
}

}  // namespace tilerush
