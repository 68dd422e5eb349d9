#pragma once
// The serial port component: line settings of one port, opening and closing it
// under its name, applying every changed setting to the open port at once, and
// announcing line events on the user-interface thread.
#include <QObject>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "CPortConv.h"
#include "CPortTypes.h"
#include "ComPortIO.h"
#include "EComPort.h"

class TCustomComPort;
class TComThread;
namespace qv {
class InputQueue;
class LineErrorWatch;
}  // namespace qv

// Parity of the line and what happens to bytes received with a parity or
// framing error.
class TComParity {
 public:
  explicit TComParity(TCustomComPort* owner = nullptr) : owner_(owner) {}
  TComParity(const TComParity&) = delete;
  TComParity& operator=(const TComParity&) = delete;

  TCustomComPort* ComPort() const { return owner_; }
  void AssignTo(TComParity& dest) const;

  TParityBits Bits() const { return bits_; }
  void SetBits(TParityBits value);
  bool Check() const { return check_; }
  void SetCheck(bool value);
  bool Replace() const { return replace_; }
  void SetReplace(bool value);
  AnsiChar ReplaceChar() const { return replace_char_; }
  void SetReplaceChar(AnsiChar value);

 private:
  void Changed();
  TCustomComPort* owner_;
  TParityBits bits_ = prNone;
  bool check_ = false;
  bool replace_ = false;
  AnsiChar replace_char_ = 0;
};

// Hardware and software flow control, and the levels of the DTR and RTS lines.
class TComFlowControl {
 public:
  explicit TComFlowControl(TCustomComPort* owner = nullptr) : owner_(owner) {}
  TComFlowControl(const TComFlowControl&) = delete;
  TComFlowControl& operator=(const TComFlowControl&) = delete;

  TCustomComPort* ComPort() const { return owner_; }
  void AssignTo(TComFlowControl& dest) const;

  bool OutCTSFlow() const { return out_cts_flow_; }
  void SetOutCTSFlow(bool value);
  bool OutDSRFlow() const { return out_dsr_flow_; }
  void SetOutDSRFlow(bool value);
  TDTRFlowControl ControlDTR() const { return control_dtr_; }
  void SetControlDTR(TDTRFlowControl value);
  TRTSFlowControl ControlRTS() const { return control_rts_; }
  void SetControlRTS(TRTSFlowControl value);
  bool XonXoffOut() const { return xon_xoff_out_; }
  void SetXonXoffOut(bool value);
  bool XonXoffIn() const { return xon_xoff_in_; }
  void SetXonXoffIn(bool value);
  bool DSRSensitivity() const { return dsr_sensitivity_; }
  void SetDSRSensitivity(bool value);
  bool TxContinueOnXoff() const { return tx_continue_on_xoff_; }
  void SetTxContinueOnXoff(bool value);
  AnsiChar XonChar() const { return xon_char_; }
  void SetXonChar(AnsiChar value);
  AnsiChar XoffChar() const { return xoff_char_; }
  void SetXoffChar(AnsiChar value);

  // The preset the current fields amount to, and setting one of them.
  TFlowControl FlowControl() const;
  void SetFlowControl(TFlowControl value);

 private:
  void Changed();
  TCustomComPort* owner_;
  bool out_cts_flow_ = false;
  bool out_dsr_flow_ = false;
  TDTRFlowControl control_dtr_ = dtrDisable;
  TRTSFlowControl control_rts_ = rtsDisable;
  bool xon_xoff_out_ = false;
  bool xon_xoff_in_ = false;
  bool dsr_sensitivity_ = false;
  bool tx_continue_on_xoff_ = false;
  AnsiChar xon_char_ = 17;
  AnsiChar xoff_char_ = 19;
};

// Read and write time-outs in milliseconds (multipliers: milliseconds per byte).
class TComTimeouts {
 public:
  explicit TComTimeouts(TCustomComPort* owner = nullptr) : owner_(owner) {}
  TComTimeouts(const TComTimeouts&) = delete;
  TComTimeouts& operator=(const TComTimeouts&) = delete;

  TCustomComPort* ComPort() const { return owner_; }
  void AssignTo(TComTimeouts& dest) const;

  std::int32_t ReadInterval() const { return read_interval_; }
  void SetReadInterval(std::int32_t value);
  std::int32_t ReadTotalMultiplier() const { return read_total_multiplier_; }
  void SetReadTotalMultiplier(std::int32_t value);
  std::int32_t ReadTotalConstant() const { return read_total_constant_; }
  void SetReadTotalConstant(std::int32_t value);
  std::int32_t WriteTotalMultiplier() const { return write_total_multiplier_; }
  void SetWriteTotalMultiplier(std::int32_t value);
  std::int32_t WriteTotalConstant() const { return write_total_constant_; }
  void SetWriteTotalConstant(std::int32_t value);

 private:
  void Changed();
  TCustomComPort* owner_;
  std::int32_t read_interval_ = -1;
  std::int32_t read_total_multiplier_ = 0;
  std::int32_t read_total_constant_ = 0;
  std::int32_t write_total_multiplier_ = 100;
  std::int32_t write_total_constant_ = 1000;
};

// Sizes of the receive and transmit queues in bytes; odd positive sizes are
// lowered to the even number below.
class TComBuffer {
 public:
  explicit TComBuffer(TCustomComPort* owner = nullptr) : owner_(owner) {}
  TComBuffer(const TComBuffer&) = delete;
  TComBuffer& operator=(const TComBuffer&) = delete;

  TCustomComPort* ComPort() const { return owner_; }
  void AssignTo(TComBuffer& dest) const;

  std::int32_t InputSize() const { return input_size_; }
  void SetInputSize(std::int32_t value);
  std::int32_t OutputSize() const { return output_size_; }
  void SetOutputSize(std::int32_t value);

 private:
  void Changed();
  TCustomComPort* owner_;
  std::int32_t input_size_ = 1024;
  std::int32_t output_size_ = 1024;
};

// The device-control record in the Win32 layout: what the line must end up
// with. Fields not set by the port stay zero.
struct TDCB {
  static constexpr std::uint32_t fBinary = 0x0001;
  static constexpr std::uint32_t fParity = 0x0002;
  static constexpr std::uint32_t fOutxCtsFlow = 0x0004;
  static constexpr std::uint32_t fOutxDsrFlow = 0x0008;
  static constexpr std::uint32_t fDtrControlMask = 0x0030;
  static constexpr std::uint32_t fDtrControlEnable = 0x0010;
  static constexpr std::uint32_t fDtrControlHandshake = 0x0020;
  static constexpr std::uint32_t fDsrSensitivity = 0x0040;
  static constexpr std::uint32_t fTXContinueOnXoff = 0x0080;
  static constexpr std::uint32_t fOutX = 0x0100;
  static constexpr std::uint32_t fInX = 0x0200;
  static constexpr std::uint32_t fErrorChar = 0x0400;
  static constexpr std::uint32_t fNull = 0x0800;
  static constexpr std::uint32_t fRtsControlMask = 0x3000;
  static constexpr std::uint32_t fRtsControlEnable = 0x1000;
  static constexpr std::uint32_t fRtsControlHandshake = 0x2000;
  static constexpr std::uint32_t fRtsControlToggle = 0x3000;
  static constexpr std::uint32_t fAbortOnError = 0x4000;

  std::uint32_t DCBlength = 28;
  std::uint32_t BaudRate = 0;
  std::uint32_t Flags = 0;
  std::uint16_t wReserved = 0;
  std::uint16_t XonLim = 0;
  std::uint16_t XoffLim = 0;
  std::uint8_t ByteSize = 0;
  std::uint8_t Parity = 0;
  std::uint8_t StopBits = 0;
  std::uint8_t XonChar = 0;
  std::uint8_t XoffChar = 0;
  std::uint8_t ErrorChar = 0;
  std::uint8_t EofChar = 0;
  std::uint8_t EvtChar = 0;
  std::uint16_t wReserved1 = 0;
};

// The time-out record in the Win32 layout (-1 is carried as 0xFFFFFFFF).
struct TCommTimeouts {
  std::uint32_t ReadIntervalTimeout = 0;
  std::uint32_t ReadTotalTimeoutMultiplier = 0;
  std::uint32_t ReadTotalTimeoutConstant = 0;
  std::uint32_t WriteTotalTimeoutMultiplier = 0;
  std::uint32_t WriteTotalTimeoutConstant = 0;
};

// The records the port's current settings amount to.
[[nodiscard]] TDCB BuildDCB(const TCustomComPort& port);
[[nodiscard]] TCommTimeouts BuildCommTimeouts(const TCustomComPort& port);

namespace qv {
// The device path a port name stands for on Linux: an absolute path as is,
// "COMn" (n >= 1) as /dev/ttyS(n-1), any other name below /dev.
[[nodiscard]] std::string DevicePathForPort(const std::string& name);
}  // namespace qv

class TCustomComPort : public QObject, public TComPortIO {
  Q_OBJECT

 public:
  explicit TCustomComPort(QObject* owner = nullptr);
  ~TCustomComPort() override;
  TCustomComPort(const TCustomComPort&) = delete;
  TCustomComPort& operator=(const TCustomComPort&) = delete;

  // Properties.
  bool Connected() const { return connected_; }
  void SetConnected(bool value);
  const std::string& Port() const { return port_; }
  void SetPort(const std::string& value);
  TBaudRate BaudRate() const { return baud_rate_; }
  void SetBaudRate(TBaudRate value);
  std::int32_t CustomBaudRate() const { return custom_baud_rate_; }
  void SetCustomBaudRate(std::int32_t value);
  TStopBits StopBits() const { return stop_bits_; }
  void SetStopBits(TStopBits value);
  TDataBits DataBits() const { return data_bits_; }
  void SetDataBits(TDataBits value);
  bool DiscardNull() const { return discard_null_; }
  void SetDiscardNull(bool value);
  AnsiChar EventChar() const { return event_char_; }
  void SetEventChar(AnsiChar value);
  TComEvents Events() const { return events_; }
  void SetEvents(TComEvents value) { events_ = value; }
  TSyncMethod SyncMethod() const { return sync_method_; }
  void SetSyncMethod(TSyncMethod value);
  TStoredGroups StoredGroups() const { return stored_groups_; }
  void SetStoredGroups(TStoredGroups value) { stored_groups_ = value; }

  TComParity& Parity() { return *parity_; }
  const TComParity& Parity() const { return *parity_; }
  void SetParity(const TComParity& value);
  TComFlowControl& FlowControl() { return *flow_control_; }
  const TComFlowControl& FlowControl() const { return *flow_control_; }
  void SetFlowControl(const TComFlowControl& value);
  TComTimeouts& Timeouts() { return *timeouts_; }
  const TComTimeouts& Timeouts() const { return *timeouts_; }
  void SetTimeouts(const TComTimeouts& value);
  TComBuffer& Buffer() { return *buffer_; }
  const TComBuffer& Buffer() const { return *buffer_; }
  void SetBuffer(const TComBuffer& value);

  // Building from a stored description: while loading, Connected, Port and
  // SyncMethod are only stored and nothing is applied; Loaded() ends it and
  // opens the port when Connected was set meanwhile.
  void SetLoading(bool value) { loading_ = value; }
  bool Loading() const { return loading_; }
  void Loaded();

  // Operations.
  void Open();
  Q_INVOKABLE void Close();
  void BeginUpdate();
  void EndUpdate();
  void ShowPortSetup();

  int ReadString(std::string& Str, int Count) override;
  int WriteString(const std::string& Str) override;
  [[nodiscard]] int InputCount();
  [[nodiscard]] TComErrors LineErrors();
  [[nodiscard]] TComLineSignals LineSignals();

  virtual void CreatePortHandle();
  virtual void DestroyPortHandle();
  virtual void ApplyAllSettings();
  virtual void ApplyLineSettings();
  virtual void ApplyTimeouts();
  virtual void ApplyBufferSizes();

  // The open device's descriptor, -1 while closed.
  int Handle() const { return fd_; }

  // Process-wide hooks: the port setup dialog (nothing happens without one),
  // and the application's standard error report (default: standard error).
  static void SetPortSetupHandler(std::function<void(TCustomComPort&)> handler);
  static void SetErrorReporter(std::function<void(const std::exception&)> reporter);
  static void ReportError(const std::exception& error);

  // Events.
  TNotifyEvent OnBeforeOpen;
  TNotifyEvent OnAfterOpen;
  TNotifyEvent OnBeforeClose;
  TNotifyEvent OnAfterClose;
  TNotifyEvent OnTxEmpty;
  TNotifyEvent OnBreak;
  TNotifyEvent OnRing;
  TNotifyEvent OnRxFlag;
  TNotifyEvent OnRx80Full;
  TRxCharEvent OnRxChar;
  TRxBufEvent OnRxBuf;
  TComSignalEvent OnCTSChange;
  TComSignalEvent OnDSRChange;
  TComSignalEvent OnRLSDChange;
  TComErrorEvent OnError;

 protected:
  virtual void DoBeforeOpen();
  virtual void DoAfterOpen();
  virtual void DoBeforeClose();
  virtual void DoAfterClose();
  virtual void DoRxChar(int Count);
  virtual void DoRxBuf(const void* Buffer, int Count);
  virtual void DoTxEmpty();
  virtual void DoBreak();
  virtual void DoRing();
  virtual void DoRxFlag();
  virtual void DoRx80Full();
  virtual void DoCTSChange(bool OnOff);
  virtual void DoDSRChange(bool OnOff);
  virtual void DoRLSDChange(bool OnOff);
  virtual void DoError(TComErrors Errors);

 private:
  friend class TComThread;
  bool ApplyGateOpen() const { return connected_ && update_count_ == 0 && !loading_; }
  void CheckOpenFor(int code) const;
  void StopEventThread();
  void ForceRelease();
  // Runs the per-event actions for one batch on the calling thread; returns
  // early when the port was closed by a handler.
  void RunEventActions(TComEvents events, std::uint64_t session);
  void RunAction(TComEvent event);
  // The event thread queues these by name, with their arguments copied by Qt:
  // no object of ours is written on one thread and read on the other outside
  // a lock (ThreadSanitizer cannot see the locks inside Qt).
  Q_INVOKABLE void RunSingleAction(int event, quint64 session);
  Q_INVOKABLE void DrainHandOver(quint64 session);
  void PumpIfNoThread(int code);

  bool connected_ = false;
  bool stored_connected_ = false;
  bool loading_ = false;
  bool closing_ = false;
  bool opening_ = false;
  std::string port_ = "COM1";
  TBaudRate baud_rate_ = br9600;
  std::int32_t custom_baud_rate_ = 9600;
  TStopBits stop_bits_ = sbOneStopBit;
  TDataBits data_bits_ = dbEight;
  bool discard_null_ = false;
  AnsiChar event_char_ = 0;
  TComEvents events_ = kAllComEvents;
  TSyncMethod sync_method_ = smThreadSync;
  TStoredGroups stored_groups_{sgBasic};
  std::int32_t update_count_ = 0;

  std::unique_ptr<TComParity> parity_;
  std::unique_ptr<TComFlowControl> flow_control_;
  std::unique_ptr<TComTimeouts> timeouts_;
  std::unique_ptr<TComBuffer> buffer_;

  int fd_ = -1;
  std::uint64_t session_ = 0;
  TCommTimeouts applied_timeouts_ = {};
  std::unique_ptr<qv::InputQueue> input_;
  std::unique_ptr<qv::LineErrorWatch> line_errors_;
  std::unique_ptr<TComThread> thread_;

 public:
  // Stored settings: the groups in StoredGroups() kept in a registry key
  // (location "ROOT\path", key path\Name) or in the section Name of an ini
  // file. Failures are reported as EComPort 16 (storing) and 17 (loading).
  void SaveSettings(TStorageKind StoreType, const std::string& StoreTo);
  void RestoreSettings(TStorageKind StoreType, const std::string& StoreFrom);

 protected:
  virtual void StoreToRegistry(class TRegistry& Reg);
  virtual void StoreToIniFile(class TIniFile& IniFile);
  virtual void LoadFromRegistry(class TRegistry& Reg);
  virtual void LoadFromIniFile(class TIniFile& IniFile);
};

class TComPort : public TCustomComPort {
  Q_OBJECT

 public:
  using TCustomComPort::TCustomComPort;
};
