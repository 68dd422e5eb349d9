#pragma once
// A numeric text field with a small pair of up/down buttons at its right edge.
//
// Unlike QSpinBox it does not fight the user while typing: the text may hold
// an out-of-range number, or no number at all, until the field loses the
// focus. Readers then get the number as typed, or MinValue when the text is
// not a number, so every reader has to cope with any integer.
#include <QLineEdit>
#include <QTimer>
#include <functional>

class QToolButton;

class TSpinEdit : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr int kButtonWidth = 15;
  static constexpr int kRepeatDelayMs = 400;     // first repeat while a button is held
  static constexpr int kRepeatIntervalMs = 100;  // every further repeat

  explicit TSpinEdit(QWidget* parent = nullptr);

  // The text as an integer; MinValue when it is not one (empty, a stray sign
  // or separator, out of the integer range).
  [[nodiscard]] int Value() const;
  // Clamps into [MinValue, MaxValue] (not at all when both are equal) and
  // writes the number as decimal text.
  void SetValue(int value);

  [[nodiscard]] int MinValue() const { return min_value_; }
  void SetMinValue(int v) { min_value_ = v; }
  [[nodiscard]] int MaxValue() const { return max_value_; }
  void SetMaxValue(int v) { max_value_ = v; }
  [[nodiscard]] int Increment() const { return increment_; }
  void SetIncrement(int v) { increment_ = v; }

  // Value +/- Increment, clamped like SetValue.
  void UpClick();
  void DownClick();

  [[nodiscard]] QToolButton* UpButton() const { return up_button_; }
  [[nodiscard]] QToolButton* DownButton() const { return down_button_; }
  // The timer that repeats a held button's step; exposed so its state can be observed.
  [[nodiscard]] QTimer* RepeatTimer() { return &repeat_timer_; }

  // Called for every refused key. Replaceable so that the refusal can be observed.
  std::function<void()> Beep;

  // Applies the range to what was typed, as leaving the field does.
  void ClampText();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  [[nodiscard]] int Checked(long long value) const;
  [[nodiscard]] bool IsAcceptedCharacter(const QString& text) const;
  void StartRepeat(int direction);
  void StopRepeat();
  void RepeatStep();
  void Step(int direction);

  int min_value_ = 0;
  int max_value_ = 0;
  int increment_ = 1;
  int repeat_direction_ = 0;
  QToolButton* up_button_ = nullptr;
  QToolButton* down_button_ = nullptr;
  QTimer repeat_timer_;
};
