#include "AccessibleParts.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <algorithm>
#include <utility>

namespace qv::workshop {

namespace {

// A read-only text without caret or selection. The drawing keeps no glyph
// positions, so the characters share the part's place evenly: enough for a
// screen reader's review to find the text where it stands.
class AccessiblePartInterface : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit AccessiblePartInterface(AccessiblePart* part) : QAccessibleWidget(part, QAccessible::StaticText) {}

  void* interface_cast(QAccessible::InterfaceType t) override {
    if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return Value();
    if (t == QAccessible::Name) return widget()->accessibleName();
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
  }

  QString text(int startOffset, int endOffset) const override {
    const QString& v = Value();
    if (endOffset < 0 || endOffset > v.size()) endOffset = static_cast<int>(v.size());  // -1: to the end
    startOffset = std::clamp(startOffset, 0, endOffset);
    return v.mid(startOffset, endOffset - startOffset);
  }
  int characterCount() const override { return static_cast<int>(Value().size()); }
  QRect characterRect(int offset) const override {
    const int n = characterCount();
    if (offset < 0 || offset >= n) return {};
    const QRect r = rect();
    const int left = r.left() + r.width() * offset / n;
    const int right = r.left() + r.width() * (offset + 1) / n;
    return {left, r.top(), right - left, r.height()};
  }
  int offsetAtPoint(const QPoint& point) const override {
    const int n = characterCount();
    const QRect r = rect();
    if (n == 0 || !r.contains(point)) return -1;
    return std::min(n - 1, (point.x() - r.left()) * n / std::max(1, r.width()));
  }
  QString attributes(int offset, int* startOffset, int* endOffset) const override {
    (void)offset;
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
  }
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
    (void)selectionIndex;
    *startOffset = *endOffset = 0;
  }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  void scrollToSubstring(int, int) override {}

 private:
  const QString& Value() const { return static_cast<const AccessiblePart*>(widget())->Value(); }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
  if (className == QLatin1String(AccessiblePart::staticMetaObject.className()) && object && object->isWidgetType())
    return new AccessiblePartInterface(static_cast<AccessiblePart*>(object));
  return nullptr;
}

}  // namespace

AccessiblePart::AccessiblePart(const QString& name, QWidget* parent) : QWidget(parent) {
  InstallAccessibleParts();
  setAccessibleName(name);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
}

void AccessiblePart::SetName(const QString& name) {
  if (accessibleName() != name) setAccessibleName(name);  // Qt sends NameChanged itself
}

void AccessiblePart::SetValue(const QString& value) {
  if (value == value_) return;
  const QString old = std::exchange(value_, value);
  // The whole text replaced; AT-SPI hears it as a delete and an insert.
  QAccessibleTextUpdateEvent event(this, 0, old, value_);
  QAccessible::updateAccessibility(&event);
}

void InstallAccessibleParts() {
  static const bool installed = [] {
    QAccessible::installFactory(&Factory);
    return true;
  }();
  (void)installed;
}

}  // namespace qv::workshop
