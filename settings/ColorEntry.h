#pragma once
// How one entry of the colour picker is drawn: a framed swatch followed by the
// colour's name. A free function, so that it can paint into any QPainter (the
// list's delegate, the closed box, or an image in a test).
#include <QAbstractItemDelegate>
#include <QColor>
#include <QString>

#include "GraphSettings.h"

class QFont;
class QPainter;
class QPalette;
class QRect;

namespace qv {

// The list data role that holds an entry's TColor.
inline constexpr int ColorRole = Qt::UserRole;

// The colour as the platform would paint it: 0x00BBGGRR as RGB, system colours
// (negative) from the palette, clDefault as the control's own background.
// clNone gives an invalid QColor: nothing is painted.
[[nodiscard]] QColor ResolveColor(TColor color, const QPalette& palette);

// The swatch frame: black when red, green or blue of the colour exceeds 192,
// else white for the selected entry and the colour itself otherwise. The test
// uses the colour's value as RGB the way the platform converts it (a system
// colour resolved, any other value taken by its low three bytes).
[[nodiscard]] QColor EntryFrameColor(TColor color, bool selected, const QPalette& palette);

// The framework's name of a colour without its "cl" ("Red", "BtnFace"), or
// "$" and eight upper-case hexadecimal digits for a colour without a name.
[[nodiscard]] QString ColorIdentText(TColor color);

struct ColorEntry {
  TColor color = clBlack;
  QString text;
  bool selected = false;
  bool displayNames = true;
};

// Longest text drawn; a longer one is cut (never through a surrogate pair).
inline constexpr int MaxEntryText = 255;

// Paints the entry into R: background (highlight when selected), the swatch
// from (R.left+2, R.top+2) to (R.left+24 or R.right-3, R.bottom-2) with a
// 1-pixel frame in EntryFrameColor and the colour inside, and the text from
// R.left+28 on one line, centred vertically, "&" shown as it is. R's right
// and bottom are taken as exclusive edges (left + width, top + height).
void DrawColorEntry(QPainter& painter, const QRect& r, const ColorEntry& entry, const QPalette& palette,
                    const QFont& font, Qt::LayoutDirection direction);

}  // namespace qv

class TColorComboBox;

// The list delegate of TColorComboBox: every entry drawn by DrawColorEntry,
// all of one height.
class TColorEntryDelegate : public QAbstractItemDelegate {
  Q_OBJECT
 public:
  explicit TColorEntryDelegate(TColorComboBox* combo);
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  TColorComboBox* combo_;
};
