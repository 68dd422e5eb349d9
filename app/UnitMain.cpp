#include "UnitMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <algorithm>
#include <exception>

#include "AppErrors.h"
#include "Artwork.h"
#include "Panels.h"
#include "PortSettingsLocation.h"
#include "ReconnectLink.h"
#include "Shape.h"

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("QUORVEL Synchrontester"));
  setWindowIcon(qv::AppIcon());
  // "MS Sans Serif" resolves through the font substitutions to the desktop's sans.
  setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
  QPalette pal = palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::Button));
  setPalette(pal);

  SetShowPixels = [this](bool on) { default_settings_.pixels = on; };
  label1_hook_ = [this](const QString& text) { SetLabel1Caption(text); };

  CreateMenu();
  CreatePanel1();
  CreateHiddenControls();
  CreatePort();
  ConnectHandlers();

  // Until the window is shown the frame is unknown: lay out for no frame,
  // FitToFrame() corrects it once the window system has framed the window.
  setMinimumSize(kMinOuterSize);
  setMaximumSize(kMaxOuterSize);
  resize(kInitialOuterSize);
  if (const QScreen* s = QApplication::primaryScreen()) {
    QRect outer(QPoint(), kInitialOuterSize);
    outer.moveCenter(s->availableGeometry().center());
    move(outer.topLeft());
  }

  FormCreate();
}

TForm1::~TForm1() {
  SetReconnectEnabled(false);
  // The port goes first: closing it may still hand a receive event over, and
  // the handler must not reach the decoder once that is gone.
  ComPort1->OnRxChar = nullptr;
  delete ComPort1;
  ComPort1 = nullptr;
}

std::function<void()> TForm1::Handler(void (TForm1::*handler)()) {
  return [this, handler] { qv::Guarded([&] { (this->*handler)(); }); };
}

// ---- lifecycle ---------------------------------------------------------------

void TForm1::FormCreate() { displays_ = std::make_unique<TDisplays>(); }

void TForm1::FormShow() {
  closed_ = false;
  try {
    LoadStoredSettings();
  } catch (...) {
    // The rest of the showing is skipped, but a port named on the command
    // line is what this run was asked to use, stored settings or not.
    ApplyCommandLinePort();
    throw;
  }
  ApplyCommandLinePort();
  // Double buffering: every Qt widget paints into the window's backing store,
  // so there is nothing to switch on.
  Timer2.SetEnabled(true);
  for (auto& history : measurement_.CHANNEL_DATA) std::fill(history.begin(), history.begin() + 300, 0);
}

void TForm1::LoadStoredSettings() {
  ComPort1->RestoreSettings(kPortSettingsStorage, kPortSettingsLocation);
  // No name means nothing was stored yet: the first run.
  if (ComPort1->Port().empty()) {
    ComPort1->SetPort("COM1");
    ComPort1->SetBaudRate(br57600);
    ComPort1->SetDataBits(dbEight);
    ComPort1->SetStopBits(sbOneStopBit);
    SavePortSettings();
  }
  if (ReadSettingsFile) ReadSettingsFile();
}

namespace {
// A closed port with every stored setting of `from` and the port name `port`.
void CopyStoredSettings(const TCustomComPort& from, TCustomComPort& to, const std::string& port) {
  to.setObjectName(from.objectName());
  to.SetStoredGroups(from.StoredGroups());
  to.SetPort(port);
  to.SetBaudRate(from.BaudRate());
  to.SetCustomBaudRate(from.CustomBaudRate());
  to.SetStopBits(from.StopBits());
  to.SetDataBits(from.DataBits());
  to.SetDiscardNull(from.DiscardNull());
  to.SetEventChar(from.EventChar());
  to.SetParity(from.Parity());
  to.SetFlowControl(from.FlowControl());
  to.SetTimeouts(from.Timeouts());
  to.SetBuffer(from.Buffer());
}
}  // namespace

void TForm1::SavePortSettings() {
  if (!command_line_port_ || ComPort1->Port() != *command_line_port_) {
    ComPort1->SaveSettings(kPortSettingsStorage, kPortSettingsLocation);
    return;
  }
  // This run's port came from the command line: everything else is stored,
  // under the port name that was loaded.
  TComPort stored;
  CopyStoredSettings(*ComPort1, stored, stored_port_);
  stored.SaveSettings(kPortSettingsStorage, kPortSettingsLocation);
}

void TForm1::ApplyCommandLinePort() {
  stored_port_ = ComPort1->Port();
  if (command_line_port_) ComPort1->SetPort(*command_line_port_);
}

void TForm1::ShowPortChoosingDialog(const std::function<void()>& show) {
  const std::string before = ComPort1->Port();
  show();
  if (ComPort1->Port() != before) command_line_port_.reset();
}

void TForm1::FormClose() {
  Timer2.SetEnabled(false);
  if (reconnect_) reconnect_->ScanStopped();
  // The device is told to stop even when no scan ran. Whatever fails on the
  // way, the port is closed and the window goes: the user can always quit.
  std::exception_ptr failure;
  try {
    ComPort1->SetConnected(true);
    ComPort1->WriteString("a");
  } catch (...) {
    failure = std::current_exception();
  }
  try {
    ComPort1->Close();
  } catch (...) {
    if (!failure) failure = std::current_exception();
  }
  displays_.reset();
  if (failure) std::rethrow_exception(failure);
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FitToFrame();
  if (!event->spontaneous()) qv::Guarded([this] { FormShow(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    closed_ = true;
    qv::Guarded([this] { FormClose(); });
  }
  event->accept();
}

void TForm1::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  FitToFrame();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FitToFrame();
}

void TForm1::FitToFrame() {
  // Qt's limits apply to the window without its frame; the window's limits and
  // first size are meant with it. The frame is known only once the window
  // system has put one round the window, so this runs on every show, move and
  // resize and acts only when the frame has changed.
  if (!isVisible()) return;
  const QSize extra = frameGeometry().size() - geometry().size();
  if (extra == frame_extra_) return;
  const QSize previous = frame_extra_.isValid() ? frame_extra_ : QSize(0, 0);
  frame_extra_ = extra;
  setMinimumSize(kMinOuterSize - extra);
  setMaximumSize(kMaxOuterSize - extra);
  if (!placed_ || size() == kInitialOuterSize - previous) resize(kInitialOuterSize - extra);
  if (!placed_) {
    placed_ = true;
    if (const QScreen* s = screen()) {
      QRect outer(QPoint(), kInitialOuterSize);
      outer.moveCenter(s->availableGeometry().center());
      move(outer.topLeft());
    }
  }
}

QSize TForm1::OuterSize() const { return frameGeometry().size(); }

// ---- scan control --------------------------------------------------------------

void TForm1::Start1Click() {
  ComPort1->SetConnected(true);
  ComPort1->WriteString("b");
  Timer2.SetEnabled(true);
  if (reconnect_) reconnect_->ScanStarted();
}

void TForm1::Stop1Click() {
  // Waiting for a vanished device: its port is closed already.
  if (reconnect_ && reconnect_->ScanStopped()) {
    Timer2.SetEnabled(false);
    return;
  }
  try {
    ComPort1->WriteString("a");
  } catch (...) {
    // A device that went away during a scan leaves the port open but dead;
    // close it all the same so that the next Start opens it afresh.
    // The write's error is the one reported; a failing close adds nothing.
    if (ComPort1->Connected()) {
      try {
        ComPort1->Close();
      } catch (...) {
      }
    }
    throw;
  }
  ComPort1->SetConnected(false);
  Timer2.SetEnabled(false);
}

void TForm1::Button2Click() {
  Start1Click();
  LED_MANUELL->SetBrushColor(clRed);
}

void TForm1::Button3Click() {
  LED_MANUELL->SetBrushColor(clMaroon);
  Stop1Click();
}

void TForm1::beenden1Click() { close(); }

void TForm1::SpeedButton2Click() { close(); }

// Stored whether the dialog ended with OK or Cancel; a port list that cannot
// be read ends it before anything is stored.
void TForm1::RS2321Click() {
  ShowPortChoosingDialog([this] { ComPort1->ShowPortSetup(); });
  SavePortSettings();
}

// The settings dialog's "COM Setup" stores nothing itself: this keeps it.
void TForm1::Setup1Click() {
  ShowPortChoosingDialog([this] {
    if (ShowSettingsDialog) ShowSettingsDialog();
  });
  SavePortSettings();
}

void TForm1::Button1Click() { Setup1Click(); }

// ---- receiving and drawing -------------------------------------------------------

void TForm1::ComPort1RxChar(TCustomComPort*, int Count) { decoder_.ComPort1RxChar(Count); }

void TForm1::FrameReceived() {
  LED_RX->SetBrushColor(clLime);
  Timer1.SetEnabled(true);
}

void TForm1::Timer1Timer() {
  Timer1.SetEnabled(false);
  LED_RX->SetBrushColor(clGreen);
}

void TForm1::Timer2Timer() {
  if (!displays_) return;  // the window has closed
  const QSize outer = OuterSize();
  const TDisplayInputs in{measurement_, *graph_settings_, ComPort1->Connected(), label1_hook_};
  displays_->Timer2Timer(outer.width(), outer.height(), in, client_area_->Picture());
  client_area_->update();
}

const QImage& TForm1::ClientPicture() const { return client_area_->Picture(); }

void TForm1::SetLabel1Caption(const QString& text) {
  if (Label1->text() == text) return;
  Label1->setText(text);
  // The label grows with its caption, as the top panel's labels size themselves.
  Label1->resize(std::max(12, Label1->sizeHint().width()), Label1->height());
}

void TForm1::SetGraphSettings(const TGraphSettings* settings) {
  graph_settings_ = settings ? settings : &default_settings_;
}

// ---- hidden controls ---------------------------------------------------------------

void TForm1::WriteToPort(const char* command) { ComPort1->WriteString(command); }

void TForm1::RadioButton1Click() {
  if (SetShowPixels) SetShowPixels(true);
}

void TForm1::RadioButton2Click() {
  if (SetShowPixels) SetShowPixels(false);
}

void TForm1::Button4Click() {
  ComPort1->SetConnected(true);
  Timer2.SetEnabled(true);
  WriteToPort("1");
}

void TForm1::Button5Click() { WriteToPort("2"); }
void TForm1::Button6Click() { WriteToPort("3"); }
void TForm1::Button7Click() { WriteToPort("4"); }
void TForm1::Button8Click() { WriteToPort("b"); }
void TForm1::Button9Click() { WriteToPort("a"); }

void TForm1::CheckBox1Click() { WriteToPort(CheckBox1->isChecked() ? "b" : "a"); }
