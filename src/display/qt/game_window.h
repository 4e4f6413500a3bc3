// The game's one top-level window: the canvas, the three push buttons and the keys.
#pragma once

#include <QPushButton>
#include <QWidget>
#include <map>
#include <string>

#include "display/display.h"
#include "display/qt/canvas.h"
#include "display/qt/key_translator.h"

namespace tilerush {

class GameWindow : public QWidget, public DisplayObserver {
  Q_OBJECT

 public:
  // A fixed client area of `width` x `height` twips, drawn at any device pixel ratio.
  GameWindow(const Display& display, const QString& title, float width, float height);

  Canvas& canvas() { return *canvas_; }
  // The push button made for a button element, or null.
  QPushButton* button(const std::string& name) const;

  // DisplayObserver: brings the screen up to date with one changed element, or with
  // elements all made anew.
  void elementChanged(const Element& element, const Rect& before) override;
  void intervalChanged(const Element&) override {}
  void displayRebuilt() override;

 Q_SIGNALS:
  void keyDown(int code, int shift);
  void keyUp(int code, int shift);
  void buttonClicked(const QString& name);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QPushButton& buttonFor(const Element& element);
  void syncButton(QPushButton& button, const Element& element);

  const Display& display_;
  Canvas* canvas_;
  std::map<std::string, QPushButton*> buttons_;
  KeyTranslator keys_;
};

}  // namespace tilerush
