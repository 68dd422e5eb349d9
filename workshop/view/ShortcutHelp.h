#pragma once
// The list of the workshop view's keys, drawn over the whole window until it
// is closed (a click on it, or the keys the view gives it). The lines come
// from the window's own actions, so that a key added there is listed too.
#include <QString>
#include <QWidget>
#include <vector>

class QKeySequence;

namespace qv::workshop {

struct ViewLanguage;

struct ShortcutLine {
  QString keys;  // "Strg+S", "F1, ?"
  QString what;  // the action's text
  bool operator==(const ShortcutLine&) const = default;
};

// A key in the view's language ("Strg+S", "Leertaste"); several joined by ", ".
[[nodiscard]] QString KeyName(const QKeySequence& key, const ViewLanguage& words);
// Every action of `window` that has a key, in the order they were added.
[[nodiscard]] std::vector<ShortcutLine> ShortcutsOf(const QWidget& window, const ViewLanguage& words);

class ShortcutHelp : public QWidget {
  Q_OBJECT

 public:
  // Covers `window` (hidden until opened) and follows its size.
  explicit ShortcutHelp(QWidget& window);

  void Open(std::vector<ShortcutLine> lines, QString title, QString footer);
  [[nodiscard]] const std::vector<ShortcutLine>& Lines() const { return lines_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<ShortcutLine> lines_;
  QString title_;
  QString footer_;
};

}  // namespace qv::workshop
