#pragma once
// Invisible parts laid over the workshop view's drawing, one per value a
// screen reader should find: the four differences and absolute values, the
// reference, the unit and the verdict. Each has an accessible name and an
// accessible value that follow the display.
#include <QString>
#include <QWidget>

namespace qv::workshop {

class AccessiblePart : public QWidget {
  Q_OBJECT

 public:
  AccessiblePart(const QString& name, QWidget* parent);
  // Sets the accessible value and tells assistive technology when it changed.
  void SetValue(const QString& value);
  [[nodiscard]] const QString& Value() const { return value_; }
  void SetName(const QString& name);

 private:
  QString value_;
};

// Makes AccessiblePart's value readable through QAccessible (text(Value)).
// Called once; calling again does nothing.
void InstallAccessibleParts();

}  // namespace qv::workshop
