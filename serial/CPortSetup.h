#pragma once
// The port setup dialog: six bound lists for the port name, baud rate, data
// bits, stop bits, parity and flow control of one port. RunPortSetup() shows it
// for a port and, on OK, writes the chosen values into the port in one update;
// storing them is the caller's business.
#include <QDialog>
#include <functional>

#include "PortChoices.h"

class QGroupBox;
class QLabel;
class QPushButton;
class TComComboBox;
class TCustomComPort;

class TComSetupFrm : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 231;
  static constexpr int kClientHeight = 216;

  // Builds the dialog and fills its lists, the port list from ports (by
  // default the system's); the port list's error (EComPort 23) ends the
  // construction.
  explicit TComSetupFrm(QWidget* parent = nullptr, const qv::PortChoiceSource& ports = {});
  ~TComSetupFrm() override;

  // Centres the dialog on the screen before it is shown.
  void setVisible(bool visible) override;

  // How the dialog is run modally: gets the built dialog and returns its
  // result (QDialog::Accepted for OK). Without one, exec() runs it; tests
  // hand in their own.
  using TModalRunner = std::function<int(TComSetupFrm& dialog)>;

  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  TComComboBox* Combo1 = nullptr;
  TComComboBox* Combo2 = nullptr;
  TComComboBox* Combo3 = nullptr;
  TComComboBox* Combo4 = nullptr;
  TComComboBox* Combo5 = nullptr;
  TComComboBox* Combo6 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

 private:
  void CreateControls(const qv::PortChoiceSource& ports);
};

namespace qv {

// Shows the setup dialog for port, its port list from ports, and, when it ends
// with OK, sets the six chosen values on it inside one BeginUpdate/EndUpdate
// bracket (an open port takes them together). Cancel or closing the window
// changes nothing. Errors (EComPort 23 before anything is shown, or a setter's
// error) are passed on; the bracket is closed and the dialog freed all the same.
void RunPortSetup(TCustomComPort& port, const TComSetupFrm::TModalRunner& run = {}, const PortChoiceSource& ports = {});

// Makes RunPortSetup (with run and ports) the dialog that port.ShowPortSetup() opens.
void InstallPortSetupDialog(TCustomComPort& port, TComSetupFrm::TModalRunner run = {}, PortChoiceSource ports = {});

}  // namespace qv
