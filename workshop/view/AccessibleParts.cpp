#include "AccessibleParts.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace qv::workshop {

namespace {

class AccessiblePartInterface : public QAccessibleWidget {
 public:
  explicit AccessiblePartInterface(AccessiblePart* part) : QAccessibleWidget(part, QAccessible::StaticText) {}
  QString text(QAccessible::Text t) const override {
    auto* part = static_cast<const AccessiblePart*>(widget());
    if (t == QAccessible::Value) return part->Value();
    if (t == QAccessible::Name) return part->accessibleName();
    return QAccessibleWidget::text(t);
  }
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
  value_ = value;
  QAccessibleValueChangeEvent event(this, value);
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
