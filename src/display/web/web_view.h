// The element model shown in the page: shapes and labels on its canvas, push buttons
// as the page's own buttons.
#pragma once

#include "display/display.h"
#include "display/web/web_buttons.h"
#include "display/web/web_canvas.h"

namespace tilerush {

class WebView : public DisplayObserver {
 public:
  explicit WebView(const Display& display) : display_(display), canvas_(display) {}

  // The page shows this view from now on, in place of another: everything is drawn
  // again and every button set as the model has it.
  void showAll();
  // Repaints what changed since the last time.
  void paint() { canvas_.paint(); }
  // The page's pixels were lost or changed scale.
  void repaintAll() { canvas_.repaintAll(); }

  const WebButtons& buttons() const { return buttons_; }
  const WebCanvas& canvas() const { return canvas_; }

  // DisplayObserver
  void elementChanged(const Element& element, const Rect& before) override;
  void intervalChanged(const Element&) override {}
  void displayRebuilt() override;

 private:
  const Display& display_;
  WebCanvas canvas_;
  WebButtons buttons_;
};

}  // namespace tilerush
