// One retained visual element (shape, label, push button) or interval timer.
#pragma once

#include <cstdint>
#include <string>

namespace tilerush {

class Display;

// Colours are 0x00BBGGRR, red in the low byte.
using Color = std::uint32_t;

// The face colour of windows, labels and buttons, and their text colour.
inline constexpr Color kSystemFace = 0xF0F0F0;
inline constexpr Color kSystemText = 0x000000;

enum class ElementKind { Shape, Label, Button, Timer };
enum class ShapeForm { Rectangle, RoundedRectangle, Circle };
enum class Alignment { Left, Right, Center };

// Lengths are twips, 1/1440 inch: 15 to a pixel at 96 dots per inch.
inline constexpr double kTwipsPerPixel = 15;

// A rectangle is what an element covers on the window, in twips.
struct Rect {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
};

struct Font {
  std::string face;
  double points = 8.25;
  bool bold = false;
  bool operator==(const Font&) const = default;
};

// What the layout fixes once and the game never changes at run time.
struct Style {
  ShapeForm form = ShapeForm::Rectangle;
  Color outline = 0x000000;
  int outlinePixels = 1;
  Font font;
  Color textColor = kSystemText;
  bool transparent = false;
  bool bordered = false;
  Alignment alignment = Alignment::Left;
};

class Element {
 public:
  Element(Display& owner, std::string name, int index, ElementKind kind, Style style);

  const std::string& name() const { return name_; }
  // Member index within an element array, or -1 for a lone element.
  int index() const { return index_; }
  ElementKind kind() const { return kind_; }
  const Style& style() const { return style_; }

  float left() const { return bounds_.left; }
  float top() const { return bounds_.top; }
  float width() const { return bounds_.width; }
  float height() const { return bounds_.height; }
  const Rect& bounds() const { return bounds_; }
  bool visible() const { return visible_; }
  const std::string& caption() const { return caption_; }
  Color backColor() const { return backColor_; }
  Color fillColor() const { return fillColor_; }
  int interval() const { return interval_; }
  // Position in the stacking order: larger is nearer the front.
  std::uint64_t stackStamp() const { return stackStamp_; }

  void setLeft(float v);
  void setTop(float v);
  void setWidth(float v);
  void setHeight(float v);
  // Moves without resizing, as one change.
  void move(float left, float top);
  void setBounds(const Rect& r);
  void setVisible(bool v);
  void setCaption(std::string text);
  void setBackColor(Color c);
  void setFillColor(Color c);
  // 0 stops a timer; a positive interval restarts its period.
  void setInterval(int ms);

 private:
  friend class Display;
  void changed(const Rect& before);

  Display& owner_;
  std::string name_;
  int index_;
  ElementKind kind_;
  Style style_;
  Rect bounds_;
  bool visible_ = true;
  std::string caption_;
  Color backColor_ = kSystemFace;
  Color fillColor_ = 0xFFFFFF;
  int interval_ = 0;
  std::uint64_t stackStamp_ = 0;
};

}  // namespace tilerush
