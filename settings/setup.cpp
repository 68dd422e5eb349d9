#include "setup.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <memory>
#include <system_error>

#include "AppUtils.h"
#include "RxCombos.h"
#include "SetupKeys.h"
#include "SpinEdit.h"

using namespace qv::setup;

TForm2::TForm2(QWidget* parent, std::filesystem::path settingsFile)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      settings_file_(settingsFile.empty() ? qv::SettingsFilePath() : std::move(settingsFile)) {
  setObjectName("Form2");
  setWindowTitle("Setup");
  setModal(true);
  setFixedSize(kClientWidth, kClientHeight);
  QFont font("MS Sans Serif");
  font.setPointSize(8);
  setFont(font);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::Button));
  setPalette(pal);
  setAutoFillBackground(true);

  CreateControls();
  SetTabOrder();

  ConfirmCancel = [this] {
    std::unique_ptr<QMessageBox> box(MakeCancelQuestion(this));
    box->exec();
    return box->clickedButton() != nullptr && box->buttonRole(box->clickedButton()) == QMessageBox::YesRole;
  };
  ReportError = [this](const std::exception& e) {
    QMessageBox::critical(this, QApplication::applicationName(), QString::fromUtf8(e.what()));
  };

  // Hooked last, once the dialog is complete: the store restores the position
  // on show before FormShow runs, and stores it on close and destruction.
  FormPlacement1 = new TFormPlacement(this);
  FormPlacement1->ErrorReporter = [this](const std::exception& e) { Report(e); };
}

TForm2::~TForm2() = default;

namespace {
// Room a push button leaves around its caption (frame and padding).
constexpr int kButtonTextMargin = 12;
}  // namespace

void TForm2::CreateControls() {
  auto button = [this](QPushButton*& b, const char* name, const char* text, QRect r) {
    b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setGeometry(r);
    // The fixed sizes suit a narrower font than many desktops have: shrink the
    // caption a little rather than cut it off.
    QFont f = b->font();
    while (f.pointSizeF() > 6 && QFontMetrics(f).horizontalAdvance(b->text()) + kButtonTextMargin > r.width())
      f.setPointSizeF(f.pointSizeF() - 0.5);
    b->setFont(f);
    // No default button: Enter triggers none of them.
    b->setAutoDefault(false);
    b->setDefault(false);
  };
  button(Button3, "Button3", "COM Setup", {8, 8, 75, 21});
  button(Button2, "Button2", "Abbruch", {96, 8, 61, 21});
  button(Button1, "Button1", "Speichern und Ende", {168, 8, 106, 21});
  connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);

  GroupBox2 = new QGroupBox("Graph Settings", this);
  GroupBox2->setObjectName("GroupBox2");
  GroupBox2->setGeometry(10, 50, 263, 287);

  auto label = [this](QLabel*& l, const char* name, const char* text, int x, int y) {
    l = new QLabel(text, GroupBox2);
    l->setObjectName(name);
    l->move(x, y);
    l->adjustSize();
  };
  auto picker = [this](TColorComboBox*& c, const char* name, int y) {
    c = new TColorComboBox(GroupBox2);
    c->setObjectName(name);
    c->setGeometry(45, y, 131, 22);
    c->SetColorValue(clBlack);
  };
  auto field = [this](TSpinEdit*& f, const char* name, int y, int min, int max, int value) {
    f = new TSpinEdit(GroupBox2);
    f->setObjectName(name);
    f->setGeometry(48, y, 73, 22);
    f->SetMinValue(min);
    f->SetMaxValue(max);
    f->SetIncrement(1);
    f->SetValue(value);
  };
  label(Label1, "Label1", "Graph", 10, 25);
  picker(ColorComboBox4, "ColorComboBox4", 20);
  label(Label5, "Label5", "Back", 10, 50);
  picker(ColorComboBox1, "ColorComboBox1", 45);
  label(Label8, "Label8", "Grid", 10, 75);
  picker(ColorComboBox2, "ColorComboBox2", 70);
  label(Label9, "Label9", "Dots", 10, 100);
  picker(ColorComboBox3, "ColorComboBox3", 95);
  label(Label7, "Label7", "Font", 10, 124);
  picker(ColorComboBox5, "ColorComboBox5", 119);

  label(Label2, "Label2", "Speed", 10, 164);
  field(SpinEdit1, "SpinEdit1", 160, kGraphSpeedMin, kGraphSpeedMax, GraphDefaults::GraphSpeed);
  label(Label3, "Label3", "mS", 122, 164);
  label(Label4, "Label4", "Graph", 10, 188);
  field(SpinEdit2, "SpinEdit2", 184, kGridCountMin, kGridCountMax, GraphDefaults::GridCountY);
  label(Label6, "Label6", "Anzahl Y", 122, 188);
  label(Label10, "Label10", "Graph", 10, 212);
  field(SpinEdit3, "SpinEdit3", 208, kGridCountMin, kGridCountMax, GraphDefaults::GridCountX);
  label(Label11, "Label11", "Anzahl X", 122, 212);

  CheckBox3 = new QCheckBox("Zeige Pixel", GroupBox2);
  CheckBox3->setObjectName("CheckBox3");
  CheckBox3->setGeometry(12, 245, 97, 17);
  CheckBox3->setChecked(false);
}

void TForm2::SetTabOrder() {
  // Dialog: Button1, the group (its controls in their own order), Button3, Button2.
  QWidget* order[] = {Button1,   ColorComboBox1, ColorComboBox2, ColorComboBox3, ColorComboBox4, CheckBox3,
                      SpinEdit1, SpinEdit2,      ColorComboBox5, SpinEdit3,      Button3,        Button2};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  Button1->setFocus(Qt::OtherFocusReason);
}

void TForm2::READ_INI() {
  const TIniFile ini(settings_file_);
  ColorComboBox1->SetColorValue(ini.ReadInteger(kSectionColor, kKeyBackColor, GraphDefaults::BackColor));
  ColorComboBox2->SetColorValue(ini.ReadInteger(kSectionColor, kKeyGridColor, GraphDefaults::GridColor));
  ColorComboBox3->SetColorValue(ini.ReadInteger(kSectionColor, kKeyDotsColor, GraphDefaults::DotsColor));
  ColorComboBox4->SetColorValue(ini.ReadInteger(kSectionColor, kKeyGraphColor, GraphDefaults::GraphColor));
  ColorComboBox5->SetColorValue(ini.ReadInteger(kSectionColor, kKeyFontColor, GraphDefaults::FontColor));
  CheckBox3->setChecked(ini.ReadBool(kSectionEinstellungen, kKeyShowPixels, GraphDefaults::ShowPixels));
  SpinEdit1->SetValue(ini.ReadInteger(kSectionSpeed, kKeyGraphSpeed, GraphDefaults::GraphSpeed));
  SpinEdit2->SetValue(ini.ReadInteger(kSectionSpeed, kKeyGridCountY, GraphDefaults::GridCountY));
  SpinEdit3->SetValue(ini.ReadInteger(kSectionSpeed, kKeyGridCountX, GraphDefaults::GridCountX));
  if (MirrorShowPixels) MirrorShowPixels(CheckBox3->isChecked());
}

void TForm2::SAVE_INI() {
  TIniFile ini(settings_file_);
  ini.WriteInteger(kSectionColor, kKeyBackColor, BackColor());
  ini.WriteInteger(kSectionColor, kKeyGridColor, GridColor());
  ini.WriteInteger(kSectionColor, kKeyDotsColor, DotsColor());
  ini.WriteInteger(kSectionColor, kKeyGraphColor, GraphColor());
  ini.WriteInteger(kSectionColor, kKeyFontColor, FontColor());
  ini.WriteInteger(kSectionSpeed, kKeyGraphSpeed, GraphSpeed());
  ini.WriteInteger(kSectionSpeed, kKeyGridCountY, GridCountY());
  ini.WriteInteger(kSectionSpeed, kKeyGridCountX, GridCountX());
  ini.WriteBool(kSectionEinstellungen, kKeyShowPixels, ShowPixels());
  if (SetTimer1Interval) SetTimer1Interval(GraphSpeed());
}

void TForm2::FormShow() {
  std::error_code ec;
  if (std::filesystem::exists(settings_file_, ec)) {
    READ_INI();
    return;
  }
  ColorComboBox1->SetColorValue(clGreen);
  ColorComboBox2->SetColorValue(clLime);
  ColorComboBox3->SetColorValue(clYellow);
}

void TForm2::Button1Click() {
  try {
    // As leaving a field would: a number typed beyond its range is saved clamped,
    // also when the button was pressed without the focus leaving the field.
    for (TSpinEdit* f : {SpinEdit1, SpinEdit2, SpinEdit3}) f->ClampText();
    SAVE_INI();
    close();
  } catch (const std::exception& e) {
    Report(e);
  }
}

void TForm2::Button2Click() {
  try {
    if (!ConfirmCancel || !ConfirmCancel()) return;
    READ_INI();
    close();
  } catch (const std::exception& e) {
    Report(e);
  }
}

void TForm2::Button3Click() {
  try {
    if (ShowPortSetup) ShowPortSetup();
  } catch (const std::exception& e) {
    Report(e);
  }
}

QMessageBox* TForm2::MakeCancelQuestion(QWidget* parent) {
  auto* box = new QMessageBox(parent);
  box->setIcon(QMessageBox::Question);
  box->setWindowTitle(QString::fromUtf8("Bestätigung"));
  box->setText(QString::fromUtf8("Möchten Sie das Setup beenden ohne Änderungen abzuspeichern?"));
  QPushButton* yes = box->addButton(QString::fromUtf8("&Ja"), QMessageBox::YesRole);
  QPushButton* no = box->addButton(QString::fromUtf8("&Nein"), QMessageBox::NoRole);
  box->setDefaultButton(yes);
  box->setEscapeButton(no);
  return box;
}

TColor TForm2::BackColor() const { return ColorComboBox1->ColorValue(); }
TColor TForm2::GridColor() const { return ColorComboBox2->ColorValue(); }
TColor TForm2::DotsColor() const { return ColorComboBox3->ColorValue(); }
TColor TForm2::GraphColor() const { return ColorComboBox4->ColorValue(); }
TColor TForm2::FontColor() const { return ColorComboBox5->ColorValue(); }
int TForm2::GraphSpeed() const { return SpinEdit1->Value(); }
int TForm2::GridCountY() const { return SpinEdit2->Value(); }
int TForm2::GridCountX() const { return SpinEdit3->Value(); }
bool TForm2::ShowPixels() const { return CheckBox3->isChecked(); }

void TForm2::setVisible(bool visible) {
  if (visible && !isVisible() && centre_on_show_) {
    // Centred on the screen, not over the main window; a stored placement moves it on show.
    QScreen* s = (parentWidget() != nullptr ? parentWidget()->screen() : screen());
    if (s != nullptr) {
      winId();  // the platform window knows the frame that is centred with the dialog
      const QRect avail = s->availableGeometry();
      const QRect frame = frameGeometry();
      move(avail.center() - QPoint(frame.width() / 2, frame.height() / 2) + (pos() - frame.topLeft()));
    }
  }
  QDialog::setVisible(visible);
}

void TForm2::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // the window system re-showing it is no new opening
  try {
    FormShow();
  } catch (const std::exception& e) {
    Report(e);
  }
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  // Neither Escape nor Enter ends this dialog: it is left by its buttons only.
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: event->accept(); return;
    default: QDialog::keyPressEvent(event);
  }
}

void TForm2::Report(const std::exception& e) {
  if (ReportError) ReportError(e);
}
