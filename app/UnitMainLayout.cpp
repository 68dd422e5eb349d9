// The main window's controls, menu and port, as the window is laid out.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "Artwork.h"
#include "Panels.h"
#include "Shape.h"
#include "UnitMain.h"

namespace {

template <typename W>
W* Make(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* w = new W(parent);
  w->setObjectName(QString::fromLatin1(name));
  w->setGeometry(left, top, width, height);
  return w;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, int left, int top, int width,
                        int height) {
  auto* b = Make<QPushButton>(parent, name, left, top, width, height);
  b->setText(QString::fromUtf8(caption));
  return b;
}

// The small captions above the lamps: Arial, 9 pixels high, no background.
QLabel* MakeLampCaption(QWidget* parent, const char* name, const char* caption, int left, int top, int width) {
  auto* l = Make<QLabel>(parent, name, left, top, width, 12);
  QFont f(QStringLiteral("Arial"));
  f.setPixelSize(9);
  l->setFont(f);
  l->setText(QString::fromUtf8(caption));
  return l;
}

qv::TShape* MakeLamp(QWidget* parent, const char* name, int left, TColor colour, const char* hint) {
  auto* s = Make<qv::TShape>(parent, name, left, 20, 16, 11);
  s->SetBrushColor(colour);
  s->setToolTip(QString::fromUtf8(hint));
  return s;
}

}  // namespace

void TForm1::CreatePanel1() {
  client_area_ = new qv::TClientArea(this);
  client_area_->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(client_area_);

  Panel1 = new qv::TPanel(client_area_);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  // Laid out at the width the panel has in an 800 pixel window; the client
  // area stretches it from then on.
  Panel1->setGeometry(0, 0, kInitialOuterSize.width(), kPanel1Height);
  client_area_->SetTopPanel(Panel1, kPanel1Height);

  Label8 = MakeLampCaption(Panel1, "Label8", "Scan", 7, 8, 21);
  LED_MANUELL = MakeLamp(Panel1, "LED_MANUELL", 9, clMaroon, "Scan in progress");
  Label1 = MakeLampCaption(Panel1, "Label1", "RX", 42, 8, 12);
  LED_RX = MakeLamp(Panel1, "LED_RX", 41, clGreen, "Receive Data");

  Button2 = MakeButton(Panel1, "Button2", "Start Scan", 98, 10, 75, 21);
  Button3 = MakeButton(Panel1, "Button3", "Stop Scan", 178, 10, 75, 21);
  setTabOrder(Button2, Button3);

  SpeedButton2 = Make<QToolButton>(Panel1, "SpeedButton2", 755, 5, 29, 29);
  SpeedButton2->setIcon(QIcon(QPixmap::fromImage(qv::ExitGlyph())));
  SpeedButton2->setIconSize(QSize(32, 32));   // as drawn; the button clips its edge
  SpeedButton2->setFocusPolicy(Qt::NoFocus);  // a glyph button takes no focus
  Panel1->AnchorRight(SpeedButton2, kInitialOuterSize.width() - 755);
}

void TForm1::CreateHiddenControls() {
  // Controls kept from the device's service set-up; nothing shows them.
  Panel2 = Make<QWidget>(Panel1, "Panel2", 368, 4, 113, 49);
  RadioButton1 = Make<QRadioButton>(Panel2, "RadioButton1", 8, 4, 97, 17);
  RadioButton1->setText(QStringLiteral("Pixel"));
  RadioButton2 = Make<QRadioButton>(Panel2, "RadioButton2", 8, 24, 97, 17);
  RadioButton2->setText(QStringLiteral("Line"));

  Button1 = MakeButton(Panel1, "Button1", "Setup", 280, 10, 81, 21);
  Button4 = MakeButton(Panel1, "Button4", "Channel-1", 488, 4, 57, 21);
  Button5 = MakeButton(Panel1, "Button5", "Channel-2", 548, 4, 57, 21);
  Button6 = MakeButton(Panel1, "Button6", "Channel-3", 608, 4, 57, 21);
  Button7 = MakeButton(Panel1, "Button7", "Channel-4", 668, 4, 57, 21);
  Button8 = MakeButton(Panel1, "Button8", "ein", 488, 30, 41, 21);
  Button9 = MakeButton(Panel1, "Button9", "aus", 532, 30, 41, 21);
  CheckBox1 = Make<QCheckBox>(Panel1, "CheckBox1", 580, 32, 65, 17);
  CheckBox1->setText(QStringLiteral("Balken"));

  for (QWidget* w : std::initializer_list<QWidget*>{Panel2, Button1, Button4, Button5, Button6, Button7, Button8,
                                                    Button9, CheckBox1})
    w->hide();
}

void TForm1::CreateMenu() {
  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  setMenuBar(MainMenu1);

  auto item = [this](QMenu* menu, const char* name, const char* caption) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };
  QMenu* programm = MainMenu1->addMenu(QStringLiteral("Programm"));
  beenden1 = item(programm, "beenden1", "&beenden");
  QMenu* einstellung = MainMenu1->addMenu(QStringLiteral("Einstellung"));
  RS2321 = item(einstellung, "RS2321", "&RS-232");
  Setup1 = item(einstellung, "Setup1", "Setup");
  QMenu* scan = MainMenu1->addMenu(QStringLiteral("Scan"));
  Start1 = item(scan, "Start1", "&Start");
  Stop1 = item(scan, "Stop1", "&Stop");
}

void TForm1::CreatePort() {
  ComPort1->setObjectName(QStringLiteral("ComPort1"));
  ComPort1->SetPort("COM1");
  ComPort1->SetBaudRate(br57600);
  ComPort1->SetDataBits(dbEight);
  ComPort1->SetStopBits(sbOneStopBit);
  ComPort1->Parity().SetBits(prNone);
  TComFlowControl& fc = ComPort1->FlowControl();
  fc.SetOutCTSFlow(false);
  fc.SetOutDSRFlow(false);
  fc.SetControlDTR(dtrDisable);
  fc.SetControlRTS(rtsDisable);
  fc.SetXonXoffOut(false);
  fc.SetXonXoffIn(false);
  ComPort1->SetEvents(kAllComEvents);
  ComPort1->OnRxChar = [this](TCustomComPort* sender, int count) { ComPort1RxChar(sender, count); };
}

void TForm1::ConnectHandlers() {
  auto onClick = [this](QAbstractButton* b, void (TForm1::*h)()) {
    connect(b, &QAbstractButton::clicked, this, Handler(h));
  };
  auto onMenu = [this](QAction* a, void (TForm1::*h)()) { connect(a, &QAction::triggered, this, Handler(h)); };
  // Radio buttons and check boxes run their handler whenever their state
  // changes, also when it is set from code.
  auto onToggle = [this](QAbstractButton* b, void (TForm1::*h)(), bool onlyWhenOn) {
    connect(b, &QAbstractButton::toggled, this, [fn = Handler(h), onlyWhenOn](bool on) {
      if (on || !onlyWhenOn) fn();
    });
  };

  onClick(Button2, &TForm1::Button2Click);
  onClick(Button3, &TForm1::Button3Click);
  onClick(SpeedButton2, &TForm1::SpeedButton2Click);
  onClick(Button1, &TForm1::Button1Click);
  onClick(Button4, &TForm1::Button4Click);
  onClick(Button5, &TForm1::Button5Click);
  onClick(Button6, &TForm1::Button6Click);
  onClick(Button7, &TForm1::Button7Click);
  onClick(Button8, &TForm1::Button8Click);
  onClick(Button9, &TForm1::Button9Click);
  onToggle(RadioButton1, &TForm1::RadioButton1Click, true);
  onToggle(RadioButton2, &TForm1::RadioButton2Click, true);
  onToggle(CheckBox1, &TForm1::CheckBox1Click, false);

  onMenu(beenden1, &TForm1::beenden1Click);
  onMenu(RS2321, &TForm1::RS2321Click);
  onMenu(Setup1, &TForm1::Setup1Click);
  onMenu(Start1, &TForm1::Start1Click);
  onMenu(Stop1, &TForm1::Stop1Click);

  Timer1.OnTimer = Handler(&TForm1::Timer1Timer);
  Timer2.OnTimer = Handler(&TForm1::Timer2Timer);
}
