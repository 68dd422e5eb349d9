#include "SpinEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QToolButton>
#include <limits>

namespace {

// Optional sign followed by decimal digits, nothing else, within the int range.
bool ParseInteger(const QString& text, int& out) {
  if (text.isEmpty()) return false;
  qsizetype i = 0;
  bool negative = false;
  if (text[0] == u'+' || text[0] == u'-') {
    negative = text[0] == u'-';
    i = 1;
  }
  if (i == text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c < u'0' || c > u'9') return false;
    v = v * 10 + (c.unicode() - u'0');
    if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (negative) v = -v;
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
  out = static_cast<int>(v);
  return true;
}

QToolButton* MakeArrowButton(QWidget* parent, Qt::ArrowType arrow) {
  auto* b = new QToolButton(parent);
  b->setArrowType(arrow);
  // A click on the arrows must leave the focus (and the caret) in the text.
  b->setFocusPolicy(Qt::NoFocus);
  b->setCursor(Qt::ArrowCursor);
  b->setIconSize(QSize(7, 7));
  return b;
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent)
    : QLineEdit(parent),
      Beep([] { QApplication::beep(); }),
      up_button_(MakeArrowButton(this, Qt::UpArrow)),
      down_button_(MakeArrowButton(this, Qt::DownArrow)) {
  setTextMargins(0, 0, kButtonWidth, 0);
  repeat_timer_.setSingleShot(false);
  connect(&repeat_timer_, &QTimer::timeout, this, &TSpinEdit::RepeatStep);
  connect(up_button_, &QToolButton::pressed, this, [this] { StartRepeat(+1); });
  connect(down_button_, &QToolButton::pressed, this, [this] { StartRepeat(-1); });
  connect(up_button_, &QToolButton::released, this, &TSpinEdit::StopRepeat);
  connect(down_button_, &QToolButton::released, this, &TSpinEdit::StopRepeat);
  SetValue(0);
}

int TSpinEdit::Value() const {
  int v = 0;
  return ParseInteger(text(), v) ? v : min_value_;
}

int TSpinEdit::Checked(long long value) const {
  // Checked one bound after the other, so that a reversed range cannot fault.
  if (max_value_ != min_value_) {
    if (value < min_value_) return min_value_;
    if (value > max_value_) return max_value_;
  }
  // Without a range a step past the integer limits stops at the limit.
  if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

void TSpinEdit::SetValue(int value) { setText(QString::number(Checked(value))); }

void TSpinEdit::Step(int direction) {
  SetValue(Checked(static_cast<long long>(Value()) + static_cast<long long>(direction) * increment_));
}

void TSpinEdit::UpClick() { Step(+1); }
void TSpinEdit::DownClick() { Step(-1); }

void TSpinEdit::StartRepeat(int direction) {
  repeat_direction_ = direction;
  Step(direction);
  repeat_timer_.start(kRepeatDelayMs);
}

void TSpinEdit::RepeatStep() {
  if (repeat_timer_.interval() != kRepeatIntervalMs) repeat_timer_.setInterval(kRepeatIntervalMs);
  Step(repeat_direction_);
}

void TSpinEdit::StopRepeat() {
  repeat_timer_.stop();
  repeat_direction_ = 0;
}

bool TSpinEdit::IsAcceptedCharacter(const QString& text) const {
  if (text.size() != 1) return false;
  const QChar c = text[0];
  if (c.isDigit() && c.unicode() < 128) return true;
  if (c == u'+' || c == u'-') return true;
  return text == QLocale().decimalPoint();
}

void TSpinEdit::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
      if (!isReadOnly()) UpClick();
      event->accept();
      return;
    case Qt::Key_Down:
      if (!isReadOnly()) DownClick();
      event->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Enter is not a number: refused here, and kept from the dialog's buttons.
      Beep();
      event->accept();
      return;
    default: break;
  }
  const QString t = event->text();
  const bool printable = !t.isEmpty() && t[0].isPrint() &&
                         !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  if (printable && !IsAcceptedCharacter(t)) {
    Beep();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TSpinEdit::ClampText() {
  const int v = Value();
  const int c = Checked(v);
  if (c != v) SetValue(c);
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
  StopRepeat();
  // Only a move to another control counts as leaving the field; a popup or a
  // switch to another window keeps the text as typed.
  if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason) ClampText();
  QLineEdit::focusOutEvent(event);
}

void TSpinEdit::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  const int h = height();
  const int upH = h / 2;
  const int x = width() - kButtonWidth;
  up_button_->setGeometry(x, 0, kButtonWidth, upH);
  down_button_->setGeometry(x, upH, kButtonWidth, h - upH);
}
