#pragma once
// The main window: the top panel with the scan buttons and the two lamps, the
// main menu, the redraw and lamp timers, the serial port of the device, and
// the measurement state with its decoder and displays. Every handler runs on
// the user-interface thread; those of the menus, buttons, timers and window
// events run through the application's error report. The receive handler
// does not: an error there ends the port's event thread without a message,
// the port's own rule for failing handlers.
#include <QMainWindow>
#include <QSize>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "CPort.h"
#include "Decoder.h"
#include "Displays.h"
#include "GraphSettings.h"
#include "Measurement.h"
#include "ReadTap.h"
#include "Timer.h"
#include "UsbAdapters.h"

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace qv {
class TReconnectLink;
class TClientArea;
class TPanel;
class TShape;
}  // namespace qv

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // Outer size of the window (frame, caption and menu included).
  static constexpr QSize kInitialOuterSize{800, 600};
  static constexpr QSize kMinOuterSize{640, 480};
  static constexpr QSize kMaxOuterSize{1120, 1024};
  static constexpr int kPanel1Height = 57;

  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // ---- handlers ------------------------------------------------------------
  void FormCreate();
  void FormShow();
  void FormClose();
  void Start1Click();
  void Stop1Click();
  void Button2Click();
  void Button3Click();
  void beenden1Click();
  void SpeedButton2Click();
  void Timer1Timer();
  void Timer2Timer();
  void ComPort1RxChar(TCustomComPort* Sender, int Count);
  // The settings menus and the hidden Setup button: the port setup dialog or
  // the settings dialog, then the port settings are stored.
  void RS2321Click();
  void Setup1Click();
  void Button1Click();
  // Hidden controls of the top panel.
  void RadioButton1Click();
  void RadioButton2Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();
  void Button8Click();
  void Button9Click();
  void CheckBox1Click();

  // ---- display settings ----------------------------------------------------
  // Where the displays read their nine values at every drawing; nullptr goes
  // back to the built-in defaults. The object must outlive its use here.
  void SetGraphSettings(const TGraphSettings* settings);
  [[nodiscard]] const TGraphSettings& GraphSettings() const { return *graph_settings_; }
  // Writes ShowPixels where the settings live (the hidden radio buttons use
  // it). Defaults to the built-in values.
  std::function<void(bool)> SetShowPixels;

  // ---- the settings dialog -------------------------------------------------
  // What the window needs of the settings dialog, set by the program's start
  // when it makes the dialog: reading the settings file into it (at the first
  // showing) and showing it modally (menu "Setup"). Unset: nothing happens.
  std::function<void()> ReadSettingsFile;
  std::function<void()> ShowSettingsDialog;

  // ---- start-up options ----------------------------------------------------
  // A port name from the command line: replaces the port for this run when
  // the window is shown, after the stored settings have been loaded. It is
  // never stored: the port settings are stored with the port name that was
  // loaded, until the user chooses another port in the port setup dialog.
  void SetCommandLinePort(std::optional<std::string> port) { command_line_port_ = std::move(port); }
  void ApplyCommandLinePort();

  // ---- reconnecting (off unless switched on) ---------------------------------
  // While on, a device that vanishes during a scan is waited for (in roots'
  // /dev) and the scan carried on when the same device is back; Stop Scan
  // ends the waiting. Off, the window behaves as without it. Switching it
  // on takes effect from the next Start Scan.
  void SetReconnectEnabled(bool on, const qv::usb::TUsbRoots& roots = {});
  [[nodiscard]] bool ReconnectEnabled() const { return reconnect_ != nullptr; }
  [[nodiscard]] qv::TReconnectLink* Reconnect() const { return reconnect_; }
  // The connection state text while reconnecting is on ("" while no scan runs).
  std::function<void(const QString&)> OnConnectionState;

  // ---- state -----------------------------------------------------------------
  [[nodiscard]] TMeasurement& Measurement() { return measurement_; }
  [[nodiscard]] TFrameDecoder& Decoder() { return decoder_; }
  // What the receive handler reads through: ComPort1, and a listener for its bytes.
  [[nodiscard]] qv::TReadTap& PortTap() { return portTap_; }
  // The displays and their BACKBUFFER exist from FormCreate to FormClose.
  [[nodiscard]] TDisplays* Displays() { return displays_.get(); }
  // The picture of the client area as the last tick left it.
  [[nodiscard]] const QImage& ClientPicture() const;
  // The outer size W x H the displays are laid out for.
  [[nodiscard]] QSize OuterSize() const;

  // ---- components (owned by the window) --------------------------------------
  // Made first: the decoder reads and writes through it.
  TComPort* ComPort1 = new TComPort(this);
  qv::TTimer Timer1{100};
  qv::TTimer Timer2{150};

  QMenuBar* MainMenu1 = nullptr;
  QAction* beenden1 = nullptr;
  QAction* RS2321 = nullptr;
  QAction* Setup1 = nullptr;
  QAction* Start1 = nullptr;
  QAction* Stop1 = nullptr;

  qv::TPanel* Panel1 = nullptr;
  QLabel* Label8 = nullptr;
  qv::TShape* LED_MANUELL = nullptr;
  QLabel* Label1 = nullptr;
  qv::TShape* LED_RX = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QToolButton* SpeedButton2 = nullptr;

  QWidget* Panel2 = nullptr;
  QRadioButton* RadioButton1 = nullptr;
  QRadioButton* RadioButton2 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* Button5 = nullptr;
  QPushButton* Button6 = nullptr;
  QPushButton* Button7 = nullptr;
  QPushButton* Button8 = nullptr;
  QPushButton* Button9 = nullptr;
  QCheckBox* CheckBox1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The stored port settings, and built-in defaults stored at once when
  // there are none; then the settings file.
  void LoadStoredSettings();
  void SavePortSettings();
  // Shows a dialog that may change the port; a port the user chose there
  // replaces the one from the command line, and is stored from then on.
  void ShowPortChoosingDialog(const std::function<void()>& show);
  void CreatePanel1();
  void CreateHiddenControls();
  void CreateMenu();
  void CreatePort();
  void ConnectHandlers();
  // A callable that runs the handler under the error report.
  std::function<void()> Handler(void (TForm1::*handler)());
  void FrameReceived();
  void WriteToPort(const char* command);
  void SetLabel1Caption(const QString& text);
  // Size limits and first size in outer pixels, once the frame is known.
  void FitToFrame();

  TMeasurement measurement_;
  qv::TReadTap portTap_{*ComPort1};
  TFrameDecoder decoder_{measurement_, portTap_, [this] { FrameReceived(); }};
  std::unique_ptr<TDisplays> displays_;
  TGraphSettingsValues default_settings_;
  const TGraphSettings* graph_settings_ = &default_settings_;
  std::function<void(const QString&)> label1_hook_;
  std::optional<std::string> command_line_port_;
  std::string stored_port_;  // the port name as loaded, stored in place of command_line_port_
  qv::TClientArea* client_area_ = nullptr;
  QSize frame_extra_{-1, -1};  // outer minus inner size, as last applied
  bool placed_ = false;        // the first size and position have been set
  bool closed_ = false;        // FormClose has run since the last showing
  // A child of the window while reconnecting is on.
  qv::TReconnectLink* reconnect_ = nullptr;
};
