#pragma once
// Invisible parts laid over the workshop view's drawing, one per value a
// screen reader should find: the differences, absolute values and scatters,
// the reference, the unit, the tolerance, the verdict and the connection.
// Each is a static text whose name says what it is ("Abweichung Zylinder 3")
// and whose text is the value as drawn ("+14 mBar"). The text goes out
// through the text interface, which Qt's AT-SPI bridge exports (it exports no
// accessible value of a static text), and every change as a text update,
// which the bridge sends on as object:text-changed.
#include <QString>
#include <QWidget>

namespace qv::workshop {

class AccessiblePart : public QWidget {
  Q_OBJECT

 public:
  AccessiblePart(const QString& name, QWidget* parent);
  // Sets the text and tells assistive technology when it changed.
  void SetValue(const QString& value);
  [[nodiscard]] const QString& Value() const { return value_; }
  void SetName(const QString& name);

 private:
  QString value_;
};

// Makes AccessiblePart readable through QAccessible: its name, its value as
// text(Value) and as its text interface. Called once; calling again does
// nothing.
void InstallAccessibleParts();

}  // namespace qv::workshop
