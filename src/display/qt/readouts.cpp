// The canvas as an accessible object whose children are its readouts.
#include "display/qt/readouts.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "display/qt/canvas.h"
#include "display/qt/element_painter.h"

namespace tilerush {
namespace {

class ReadoutAccessible : public QAccessibleInterface {
 public:
  ReadoutAccessible(Canvas* canvas, int index) : canvas_(canvas), index_(index) {}

  bool isValid() const override { return canvas_ && index_ < static_cast<int>(canvas_->readouts().size()); }
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(canvas_); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessible::Role role() const override { return QAccessible::StaticText; }
  QAccessible::State state() const override { return {}; }
  void setText(QAccessible::Text, const QString&) override {}

  QString text(QAccessible::Text t) const override {
    const Readout& readout = canvas_->readouts()[static_cast<std::size_t>(index_)];
    QString value = readoutText(canvas_->display(), readout);
    if (t == QAccessible::Name) return readout.name + ": " + value;
    if (t == QAccessible::Value) return value;
    return {};
  }

  QRect rect() const override {
    const Readout& readout = canvas_->readouts()[static_cast<std::size_t>(index_)];
    const Element* element = canvas_->display().find(readout.element);
    if (!element) return {};
    const QRect pixels = canvas_->area().cover(pixelBounds(element->bounds()));
    return QRect(canvas_->mapToGlobal(pixels.topLeft()), pixels.size());
  }

 private:
  Canvas* canvas_;
  int index_;
};

// Qt's accessibility cache owns the children, by their ids, and so their lifetime.
class CanvasAccessible : public QAccessibleWidget {
 public:
  explicit CanvasAccessible(Canvas* canvas) : QAccessibleWidget(canvas, QAccessible::Graphic) {
    for (std::size_t i = 0; i < canvas->readouts().size(); ++i) {
      children_.push_back(
          QAccessible::registerAccessibleInterface(new ReadoutAccessible(canvas, static_cast<int>(i))));
    }
  }
  ~CanvasAccessible() override {
    for (QAccessible::Id id : children_) QAccessible::deleteAccessibleInterface(id);
  }
  int childCount() const override { return static_cast<int>(children_.size()); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    return QAccessible::accessibleInterface(children_[static_cast<std::size_t>(index)]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    for (std::size_t i = 0; i < children_.size(); ++i) {
      if (QAccessible::accessibleInterface(children_[i]) == child) return static_cast<int>(i);
    }
    return -1;
  }

 private:
  std::vector<QAccessible::Id> children_;
};

QAccessibleInterface* canvasAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String("tilerush::Canvas")) return nullptr;
  return new CanvasAccessible(static_cast<Canvas*>(object));
}

}  // namespace

QString readoutText(const Display& display, const Readout& readout) {
  if (const Element* label = display.find(readout.element))
    return QString::fromStdString(label->caption()).trimmed();
  int shown = 0;
  if (const ElementArray* members = display.array(readout.element)) {
    for (const Element* member : members->byIndex()) shown += member && member->visible();
  }
  return QString::number(shown);
}

void installReadoutAccessibility() {
  // Installing twice would ask the factory twice for every object.
  QAccessible::removeFactory(canvasAccessible);
  QAccessible::installFactory(canvasAccessible);
}

}  // namespace tilerush
