// The workshop view's accessible parts as Qt's AT-SPI bridge reads them: the
// value as a read-only text whose characters lie in the part's place. That
// every change reaches AT-SPI as object:text-changed is checked over the bus
// (test_workshop_atspi.py): without a platform bridge, as offscreen, Qt hands
// no accessibility event on, not even to an update handler.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QWidget>

#include "AccessibleParts.h"

namespace {

using qv::workshop::AccessiblePart;

class Part : public ::testing::Test {
 protected:
  void SetUp() override {
    window.resize(400, 200);
    part = new AccessiblePart(QStringLiteral("Abweichung Zylinder 3"), &window);
    part->setGeometry(40, 20, 203, 50);
    window.show();
  }
  [[nodiscard]] QAccessibleInterface* Interface() const { return QAccessible::queryAccessibleInterface(part); }
  QWidget window;
  AccessiblePart* part = nullptr;
};

TEST_F(Part, ItsValueIsAReadOnlyTextInItsPlace) {
  part->SetValue(QString::fromUtf8("+14 mBar"));
  QAccessibleInterface* i = Interface();
  ASSERT_NE(i, nullptr);
  EXPECT_EQ(i->role(), QAccessible::StaticText);
  EXPECT_EQ(i->text(QAccessible::Name), "Abweichung Zylinder 3");
  EXPECT_TRUE(i->state().readOnly);
  QAccessibleTextInterface* t = i->textInterface();
  ASSERT_NE(t, nullptr) << "no text interface: AT-SPI would carry the name alone";
  EXPECT_EQ(t->characterCount(), 8);
  EXPECT_EQ(t->text(0, -1), "+14 mBar");  // -1: to the end, as screen readers ask
  EXPECT_EQ(t->text(1, 3), "14");
  EXPECT_EQ(t->text(4, 99), "mBar");
  EXPECT_EQ(t->text(6, 2), "");
  EXPECT_EQ(t->selectionCount(), 0);
  EXPECT_EQ(i->text(QAccessible::Value), "+14 mBar");  // for in-process readers

  // The characters tile the part's place from left to right, and a point
  // finds the character under it.
  const QRect place = i->rect();
  ASSERT_FALSE(place.isEmpty());
  EXPECT_EQ(t->characterRect(0).left(), place.left());
  EXPECT_EQ(t->characterRect(7).right(), place.right());
  for (int c = 0; c < 8; ++c) {
    const QRect r = t->characterRect(c);
    EXPECT_FALSE(r.isEmpty()) << c;
    EXPECT_EQ(r.top(), place.top()) << c;
    EXPECT_EQ(r.bottom(), place.bottom()) << c;
    if (c > 0) {
      EXPECT_EQ(r.left(), t->characterRect(c - 1).right() + 1) << c;
    }
    EXPECT_EQ(t->offsetAtPoint(r.center()), c) << c;
  }
  EXPECT_TRUE(t->characterRect(8).isEmpty());
  EXPECT_TRUE(t->characterRect(-1).isEmpty());
  EXPECT_EQ(t->offsetAtPoint(place.topLeft() - QPoint(1, 0)), -1);
  EXPECT_EQ(t->offsetAtPoint(place.bottomRight() + QPoint(0, 1)), -1);

  part->SetValue({});
  EXPECT_EQ(t->characterCount(), 0);
  EXPECT_EQ(t->text(0, -1), "");
  EXPECT_EQ(t->offsetAtPoint(place.center()), -1);
}

}  // namespace
