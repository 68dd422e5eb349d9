#pragma once
// The serial port component: line settings of one port, opening and closing it
// under its name, applying every changed setting to the open port at once, and
// announcing line events on the user-interface thread. Its setting groups are
// in CPortGroups.h, the records it configures the line from in CPortRecords.h.
#include <QObject>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "CPortConv.h"
#include "CPortGroups.h"
#include "CPortRecords.h"
#include "CPortTypes.h"
#include "ComPortIO.h"
#include "ComThreadOwner.h"
#include "EComPort.h"

class TComThread;
class TIniFile;
class TRegistry;
namespace qv {
class InputQueue;
class LineErrorWatch;
}  // namespace qv

class TCustomComPort : public QObject, public TComPortIO, private TComThreadOwner {
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

  // Stored settings: the groups in StoredGroups() kept in a registry key
  // (location "ROOT\path", key path\Name) or in the section Name of an ini
  // file. Failures are reported as EComPort 16 (storing) and 17 (loading).
  void SaveSettings(TStorageKind StoreType, const std::string& StoreTo);
  void RestoreSettings(TStorageKind StoreType, const std::string& StoreFrom);

  // The open device's descriptor, -1 while closed.
  int Handle() const { return fd_; }

  // What the owner hands in, on the port's thread: the port setup dialog
  // (nothing happens without one), and the report of errors that arise in the
  // port's own event handling and loading (default: standard error).
  void SetPortSetupHandler(std::function<void(TCustomComPort&)> handler) { setup_handler_ = std::move(handler); }
  void SetErrorReporter(std::function<void(const std::exception&)> reporter) { error_reporter_ = std::move(reporter); }
  void ReportError(const std::exception& error) const;

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
  virtual void DoTxEmpty();
  virtual void DoBreak();
  virtual void DoRing();
  virtual void DoRxFlag();
  virtual void DoRx80Full();
  virtual void DoCTSChange(bool OnOff);
  virtual void DoDSRChange(bool OnOff);
  virtual void DoRLSDChange(bool OnOff);
  virtual void DoError(TComErrors Errors);
  virtual void StoreToRegistry(TRegistry& Reg);
  virtual void StoreToIniFile(TIniFile& IniFile);
  virtual void LoadFromRegistry(TRegistry& Reg);
  virtual void LoadFromIniFile(TIniFile& IniFile);

 private:
  bool ApplyGateOpen() const { return connected_ && update_count_ == 0 && !loading_; }
  void CheckOpenFor(int code) const;
  void StopEventThread();
  void ForceRelease();
  // TComThreadOwner. RunEventActions runs the per-event actions for one batch
  // on the calling thread and returns early when a handler closed the port.
  void RunEventActions(TComEvents events, std::uint64_t session) override;
  void PostHandOver(std::uint64_t session) override;
  void PostAction(TComEvent event, std::uint64_t session) override;
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

  std::function<void(TCustomComPort&)> setup_handler_;
  std::function<void(const std::exception&)> error_reporter_;
};

class TComPort : public TCustomComPort {
  Q_OBJECT

 public:
  using TCustomComPort::TCustomComPort;
};
