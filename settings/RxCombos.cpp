#include "RxCombos.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>

#include "ColorEntry.h"
#include "IniText.h"

namespace {

struct ColorRow {
  const char* name;
  TColor value;
};

// The list in its order: the sixteen basic colours, then None and Standard,
// which are offered only on request.
constexpr ColorRow kColorRows[] = {
    {"Black", clBlack},   {"Maroon", clMaroon}, {"Green", clGreen},      {"Olive", clOlive},     {"Navy", clNavy},
    {"Purple", clPurple}, {"Teal", clTeal},     {"Gray", clGray},        {"Silver", clSilver},   {"Red", clRed},
    {"Lime", clLime},     {"Yellow", clYellow}, {"Blue", clBlue},        {"Fuchsia", clFuchsia}, {"Aqua", clAqua},
    {"White", clWhite},   {"None", clNone},     {"Standard", clDefault},
};
constexpr int kNoneRow = 16;
constexpr int kDefaultRow = 17;

}  // namespace

namespace {

// The application's style, except that the open list of a closed box is a
// list below the box that shows at most maxVisibleItems entries and scrolls,
// instead of a menu of every entry laid over the box (Fusion and others).
class TListPopupStyle : public QProxyStyle {
 public:
  explicit TListPopupStyle(QObject* owner) : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {
    setParent(owner);
  }
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

}  // namespace

TOwnerDrawComboBox::TOwnerDrawComboBox(QWidget* parent) : QComboBox(parent) {
  setStyle(new TListPopupStyle(this));
  setMaxVisibleItems(8);
  setInsertPolicy(QComboBox::NoInsert);
  UpdateItemHeight();
}

void TOwnerDrawComboBox::SetStyle(TComboBoxStyle style) {
  if (style == style_) return;
  style_ = style;
  setEditable(style != csDropDownList);
  if (isEditable()) setInsertPolicy(QComboBox::NoInsert);
  RecreateWnd();
}

int TOwnerDrawComboBox::GetItemHt() const { return std::max(9, QFontMetrics(font()).height() + 1); }

void TOwnerDrawComboBox::UpdateItemHeight() {
  // A GetItemHt() that adjusts the font would come back through changeEvent;
  // no rebuild may start while the height is half changed.
  changing_item_height_ = true;
  item_height_ = GetItemHt();
  updateGeometry();
  changing_item_height_ = false;
}

void TOwnerDrawComboBox::RecreateWnd() {
  if (changing_item_height_) return;
  CreateWnd();
}

void TOwnerDrawComboBox::changeEvent(QEvent* event) {
  QComboBox::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    UpdateItemHeight();
    RecreateWnd();
  }
}

TColorComboBox::TColorComboBox(QWidget* parent) : TOwnerDrawComboBox(parent) {
  setItemDelegate(new TColorEntryDelegate(this));
  connect(this, &QComboBox::activated, this, &TColorComboBox::UserPicked);
  RecreateWnd();
  loading_ = false;
}

void TColorComboBox::FillColorList() {
  const bool updates = view()->updatesEnabled();
  view()->setUpdatesEnabled(false);
  clear();
  for (int row = 0; row < static_cast<int>(std::size(kColorRows)); ++row) {
    if (row == kDefaultRow && !options_.contains(coIncludeDefault)) continue;
    if (row == kNoneRow && !options_.contains(coIncludeNone)) continue;
    QString text = QString::fromLatin1(kColorRows[row].name);
    if (row < color_names_.size() && !color_names_.at(row).isEmpty()) text = color_names_.at(row);
    addItem(text, QVariant(static_cast<int>(kColorRows[row].value)));
  }
  view()->setUpdatesEnabled(updates);
}

void TColorComboBox::CreateWnd() {
  if (lineEdit()) connect(lineEdit(), &QLineEdit::textEdited, this, &TColorComboBox::TextEdited, Qt::UniqueConnection);
  FillColorList();
  // Qt selects the first entry of a new list; the stored value decides instead.
  setCurrentIndex(-1);
  SetColorValue(value_);
}

TColor TColorComboBox::ItemColor(int index) const {
  if (index < 0 || index >= count()) return clBlack;
  return static_cast<TColor>(itemData(index, qv::ColorRole).toInt());
}

void TColorComboBox::SetColorValue(TColor value) {
  if (currentIndex() >= 0 && value == value_) return;
  value_ = value;
  for (int i = 0; i < count(); ++i) {
    if (ItemColor(i) == value) {
      if (currentIndex() != i) setCurrentIndex(i);
      Change();
      return;
    }
  }
  setCurrentIndex(-1);
  if (Style() != csDropDownList && lineEdit()) lineEdit()->setText(qv::ColorIdentText(value));
  Change();
}

std::optional<TColor> TColorComboBox::ColorFromText(const QString& text) const {
  for (int i = 0; i < count(); ++i)
    if (itemText(i) == text) return ItemColor(i);
  if (auto n = qv::ParseIniInteger(text.toStdString())) return static_cast<TColor>(*n);
  return std::nullopt;
}

TColor TColorComboBox::ColorValue() const {
  if (Style() == csDropDownList || currentIndex() >= 0) return value_;
  return ColorFromText(currentText()).value_or(value_);
}

void TColorComboBox::SetColorNames(const QStringList& names) {
  value_ = ColorValue();
  color_names_ = names;
  RecreateWnd();
}

void TColorComboBox::SetDisplayNames(bool on) {
  if (on == display_names_) return;
  display_names_ = on;
  update();
  view()->viewport()->update();
}

void TColorComboBox::SetOptions(TColorComboOptions options) {
  if (options == options_) return;
  options_ = options;
  RecreateWnd();
}

void TColorComboBox::Change() {
  if (loading_) return;
  if (OnChange) OnChange();
  emit ColorValueChanged(value_);
}

void TColorComboBox::UserPicked(int index) {
  SetColorValue(ItemColor(index));
  if (OnClick) OnClick();
}

void TColorComboBox::TextEdited(const QString& text) {
  auto v = ColorFromText(text);
  if (!v || *v == value_) return;
  value_ = *v;
  Change();
}

void TColorComboBox::paintEvent(QPaintEvent* event) {
  if (isEditable()) {
    QComboBox::paintEvent(event);
    return;
  }
  // The closed box shows the chosen entry drawn like the list does,
  // highlighted while the control has the focus; nothing without a choice.
  QStylePainter painter(this);
  QStyleOptionComboBox opt;
  initStyleOption(&opt);
  opt.currentText.clear();
  opt.currentIcon = QIcon();
  painter.drawComplexControl(QStyle::CC_ComboBox, opt);
  if (currentIndex() < 0) return;
  QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
  qv::ColorEntry entry{ItemColor(currentIndex()), itemText(currentIndex()), hasFocus(), display_names_};
  qv::DrawColorEntry(painter, field, entry, palette(), font(), layoutDirection());
}
