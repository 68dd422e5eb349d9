#include <gtest/gtest.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QToolButton>
#include <limits>

#include "SpinEdit.h"

namespace {

// A field as the settings dialog uses it, shown so that its buttons have their place.
struct SpinEditTest : ::testing::Test {
  TSpinEdit edit;
  int beeps = 0;

  void SetUp() override {
    edit.SetMinValue(100);
    edit.SetMaxValue(2000);
    edit.SetValue(200);
    edit.resize(73, 22);
    edit.show();
    edit.Beep = [this] { ++beeps; };
  }

  bool Key(int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent ev(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(&edit, &ev);
    return ev.isAccepted();
  }
  void Type(const QString& chars) {
    for (QChar c : chars) Key(c.unicode() >= u'0' && c.unicode() <= u'9' ? Qt::Key_0 + (c.unicode() - u'0') : 0, c);
  }
  static void Mouse(QWidget* w, QEvent::Type type) {
    const QPointF p(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent ev(type, p, w->mapToGlobal(p), Qt::LeftButton,
                   type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &ev);
  }
  void FocusOut(Qt::FocusReason reason = Qt::TabFocusReason) {
    QFocusEvent ev(QEvent::FocusOut, reason);
    QApplication::sendEvent(&edit, &ev);
  }
};

TEST_F(SpinEditTest, ReadingTextThatIsNoIntegerGivesTheMinimum) {
  for (const char* junk : {"", "-", "+", "1,5", "1.5", "12a", " 12", "0x10", "99999999999", "--3"}) {
    edit.setText(junk);
    EXPECT_EQ(edit.Value(), 100) << '"' << junk << '"';
  }
  // A number outside the range reads as typed until the field is left.
  edit.setText("5000");
  EXPECT_EQ(edit.Value(), 5000);
  edit.setText("-7");
  EXPECT_EQ(edit.Value(), -7);
  edit.setText("+42");
  EXPECT_EQ(edit.Value(), 42);
  edit.setText("-2147483648");
  EXPECT_EQ(edit.Value(), std::numeric_limits<int>::min());
}

TEST_F(SpinEditTest, SettingClampsIntoTheRangeAndWritesDecimalText) {
  edit.SetValue(5000);
  EXPECT_EQ(edit.text(), "2000");
  edit.SetValue(1);
  EXPECT_EQ(edit.text(), "100");
  edit.SetValue(1234);
  EXPECT_EQ(edit.text(), "1234");

  // Equal bounds switch clamping off.
  edit.SetMinValue(0);
  edit.SetMaxValue(0);
  edit.SetValue(-5);
  EXPECT_EQ(edit.text(), "-5");
  edit.SetValue(std::numeric_limits<int>::max());
  edit.UpClick();
  EXPECT_EQ(edit.Value(), std::numeric_limits<int>::max()) << "a step past the integer limit stops there";

  // A reversed range still gives one of its bounds, never anything wild.
  edit.SetMinValue(20);
  edit.SetMaxValue(3);
  edit.SetValue(1);
  EXPECT_EQ(edit.Value(), 20);
  edit.SetValue(50);
  EXPECT_EQ(edit.Value(), 3);
}

TEST_F(SpinEditTest, ArrowKeysStepByTheIncrementAndClamp) {
  EXPECT_TRUE(Key(Qt::Key_Up));
  EXPECT_EQ(edit.text(), "201");
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  EXPECT_EQ(edit.text(), "199");
  edit.SetIncrement(50);
  Key(Qt::Key_Up);
  EXPECT_EQ(edit.Value(), 249);

  edit.SetValue(2000);
  Key(Qt::Key_Up);
  EXPECT_EQ(edit.text(), "2000");
  edit.SetValue(100);
  Key(Qt::Key_Down);
  EXPECT_EQ(edit.text(), "100");
  // From junk the step starts at the minimum.
  edit.setText("x");
  Key(Qt::Key_Up);
  EXPECT_EQ(edit.text(), "150");
  // From a typed number beyond the range the step lands back inside.
  edit.setText("9000");
  Key(Qt::Key_Down);
  EXPECT_EQ(edit.text(), "2000");
  EXPECT_EQ(beeps, 0);
}

TEST_F(SpinEditTest, ButtonsSitAtTheRightEdgeAndKeepTheFocusAway) {
  for (QToolButton* b : {edit.UpButton(), edit.DownButton()}) {
    EXPECT_EQ(b->width(), TSpinEdit::kButtonWidth);
    EXPECT_EQ(b->geometry().right(), edit.width() - 1);
    EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);
  }
  EXPECT_LT(edit.UpButton()->y(), edit.DownButton()->y());
}

TEST_F(SpinEditTest, HeldButtonRepeatsAfter400AndThenEvery100Milliseconds) {
  QTimer* timer = edit.RepeatTimer();
  Mouse(edit.UpButton(), QEvent::MouseButtonPress);
  EXPECT_EQ(edit.Value(), 201) << "a press steps at once";
  ASSERT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 400);

  QMetaObject::invokeMethod(timer, "timeout");
  EXPECT_EQ(edit.Value(), 202);
  EXPECT_EQ(timer->interval(), 100);
  QMetaObject::invokeMethod(timer, "timeout");
  QMetaObject::invokeMethod(timer, "timeout");
  EXPECT_EQ(edit.Value(), 204);
  EXPECT_TRUE(timer->isActive());

  Mouse(edit.UpButton(), QEvent::MouseButtonRelease);
  EXPECT_FALSE(timer->isActive());
  EXPECT_EQ(edit.Value(), 204) << "release adds no step";

  // The next hold waits the long delay again, and runs the other way.
  Mouse(edit.DownButton(), QEvent::MouseButtonPress);
  EXPECT_EQ(edit.Value(), 203);
  EXPECT_EQ(timer->interval(), 400);
  QMetaObject::invokeMethod(timer, "timeout");
  EXPECT_EQ(edit.Value(), 202);
  Mouse(edit.DownButton(), QEvent::MouseButtonRelease);
  EXPECT_FALSE(timer->isActive());

  // Held at the limit it stays there.
  edit.SetValue(1999);
  Mouse(edit.UpButton(), QEvent::MouseButtonPress);
  QMetaObject::invokeMethod(timer, "timeout");
  QMetaObject::invokeMethod(timer, "timeout");
  EXPECT_EQ(edit.Value(), 2000);
  Mouse(edit.UpButton(), QEvent::MouseButtonRelease);
}

TEST_F(SpinEditTest, HeldButtonRepeatsInRealTimeUntilReleased) {
  Mouse(edit.UpButton(), QEvent::MouseButtonPress);
  // Waits on the outcome only; how long it took is not judged here.
  QElapsedTimer guard;
  guard.start();
  while (edit.Value() < 203 && guard.elapsed() < 10000) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  Mouse(edit.UpButton(), QEvent::MouseButtonRelease);
  EXPECT_GE(edit.Value(), 203);
  EXPECT_FALSE(edit.RepeatTimer()->isActive());
}

TEST_F(SpinEditTest, TypingTakesDigitsSignsAndTheDecimalSeparatorOnly) {
  edit.clear();
  Type("12");
  EXPECT_EQ(edit.text(), "12");
  EXPECT_EQ(beeps, 0);

  for (const char* refused : {"a", "Z", " ", "$", "x", "/"}) {
    EXPECT_TRUE(Key(0, refused));
  }
  EXPECT_EQ(beeps, 6);
  EXPECT_EQ(edit.text(), "12");

  Type("+-");
  Type(QLocale().decimalPoint());
  EXPECT_EQ(edit.text(), "12+-" + QLocale().decimalPoint());
  EXPECT_EQ(beeps, 6);
  EXPECT_EQ(edit.Value(), 100) << "what was typed is no integer";

  // Editing keys work as usual.
  Key(Qt::Key_Backspace);
  Key(Qt::Key_Backspace);
  Key(Qt::Key_Backspace);
  EXPECT_EQ(edit.text(), "12");
  edit.setCursorPosition(0);
  Key(Qt::Key_Delete);
  EXPECT_EQ(edit.text(), "2");
  EXPECT_EQ(beeps, 6);
}

TEST_F(SpinEditTest, EnterIsRefusedWithABeepAndGoesNoFurther) {
  EXPECT_TRUE(Key(Qt::Key_Return, "\r"));
  EXPECT_TRUE(Key(Qt::Key_Enter, "\r", Qt::KeypadModifier));
  EXPECT_EQ(beeps, 2);
  EXPECT_EQ(edit.text(), "200");
}

TEST_F(SpinEditTest, LeavingTheFieldClampsAnOutOfRangeNumber) {
  edit.setText("5000");
  FocusOut();
  EXPECT_EQ(edit.text(), "2000");
  edit.setText("7");
  FocusOut(Qt::MouseFocusReason);
  EXPECT_EQ(edit.text(), "100");
  // In range, or not a number at all: the text stays as typed.
  edit.setText("0150");
  FocusOut();
  EXPECT_EQ(edit.text(), "0150");
  edit.setText("");
  FocusOut();
  EXPECT_EQ(edit.text(), "");
  // A popup or another window taking the focus is not leaving the field.
  edit.setText("5000");
  FocusOut(Qt::ActiveWindowFocusReason);
  EXPECT_EQ(edit.text(), "5000");
  // Without a range nothing is clamped.
  edit.SetMinValue(0);
  edit.SetMaxValue(0);
  FocusOut();
  EXPECT_EQ(edit.text(), "5000");
}

}  // namespace
