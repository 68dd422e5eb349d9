#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <vector>

#include "ColorEntry.h"
#include "RxCombos.h"

namespace {

std::vector<QString> Texts(const TColorComboBox& c) {
  std::vector<QString> out;
  for (int i = 0; i < c.count(); ++i) out.push_back(c.itemText(i));
  return out;
}

struct Counter {
  int changes = 0;
  void Attach(TColorComboBox& c) {
    c.OnChange = [this] { ++changes; };
  }
};

QPalette TestPalette() {
  QPalette p;
  p.setColor(QPalette::Base, QColor(255, 255, 255));
  p.setColor(QPalette::Text, QColor(0, 0, 0));
  p.setColor(QPalette::Highlight, QColor(0, 0, 128));
  p.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
  p.setColor(QPalette::Button, QColor(212, 208, 200));
  return p;
}

QFont TestFont() {
  QFont f("DejaVu Sans");
  f.setPixelSize(11);
  return f;
}

// One entry painted into an image of its own size.
QImage Paint(TColor color, const QString& text, bool selected, bool names = true, QSize size = {131, 14}) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(Qt::magenta);
  QPainter p(&img);
  qv::DrawColorEntry(p, QRect(QPoint(0, 0), size), {color, text, selected, names}, TestPalette(), TestFont(),
                     Qt::LeftToRight);
  p.end();
  return img;
}

QColor At(const QImage& img, int x, int y) { return img.pixelColor(x, y); }

// Columns [from, to) holding any pixel other than `background`.
bool AnyInk(const QImage& img, int from, int to, QColor background) {
  for (int x = from; x < to; ++x)
    for (int y = 0; y < img.height(); ++y)
      if (img.pixelColor(x, y) != background) return true;
  return false;
}

void PressKey(QWidget& w, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&w, &press);
}

}  // namespace

TEST(ColorComboList, TheDefaultListHoldsTheSixteenBasicColours) {
  TColorComboBox c;
  ASSERT_EQ(c.count(), 16);
  EXPECT_EQ(c.itemText(0), "Black");
  EXPECT_EQ(c.itemText(2), "Green");
  EXPECT_EQ(c.itemText(15), "White");
  const TColor expected[] = {clBlack,  clMaroon, clGreen, clOlive,  clNavy, clPurple,  clTeal, clGray,
                             clSilver, clRed,    clLime,  clYellow, clBlue, clFuchsia, clAqua, clWhite};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(c.ItemColor(i), expected[i]) << i;
  for (const auto& t : Texts(c)) EXPECT_TRUE(t != "None" && t != "Standard");
  EXPECT_EQ(c.ColorValue(), clBlack);
  EXPECT_EQ(c.currentIndex(), 0);
  EXPECT_EQ(c.Style(), csDropDownList);
  EXPECT_EQ(c.maxVisibleItems(), 8);
  EXPECT_TRUE(c.DisplayNames());
}

TEST(ColorComboList, TheOpenListShowsEightEntriesAndScrolls) {
  QWidget window;
  auto* c = new TColorComboBox(&window);
  c->setFont(TestFont());
  ASSERT_EQ(c->ItemHeight(), 14);
  window.show();
  c->SetColorValue(clRed);
  c->showPopup();
  QAbstractItemView* list = c->view();
  ASSERT_TRUE(list->isVisible());
  const QRect shown = list->viewport()->rect();
  std::vector<int> whole;
  for (int i = 0; i < c->count(); ++i) {
    const QRect r = list->visualRect(c->model()->index(i, 0));
    EXPECT_EQ(r.height(), 14) << i;
    if (shown.contains(r)) whole.push_back(i);
  }
  EXPECT_EQ(whole.size(), 8u);
  EXPECT_EQ(shown.height(), 8 * 14);
  EXPECT_GT(list->verticalScrollBar()->maximum(), 0);
  // The chosen entry, the tenth, is scrolled into the list.
  EXPECT_TRUE(shown.contains(list->visualRect(c->model()->index(9, 0))));
  list->scrollTo(c->model()->index(15, 0));
  EXPECT_TRUE(shown.contains(list->visualRect(c->model()->index(15, 0))));
  EXPECT_FALSE(shown.intersects(list->visualRect(c->model()->index(0, 0))));
  c->hidePopup();
}

TEST(ColorComboList, OptionsAddNoneAndStandardAndKeepTheChoice) {
  TColorComboBox c;
  c.SetColorValue(clRed);
  Counter n;
  n.Attach(c);
  c.SetOptions({coIncludeNone});
  ASSERT_EQ(c.count(), 17);
  EXPECT_EQ(c.itemText(16), "None");
  EXPECT_EQ(c.ItemColor(16), clNone);
  c.SetOptions({coIncludeNone, coIncludeDefault});
  ASSERT_EQ(c.count(), 18);
  EXPECT_EQ(c.itemText(17), "Standard");
  EXPECT_EQ(c.ItemColor(17), clDefault);
  c.SetOptions({coIncludeDefault});
  ASSERT_EQ(c.count(), 17);
  EXPECT_EQ(c.itemText(16), "Standard");
  // Rebuilding selects the stored value again, and says so.
  EXPECT_EQ(c.currentText(), "Red");
  EXPECT_EQ(c.ColorValue(), clRed);
  EXPECT_EQ(n.changes, 3);
  c.SetOptions({coIncludeDefault});
  EXPECT_EQ(n.changes, 3);
}

TEST(ColorComboList, ColorNamesReplaceDerivedNamesByTableRow) {
  TColorComboBox c;
  c.SetColorValue(clLime);
  QStringList names;
  for (int i = 0; i < 18; ++i) names << QString();
  names[2] = "Grün";
  names[16] = "Keine";
  names[17] = "Vorgabe";
  c.SetColorNames(names);
  EXPECT_EQ(c.itemText(2), "Grün");
  EXPECT_EQ(c.itemText(3), "Olive");  // an empty string keeps the derived name
  EXPECT_EQ(c.count(), 16);           // names of skipped rows show nowhere
  EXPECT_EQ(c.currentText(), "Lime");
  c.SetOptions({coIncludeNone});
  EXPECT_EQ(c.itemText(16), "Keine");
  c.SetOptions({coIncludeDefault});
  EXPECT_EQ(c.itemText(16), "Vorgabe");  // positions count skipped rows too
  c.SetColorNames({"Schwarz"});
  EXPECT_EQ(c.itemText(0), "Schwarz");
  EXPECT_EQ(c.itemText(2), "Green");
}

TEST(ColorComboValue, NotificationsFollowTheSelection) {
  TColorComboBox c;
  Counter n;
  n.Attach(c);
  c.SetColorValue(0x123456);
  EXPECT_EQ(c.currentIndex(), -1);
  EXPECT_EQ(c.ColorValue(), 0x123456);
  EXPECT_EQ(n.changes, 1);
  c.SetColorValue(0x123456);  // no entry selected, so it counts again
  EXPECT_EQ(n.changes, 2);
  c.SetColorValue(clYellow);
  c.SetColorValue(clYellow);
  EXPECT_EQ(n.changes, 3);
  EXPECT_EQ(c.currentText(), "Yellow");
  // A negative system colour is kept as it is.
  c.SetColorValue(clBtnFace);
  EXPECT_EQ(c.ColorValue(), clBtnFace);
  EXPECT_EQ(c.currentIndex(), -1);
}

TEST(ColorComboValue, TheUserPickingAnEntrySetsTheValueThenClicks) {
  TColorComboBox c;
  c.SetColorValue(clGreen);
  std::vector<std::string> calls;
  c.OnChange = [&] { calls.push_back("change " + std::to_string(c.ColorValue())); };
  c.OnClick = [&] { calls.push_back("click"); };
  TColor signalled = -1;
  QObject::connect(&c, &TColorComboBox::ColorValueChanged, [&](TColor v) { signalled = v; });
  PressKey(c, Qt::Key_Down);
  EXPECT_EQ(c.currentText(), "Olive");
  EXPECT_EQ(calls, (std::vector<std::string>{"change " + std::to_string(clOlive), "click"}));
  EXPECT_EQ(signalled, clOlive);
}

TEST(ColorComboValue, EditableStylesShowAndReadTheText) {
  TColorComboBox c;
  c.SetStyle(csDropDown);
  ASSERT_NE(c.lineEdit(), nullptr);
  c.SetColorValue(0x123456);
  EXPECT_EQ(c.currentText(), "$00123456");
  EXPECT_EQ(c.ColorValue(), 0x123456);
  c.SetColorValue(clBtnFace);
  EXPECT_EQ(c.currentText(), "BtnFace");
  EXPECT_EQ(c.ColorValue(), clBtnFace);
  c.SetColorValue(clRed);
  EXPECT_EQ(c.currentText(), "Red");

  // Typing: an entry's name or a number becomes the value, anything else
  // leaves the stored one.
  Counter n;
  n.Attach(c);
  c.SetColorValue(0x010203);
  n.changes = 0;
  c.lineEdit()->setText("Teal");
  emit c.lineEdit()->textEdited("Teal");
  EXPECT_EQ(c.ColorValue(), clTeal);
  EXPECT_EQ(n.changes, 1);
  c.lineEdit()->setText("$0000FF");
  emit c.lineEdit()->textEdited("$0000FF");
  EXPECT_EQ(c.ColorValue(), clRed);
  EXPECT_EQ(n.changes, 2);
  c.lineEdit()->setText("no colour");
  emit c.lineEdit()->textEdited("no colour");
  EXPECT_EQ(c.ColorValue(), clRed);
  EXPECT_EQ(n.changes, 2);

  // Back to a closed list: the stored value, whatever the text said.
  c.SetStyle(csDropDownList);
  EXPECT_EQ(c.lineEdit(), nullptr);
  EXPECT_EQ(c.ColorValue(), clRed);
  EXPECT_EQ(c.currentText(), "Red");
}

TEST(ColorComboLook, EntryHeightFollowsTheFont) {
  TColorComboBox c;
  c.setFont(TestFont());
  const int textHeight = QFontMetrics(TestFont()).height();
  EXPECT_EQ(c.ItemHeight(), std::max(9, textHeight + 1));
  // DejaVu Sans (fonts-dejavu-core) at 11 pixels, the settings dialog's text
  // size, measures 13 pixels: 14-pixel entries.
  ASSERT_EQ(QFontInfo(TestFont()).family(), "DejaVu Sans");
  EXPECT_EQ(textHeight, 13);
  QFont tiny = TestFont();
  tiny.setPixelSize(2);
  c.SetColorValue(clAqua);
  c.setFont(tiny);
  EXPECT_EQ(c.ItemHeight(), 9);
  EXPECT_EQ(c.currentText(), "Aqua");  // the rebuilt list keeps the choice
  QStyleOptionViewItem opt;
  EXPECT_EQ(c.itemDelegate()->sizeHint(opt, c.model()->index(0, 0)).height(), 9);
}

TEST(ColorEntryDrawing, SwatchFrameAndFillFollowTheColour) {
  const QColor white(255, 255, 255), black(0, 0, 0), silver(192, 192, 192), highlight(0, 0, 128);
  for (bool selected : {false, true}) {
    QImage y = Paint(clYellow, "Yellow", selected);
    const QColor bg = selected ? highlight : white;
    EXPECT_EQ(At(y, 1, 1), bg);
    EXPECT_EQ(At(y, 2, 2), black) << "Yellow frame is black, selected " << selected;
    EXPECT_EQ(At(y, 23, 11), black);
    EXPECT_EQ(At(y, 3, 3), QColor(255, 255, 0));
    EXPECT_EQ(At(y, 22, 10), QColor(255, 255, 0));
    EXPECT_EQ(At(y, 24, 5), bg);   // swatch ends at left + 24
    EXPECT_EQ(At(y, 10, 12), bg);  // and at bottom - 2
    EXPECT_FALSE(AnyInk(y, 24, 28, bg));
    EXPECT_TRUE(AnyInk(y, 28, 131, bg));
  }
  EXPECT_EQ(At(Paint(clSilver, "Silver", false), 2, 5), silver);
  EXPECT_EQ(At(Paint(clSilver, "Silver", true), 2, 5), white);
  EXPECT_EQ(At(Paint(clBlack, "Black", true), 2, 5), white);
  EXPECT_EQ(At(Paint(clBlack, "Black", false), 2, 5), black);
  EXPECT_EQ(At(Paint(clMaroon, "Maroon", false), 10, 6), QColor(128, 0, 0));

  // System colours come from the palette; "None" paints no colour.
  EXPECT_EQ(At(Paint(clBtnFace, "", false), 10, 6), QColor(212, 208, 200));
  QImage none = Paint(clNone, "", false);
  EXPECT_EQ(At(none, 2, 2), black);
  EXPECT_EQ(At(none, 10, 6), white);
}

TEST(ColorEntryDrawing, WithoutNamesTheSwatchFillsTheRowAndNoTextIsDrawn) {
  QImage img = Paint(clMaroon, "Maroon", false, false);
  const QColor white(255, 255, 255), maroon(128, 0, 0);
  EXPECT_EQ(At(img, 127, 5), maroon);  // the frame's last column is right - 4
  EXPECT_EQ(At(img, 126, 6), maroon);
  EXPECT_EQ(At(img, 2, 2), maroon);
  EXPECT_FALSE(AnyInk(img, 128, 131, white));
  EXPECT_EQ(img, Paint(clMaroon, "a different text", false, false));
}

TEST(ColorEntryDrawing, TextIsCutAt255CharactersAndAmpersandsAreLiteral) {
  const QSize wide(4000, 14);
  QString longName;
  for (int i = 0; i < 300; ++i) longName += QChar('A' + i % 26);
  EXPECT_EQ(Paint(clGreen, longName, false, true, wide), Paint(clGreen, longName.left(255), false, true, wide));
  EXPECT_NE(Paint(clGreen, longName.left(255), false, true, wide),
            Paint(clGreen, longName.left(254), false, true, wide));
  // A surrogate pair is never split by the cut.
  QString pairs = QString(254, QChar('x')) + QString::fromUtf8("\xF0\x9F\x99\x82") + "tail";
  EXPECT_EQ(Paint(clGreen, pairs, false, true, wide), Paint(clGreen, pairs.left(254), false, true, wide));
  // With mnemonics "&&" would show as one "&".
  EXPECT_NE(Paint(clGreen, "&&", false), Paint(clGreen, "&", false));
  // A rectangle too small for a swatch paints only its background.
  QImage tiny = Paint(clGreen, "Green", false, true, {3, 3});
  EXPECT_FALSE(AnyInk(tiny, 0, 3, QColor(255, 255, 255)));
}

TEST(ColorEntryDrawing, NamesOfColoursWithoutAnEntry) {
  EXPECT_EQ(qv::ColorIdentText(clRed), "Red");
  EXPECT_EQ(qv::ColorIdentText(clBtnFace), "BtnFace");
  EXPECT_EQ(qv::ColorIdentText(clNone), "None");
  EXPECT_EQ(qv::ColorIdentText(0x123456), "$00123456");
  EXPECT_EQ(qv::ColorIdentText(static_cast<TColor>(0x80000099)), "$80000099");
  EXPECT_EQ(qv::EntryFrameColor(clWhite, true, TestPalette()), QColor(Qt::black));
  EXPECT_EQ(qv::EntryFrameColor(clGray, false, TestPalette()), QColor(128, 128, 128));
  EXPECT_EQ(qv::EntryFrameColor(clBtnFace, false, TestPalette()), QColor(Qt::black));  // 212 > 192
}

TEST(ColorComboLook, TheClosedBoxShowsTheChosenEntry) {
  TColorComboBox c;
  c.resize(131, 22);
  c.SetColorValue(clYellow);
  auto hasYellow = [](const QImage& img) {
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixelColor(x, y) == QColor(255, 255, 0)) return true;
    return false;
  };
  EXPECT_TRUE(hasYellow(c.grab().toImage()));
  c.SetColorValue(0x123456);
  EXPECT_FALSE(hasYellow(c.grab().toImage()));
}
