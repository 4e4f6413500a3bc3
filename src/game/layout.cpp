// The layout table of the game window.
#include "game/layout.h"

#include "game/ids.h"

namespace tilerush {
namespace {

constexpr Color kBlack = 0x000000;
constexpr Color kRed = 0x0000FF;
constexpr Color kDarkBlue = 0x400000;

ElementSpec shape(const char* name, int index, ShapeForm form, Rect r, Color fill) {
  ElementSpec s;
  s.name = name;
  s.index = index;
  s.kind = ElementKind::Shape;
  s.bounds = r;
  s.fillColor = fill;
  s.style.form = form;
  s.style.outline = kBlack;
  return s;
}

ElementSpec label(const char* name, Rect r, const char* caption, Font font) {
  ElementSpec s;
  s.name = name;
  s.kind = ElementKind::Label;
  s.bounds = r;
  s.caption = caption;
  s.style.font = std::move(font);
  return s;
}

// A box caption of the top two rows: bordered, in the heavy display face.
ElementSpec boxLabel(const char* name, Rect r, const char* caption, Color text) {
  ElementSpec s = label(name, r, caption, {"Impact", 21.75, true});
  s.style.bordered = true;
  s.style.textColor = text;
  return s;
}

// A red counter painted straight onto the box beneath it.
ElementSpec counterLabel(const char* name, Rect r, const char* caption) {
  ElementSpec s = label(name, r, caption, {"Arial", 19.5, true});
  s.style.textColor = kRed;
  s.style.transparent = true;
  s.style.alignment = Alignment::Right;
  return s;
}

ElementSpec lifeMarker(int index, float left, float top, bool shown) {
  ElementSpec s = shape("life", index, ShapeForm::RoundedRectangle, {left, top, 1215, 135}, kRed);
  s.style.outlinePixels = 2;
  s.visible = shown;
  return s;
}

ElementSpec button(ButtonId id, Rect r, const char* caption, Font font) {
  ElementSpec s;
  s.name = nameOf(id);
  s.kind = ElementKind::Button;
  s.bounds = r;
  s.caption = caption;
  s.visible = false;
  s.style.font = std::move(font);
  return s;
}

ElementSpec timer(TimerId id, int interval) {
  ElementSpec s;
  s.name = nameOf(id);
  s.kind = ElementKind::Timer;
  s.interval = interval;
  s.visible = false;
  return s;
}

std::vector<ElementSpec> makeLayout() {
  std::vector<ElementSpec> layout;
  ElementSpec frame = label("Label5", {0, 1440, 8535, 5895}, "", {"Arial", 8.25, false});
  frame.style.bordered = true;
  layout.push_back(frame);

  ElementSpec board = shape("board", -1, ShapeForm::Rectangle, {120, 1560, 8295, 5655}, 0x80FF80);
  board.style.outline = 0xFFC0C0;
  layout.push_back(board);

  ElementSpec brick = label("brick", {360, 1800, 1935, 855}, "4", {"Arial", 7.5, true});
  brick.index = 0;
  brick.visible = false;
  brick.backColor = 0xFFFFFF;
  brick.style.bordered = true;
  brick.style.alignment = Alignment::Center;
  layout.push_back(brick);

  layout.push_back(boxLabel("Label4", {5640, 720, 2535, 615}, " Bricks", kBlack));
  layout.push_back(boxLabel("Label7", {5760, 0, 2775, 615}, " High", kDarkBlue));
  layout.push_back(shape("logobox", -1, ShapeForm::RoundedRectangle, {3120, 0, 2535, 615}, 0xC0C0C0));
  layout.push_back(boxLabel("Label3", {0, 0, 3015, 615}, "  Score", kDarkBlue));
  layout.push_back(boxLabel("Label2", {360, 720, 5055, 615}, " Lives", kBlack));
  layout.push_back(lifeMarker(6, 4080, 1080, false));
  layout.push_back(lifeMarker(5, 2760, 1080, false));
  layout.push_back(lifeMarker(4, 1440, 1080, false));
  layout.push_back(counterLabel("numbricks", {6960, 840, 1080, 390}, "0000"));
  layout.push_back(shape("logoball", 0, ShapeForm::Circle, {960, 4800, 255, 255}, 0xFFFFFF));

  ElementSpec logo = label("logo", {3480, 120, 1770, 420}, "TILE-RUSH", {"Times New Roman", 18, false});
  logo.style.textColor = 0x800000;
  logo.style.transparent = true;
  layout.push_back(logo);

  layout.push_back(counterLabel("highscore", {6720, 120, 1695, 495}, "000000"));
  layout.push_back(counterLabel("showscore", {1200, 120, 1695, 495}, "000000"));
  layout.push_back(lifeMarker(2, 2760, 840, true));
  layout.push_back(lifeMarker(1, 1440, 840, true));
  layout.push_back(lifeMarker(3, 4080, 840, true));
  layout.push_back(shape("paddle", -1, ShapeForm::RoundedRectangle, {3240, 6120, 1935, 255}, 0x0080FF));
  layout.push_back(shape("ball", -1, ShapeForm::Circle, {960, 5520, 255, 255}, 0xFF0000));

  layout.push_back(button(ButtonId::Pause, {3360, 2880, 2415, 1455}, "Pause", {"MS Song", 24, true}));
  layout.push_back(
      button(ButtonId::GameOver, {3360, 2640, 2415, 1935}, "Game Over", {"Lucida Handwriting", 27.75, true}));
  layout.push_back(
      button(ButtonId::NextLevel, {2760, 4800, 3495, 975}, "Level: 1", {"Times New Roman", 27.75, true}));
  // Created in the order ticks due at one instant fire.
  layout.push_back(timer(TimerId::Timer1, kPlayTickMs));
  layout.push_back(timer(TimerId::Timer2, kPlayTickMs));
  layout.push_back(timer(TimerId::Timer3, kLogoTickMs));
  return layout;
}

}  // namespace

const std::vector<ElementSpec>& formLayout() {
  static const std::vector<ElementSpec> layout = makeLayout();
  return layout;
}

}  // namespace tilerush
