#include "CPortSetup.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <array>
#include <memory>
#include <utility>

#include "CPort.h"
#include "CPortCtl.h"
#include "CPortTr.h"

namespace {

// Closes the port's update bracket on every way out. On the normal way the
// closing may raise the error of applying the settings; while another error
// is already on its way, that first error is the one reported.
class UpdateBracket {
 public:
  explicit UpdateBracket(TCustomComPort& port) : port_(port) { port_.BeginUpdate(); }
  ~UpdateBracket() {
    if (open_) {
      try {
        port_.EndUpdate();
      } catch (...) {
      }
    }
  }
  UpdateBracket(const UpdateBracket&) = delete;
  UpdateBracket& operator=(const UpdateBracket&) = delete;
  void Close() {
    open_ = false;
    port_.EndUpdate();
  }

 private:
  TCustomComPort& port_;
  bool open_ = true;
};

}  // namespace

TComSetupFrm::TComSetupFrm(QWidget* parent, const qv::PortChoiceSource& ports)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("ComSetupFrm"));
  setWindowTitle(CPortTr("Setup"));
  setModal(true);
  setFixedSize(kClientWidth, kClientHeight);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPointSize(8);
  setFont(font);
  CreateControls(ports);
}

TComSetupFrm::~TComSetupFrm() = default;

void TComSetupFrm::CreateControls(const qv::PortChoiceSource& ports) {
  GroupBox1 = new QGroupBox(CPortTr(" Settings "), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1->setGeometry(8, 8, 217, 169);

  const std::array<QLabel**, 6> labels{&Label1, &Label2, &Label3, &Label4, &Label5, &Label6};
  const std::array<const char*, 6> captions{"Port", "Baud rate", "Data bits", "Stop bits", "Parity", "Flow control"};
  const std::array<TComComboBox**, 6> combos{&Combo1, &Combo2, &Combo3, &Combo4, &Combo5, &Combo6};
  const std::array<TComProperty, 6> properties{cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl};
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const int row = static_cast<int>(i) * 24;
    QLabel* label = new QLabel(CPortTr(captions[i]), GroupBox1);
    label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
    label->move(8, 24 + row);
    label->adjustSize();
    *labels[i] = label;

    TComComboBox* combo = new TComComboBox(GroupBox1, ports);
    combo->setObjectName(QStringLiteral("Combo%1").arg(i + 1));
    combo->setGeometry(80, 16 + row, 129, combo->sizeHint().height());
    combo->SetComProperty(properties[i]);
    *combos[i] = combo;
  }

  Button1 = new QPushButton(CPortTr("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(70, 184, 75, 25);
  Button1->setDefault(true);
  Button2 = new QPushButton(CPortTr("Cancel"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(150, 184, 75, 25);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

  // The group's lists first, then OK and Cancel.
  for (std::size_t i = 0; i + 1 < combos.size(); ++i) setTabOrder(*combos[i], *combos[i + 1]);
  setTabOrder(Combo6, Button1);
  setTabOrder(Button1, Button2);
}

void TComSetupFrm::setVisible(bool visible) {
  if (visible && !isVisible()) {
    QScreen* s = screen();
    if (s != nullptr) {
      const QRect avail = s->availableGeometry();
      const QRect frame = frameGeometry();
      move(avail.center() - QPoint(frame.width() / 2, frame.height() / 2) + (pos() - frame.topLeft()));
    }
  }
  QDialog::setVisible(visible);
}

namespace qv {

void RunPortSetup(TCustomComPort& port, const TComSetupFrm::TModalRunner& run, const PortChoiceSource& ports) {
  // Filling the port list may fail: nothing is shown then.
  auto dialog = std::make_unique<TComSetupFrm>(nullptr, ports);
  const std::array<TComComboBox*, 6> combos{dialog->Combo1, dialog->Combo2, dialog->Combo3,
                                            dialog->Combo4, dialog->Combo5, dialog->Combo6};
  for (TComComboBox* c : combos) c->SetComPort(&port);
  for (TComComboBox* c : combos) c->SelectCurrentValue();
  const QPointer<TCustomComPort> alive(&port);
  const int result = run ? run(*dialog) : dialog->exec();
  if (result != QDialog::Accepted || alive.isNull()) return;
  UpdateBracket bracket(port);
  // Port name, baud rate, data bits, stop bits, parity, flow control.
  for (TComComboBox* c : combos) c->ApplySettings();
  bracket.Close();
}

void InstallPortSetupDialog(TCustomComPort& port, TComSetupFrm::TModalRunner run, PortChoiceSource ports) {
  port.SetPortSetupHandler(
      [run = std::move(run), ports = std::move(ports)](TCustomComPort& p) { RunPortSetup(p, run, ports); });
}

}  // namespace qv
