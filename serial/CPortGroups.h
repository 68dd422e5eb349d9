#pragma once
// The port's setting groups (parity, flow control, time-outs, buffer sizes):
// each setter stores a different value and has the owning port apply its group.
#include <cstdint>

#include "CPortTypes.h"

class TCustomComPort;

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
