#include "ColorEntry.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionViewItem>
#include <cstdint>

#include "RxCombos.h"

namespace qv {
namespace {

// The platform's system colours by index (value = 0x80000000 | index), the
// names they go by and the palette role that stands in for them here.
struct SystemColor {
  const char* name;
  QPalette::ColorRole role;
};
constexpr SystemColor kSystemColors[] = {
    {"ScrollBar", QPalette::Mid},
    {"Background", QPalette::Dark},
    {"ActiveCaption", QPalette::Highlight},
    {"InactiveCaption", QPalette::Mid},
    {"Menu", QPalette::Window},
    {"Window", QPalette::Base},
    {"WindowFrame", QPalette::Shadow},
    {"MenuText", QPalette::WindowText},
    {"WindowText", QPalette::Text},
    {"CaptionText", QPalette::HighlightedText},
    {"ActiveBorder", QPalette::Button},
    {"InactiveBorder", QPalette::Button},
    {"AppWorkSpace", QPalette::Mid},
    {"Highlight", QPalette::Highlight},
    {"HighlightText", QPalette::HighlightedText},
    {"BtnFace", QPalette::Button},
    {"BtnShadow", QPalette::Dark},
    {"GrayText", QPalette::PlaceholderText},
    {"BtnText", QPalette::ButtonText},
    {"InactiveCaptionText", QPalette::WindowText},
    {"BtnHighlight", QPalette::Light},
    {"3DDkShadow", QPalette::Shadow},
    {"3DLight", QPalette::Midlight},
    {"InfoText", QPalette::ToolTipText},
    {"InfoBk", QPalette::ToolTipBase},
    {nullptr, QPalette::Base},
    {"HotLight", QPalette::Link},
    {"GradientActiveCaption", QPalette::Highlight},
    {"GradientInactiveCaption", QPalette::Mid},
    {"MenuHighlight", QPalette::Highlight},
    {"MenuBar", QPalette::Window},
};

struct NamedColor {
  TColor value;
  const char* name;
};
constexpr NamedColor kNamedColors[] = {
    {clBlack, "Black"},       {clMaroon, "Maroon"},   {clGreen, "Green"},  {clOlive, "Olive"},
    {clNavy, "Navy"},         {clPurple, "Purple"},   {clTeal, "Teal"},    {clGray, "Gray"},
    {clSilver, "Silver"},     {clRed, "Red"},         {clLime, "Lime"},    {clYellow, "Yellow"},
    {clBlue, "Blue"},         {clFuchsia, "Fuchsia"}, {clAqua, "Aqua"},    {clWhite, "White"},
    {0xC0DCC0, "MoneyGreen"}, {0xF0CAA6, "SkyBlue"},  {0xF0FBFF, "Cream"}, {0xA4A0A0, "MedGray"},
    {clNone, "None"},         {clDefault, "Default"},
};

const SystemColor* FindSystemColor(TColor color) {
  auto bits = static_cast<std::uint32_t>(color);
  if ((bits & 0xFFFFFF00u) != 0x80000000u) return nullptr;
  auto index = bits & 0xFFu;
  if (index >= std::size(kSystemColors) || !kSystemColors[index].name) return nullptr;
  return &kSystemColors[index];
}

QColor FromBgr(std::uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

QString CutText(const QString& text) {
  if (text.size() <= MaxEntryText) return text;
  int n = MaxEntryText;
  if (text.at(n - 1).isHighSurrogate()) --n;
  return text.left(n);
}

}  // namespace

QColor ResolveColor(TColor color, const QPalette& palette) {
  if (color == clNone) return {};
  if (color == clDefault) return palette.color(QPalette::Base);
  if (color < 0) {
    const SystemColor* sys = FindSystemColor(color);
    return sys ? palette.color(sys->role) : QColor(Qt::black);
  }
  return FromBgr(static_cast<std::uint32_t>(color));
}

QColor EntryFrameColor(TColor color, bool selected, const QPalette& palette) {
  QColor rgb = color < 0 ? ResolveColor(color, palette) : FromBgr(static_cast<std::uint32_t>(color));
  if (rgb.red() > 192 || rgb.green() > 192 || rgb.blue() > 192) return Qt::black;
  if (selected) return Qt::white;
  QColor own = ResolveColor(color, palette);
  return own.isValid() ? own : rgb;
}

QString ColorIdentText(TColor color) {
  for (const auto& c : kNamedColors)
    if (c.value == color) return QString::fromLatin1(c.name);
  if (const SystemColor* sys = FindSystemColor(color)) return QString::fromLatin1(sys->name);
  return QStringLiteral("$%1").arg(static_cast<std::uint32_t>(color), 8, 16, QLatin1Char('0')).toUpper();
}

void DrawColorEntry(QPainter& painter, const QRect& r, const ColorEntry& entry, const QPalette& palette,
                    const QFont& font, Qt::LayoutDirection direction) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QColor background = palette.color(entry.selected ? QPalette::Highlight : QPalette::Base);
  const QColor textColor = palette.color(entry.selected ? QPalette::HighlightedText : QPalette::Text);
  painter.fillRect(r, background);

  // Edges as the platform counts them: right and bottom exclusive.
  const int left = r.left(), top = r.top(), right = r.left() + r.width(), bottom = r.top() + r.height();
  const int sl = left + 2, st = top + 2, sb = bottom - 2;
  const int sr = entry.displayNames ? sl + 22 : right - 3;
  if (sr > sl && sb > st) {
    painter.fillRect(QRect(sl, st, sr - sl, sb - st), EntryFrameColor(entry.color, entry.selected, palette));
    const QRect inner(sl + 1, st + 1, sr - sl - 2, sb - st - 2);
    if (inner.isValid()) {
      painter.fillRect(inner, background);
      QColor fill = ResolveColor(entry.color, palette);
      if (fill.isValid()) painter.fillRect(inner, fill);
    }
  }

  if (entry.displayNames && right > left + 28) {
    painter.setFont(font);
    painter.setPen(textColor);
    painter.setLayoutDirection(direction);
    // No mnemonic flag: "&" is drawn as it is. AlignAbsolute keeps the text
    // beside the swatch while the reading order follows the control.
    painter.drawText(QRect(left + 28, top, right - left - 28, bottom - top),
                     Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter | Qt::TextSingleLine, CutText(entry.text));
  }
  painter.restore();
}

}  // namespace qv

TColorEntryDelegate::TColorEntryDelegate(TColorComboBox* combo) : QAbstractItemDelegate(combo), combo_(combo) {}

void TColorEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  qv::ColorEntry entry;
  entry.color = index.data(qv::ColorRole).toInt();
  entry.text = index.data(Qt::DisplayRole).toString();
  entry.selected = option.state.testFlag(QStyle::State_Selected);
  entry.displayNames = combo_->DisplayNames();
  qv::DrawColorEntry(*painter, option.rect, entry, option.palette, combo_->font(), combo_->layoutDirection());
  if (option.state.testFlag(QStyle::State_HasFocus)) {
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.backgroundColor = option.palette.color(entry.selected ? QPalette::Highlight : QPalette::Base);
    const QWidget* w = option.widget;
    (w ? w->style() : QApplication::style())->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, w);
  }
}

QSize TColorEntryDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return {option.rect.width(), combo_->ItemHeight()};
}
