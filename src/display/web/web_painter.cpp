// Shapes and labels as the window draws them: rectangles and borders as fills that
// land on whole pixels, curves and text antialiased.
#include "display/web/web_painter.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>

#include "display/web/page_calls.h"
#include "display/web/web_fonts.h"

namespace tilerush {
namespace {

struct Box {
  double left;
  double top;
  double width;
  double height;
};

Box pixels(const Rect& r) {
  return {r.left / kTwipsPerPixel, r.top / kTwipsPerPixel, r.width / kTwipsPerPixel,
          r.height / kTwipsPerPixel};
}

// The pixels inside a label's border, where its caption starts.
Box textBox(const Element& label) {
  Box box = pixels(label.bounds());
  if (!label.style().bordered) return box;
  return {box.left + 1, box.top + 1, box.width - 2, box.height - 2};
}

// Measuring asks the page to lay the text out; few captions differ, so each width is
// kept per font. Scores run through many texts: the table starts afresh when large.
double captionWidth(const std::string& font, const std::string& caption) {
  static std::unordered_map<std::string, std::unordered_map<std::string, double>> measured;
  auto& widths = measured[font];
  if (auto it = widths.find(caption); it != widths.end()) return it->second;
  if (widths.size() >= 256) widths.clear();
  const double width = tr_text_width(font.c_str(), caption.c_str());
  widths.emplace(caption, width);
  return width;
}

// A caption wider than its label runs out of it on the side away from the alignment.
Box captionArea(const Element& label, const std::string& font) {
  Box area = textBox(label);
  const double width = captionWidth(font, label.caption());
  if (width <= area.width) return area;
  switch (label.style().alignment) {
    case Alignment::Left:
      break;
    case Alignment::Right:
      area.left -= width - area.width;
      break;
    case Alignment::Center:
      area.left -= (width - area.width) / 2;
      break;
  }
  area.width = width;
  return area;
}

void paintShape(const Element& shape) {
  const Style& style = shape.style();
  const Box b = pixels(shape.bounds());
  const double pen = style.outlinePixels;
  if (style.form == ShapeForm::Rectangle) {
    tr_fill_rect(b.left, b.top, b.width, b.height, style.outline);
    if (b.width > 2 * pen && b.height > 2 * pen) {
      tr_fill_rect(b.left + pen, b.top + pen, b.width - 2 * pen, b.height - 2 * pen, shape.fillColor());
    }
    return;
  }
  // The stroke runs half a pen inside, so that the outline stays within the bounds.
  const double shorter = std::min(b.width, b.height);
  if (style.form == ShapeForm::Circle) {
    tr_circle(b.left + b.width / 2, b.top + b.height / 2, (shorter - pen) / 2, pen, shape.fillColor(),
              style.outline);
  } else {
    tr_rounded_rect(b.left + pen / 2, b.top + pen / 2, b.width - pen, b.height - pen, shorter / 4, pen,
                    shape.fillColor(), style.outline);
  }
}

void paintLabel(const Element& label) {
  const Style& style = label.style();
  const Box b = pixels(label.bounds());
  if (!style.transparent) tr_fill_rect(b.left, b.top, b.width, b.height, label.backColor());
  if (style.bordered) {
    tr_fill_rect(b.left, b.top, b.width, 1, kSystemText);
    tr_fill_rect(b.left, b.top + b.height - 1, b.width, 1, kSystemText);
    tr_fill_rect(b.left, b.top, 1, b.height, kSystemText);
    tr_fill_rect(b.left + b.width - 1, b.top, 1, b.height, kSystemText);
  }
  if (label.caption().empty()) return;
  const std::string font = cssFont(style.font);
  const Box area = captionArea(label, font);
  const int align = style.alignment == Alignment::Right ? 1 : style.alignment == Alignment::Center ? 2 : 0;
  tr_text(font.c_str(), label.caption().c_str(), area.left, area.top, area.width, align, style.textColor);
}

}  // namespace

PixelArea PixelArea::united(const PixelArea& o) const {
  if (empty()) return o;
  if (o.empty()) return *this;
  return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
}

PixelArea PixelArea::clipped(const PixelArea& o) const {
  return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
}

PixelArea pixelBounds(const Rect& twips, int spare) {
  const Box b = pixels(twips);
  return {static_cast<int>(std::floor(b.left)) - spare, static_cast<int>(std::floor(b.top)) - spare,
          static_cast<int>(std::ceil(b.left + b.width)) + spare,
          static_cast<int>(std::ceil(b.top + b.height)) + spare};
}

PixelArea paintedBounds(const Element& element, int spare) {
  PixelArea bounds = pixelBounds(element.bounds(), spare);
  if (element.kind() != ElementKind::Label || element.caption().empty()) return bounds;
  const Box area = captionArea(element, cssFont(element.style().font));
  const PixelArea text{static_cast<int>(std::floor(area.left)) - spare,
                       static_cast<int>(std::floor(area.top)) - spare,
                       static_cast<int>(std::ceil(area.left + area.width)) + spare,
                       static_cast<int>(std::ceil(area.top + area.height)) + spare};
  return bounds.united(text);
}

int sparePixels(double devicePixelsPerPixel) {
  if (!(devicePixelsPerPixel > 0) || devicePixelsPerPixel >= 1) return 1;
  return static_cast<int>(std::ceil(1 / devicePixelsPerPixel));
}

void paintElement(const Element& element) {
  if (element.kind() == ElementKind::Shape) paintShape(element);
  if (element.kind() == ElementKind::Label) paintLabel(element);
}

}  // namespace tilerush
