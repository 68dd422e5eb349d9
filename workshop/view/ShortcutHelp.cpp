#include "ShortcutHelp.h"

#include <QAction>
#include <QEvent>
#include <QFontMetricsF>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QStringList>
#include <algorithm>

#include "ViewLanguage.h"

namespace qv::workshop {

namespace {
// Qt's portable names of the modifiers and keys that have words of their own.
QString Word(const QString& part, const ViewLanguage& w) {
  if (part == QLatin1String("Ctrl")) return w.T(TextId::kKeyCtrl);
  if (part == QLatin1String("Shift")) return w.T(TextId::kKeyShift);
  if (part == QLatin1String("Space")) return w.T(TextId::kKeySpace);
  return part;
}
}  // namespace

QString KeyName(const QKeySequence& key, const ViewLanguage& words) {
  QStringList chords;
  for (int i = 0; i < key.count(); ++i) {
    const QString portable = QKeySequence(key[i]).toString(QKeySequence::PortableText);
    // "Ctrl++" ends in the key "+" itself.
    QStringList parts = portable.endsWith(QLatin1String("++")) ? portable.chopped(2).split(QLatin1Char('+'))
                                                               : portable.split(QLatin1Char('+'));
    if (portable.endsWith(QLatin1String("++"))) parts << QStringLiteral("+");
    for (QString& p : parts) p = Word(p, words);
    chords << parts.join(QLatin1Char('+'));
  }
  return chords.join(QStringLiteral(", "));
}

std::vector<ShortcutLine> ShortcutsOf(const QWidget& window, const ViewLanguage& words) {
  std::vector<ShortcutLine> lines;
  for (const QAction* a : window.actions()) {
    if (a->shortcuts().isEmpty()) continue;
    QStringList keys;
    for (const QKeySequence& k : a->shortcuts()) keys << KeyName(k, words);
    lines.push_back({keys.join(QStringLiteral(", ")), QString(a->text()).remove(QLatin1Char('&'))});
  }
  return lines;
}

ShortcutHelp::ShortcutHelp(QWidget& window) : QWidget(&window) {
  setObjectName(QStringLiteral("ShortcutHelp"));
  hide();
  window.installEventFilter(this);
}

void ShortcutHelp::Open(std::vector<ShortcutLine> lines, QString title, QString footer) {
  lines_ = std::move(lines);
  title_ = std::move(title);
  footer_ = std::move(footer);
  setAccessibleName(title_);
  QStringList all;
  for (const ShortcutLine& l : lines_) all << l.keys + QStringLiteral(": ") + l.what;
  setAccessibleDescription(all.join(QLatin1Char('\n')));
  setGeometry(parentWidget()->rect());
  show();
  raise();
  update();
}

bool ShortcutHelp::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(watched, event);
}

void ShortcutHelp::mousePressEvent(QMouseEvent* event) {
  event->accept();
  hide();
}

void ShortcutHelp::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), QColor(0, 0, 0, 200));
  // Large enough to read from a step away, small enough for every line to fit.
  const int rows = static_cast<int>(lines_.size()) + 3;
  const double size = std::clamp(height() / (rows * 1.6), 10.0, 28.0);
  QFont body = font();
  body.setPixelSize(static_cast<int>(size));
  QFont bold = body;
  bold.setBold(true);
  QFont heading = bold;
  heading.setPixelSize(static_cast<int>(size * 1.3));
  const QFontMetricsF fm(bold), fb(body);
  double keysWidth = 0, whatWidth = fm.horizontalAdvance(footer_);
  for (const ShortcutLine& l : lines_) {
    keysWidth = std::max(keysWidth, fm.horizontalAdvance(l.keys));
    whatWidth = std::max(whatWidth, fb.horizontalAdvance(l.what));
  }
  const double gap = size * 1.5, pad = size, line = size * 1.6;
  const double w = std::min<double>(width() - 2 * pad, keysWidth + gap + whatWidth + 2 * pad);
  const double h = std::min<double>(height(), rows * line + 2 * pad);
  const QRectF panel((width() - w) / 2, (height() - h) / 2, w, h);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 40, 40));
  p.drawRoundedRect(panel, size / 2, size / 2);
  p.setPen(Qt::white);
  double y = panel.top() + pad;
  p.setFont(heading);
  p.drawText(QRectF(panel.left() + pad, y, w - 2 * pad, line), Qt::AlignLeft | Qt::AlignVCenter, title_);
  y += line * 1.5;
  const double keysRight = panel.left() + pad + keysWidth;
  for (const ShortcutLine& l : lines_) {
    p.setFont(bold);
    p.drawText(QRectF(panel.left() + pad, y, keysWidth, line), Qt::AlignRight | Qt::AlignVCenter, l.keys);
    p.setFont(body);
    p.drawText(QRectF(keysRight + gap, y, panel.right() - pad - keysRight - gap, line),
               Qt::AlignLeft | Qt::AlignVCenter, l.what);
    y += line;
  }
  p.setPen(QColor(190, 190, 190));
  p.drawText(QRectF(panel.left() + pad, y + line * 0.5, w - 2 * pad, line), Qt::AlignLeft | Qt::AlignVCenter, footer_);
}

}  // namespace qv::workshop
