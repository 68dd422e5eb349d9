// The port's setting groups: each setter stores a different value and then
// has the owning port apply its group.
#include "CPort.h"
#include "StoreChanged.h"

void TComParity::Changed() {
  if (owner_) owner_->ApplyLineSettings();
}

void TComParity::AssignTo(TComParity& dest) const {
  dest.bits_ = bits_;
  dest.check_ = check_;
  dest.replace_ = replace_;
  dest.replace_char_ = replace_char_;
}

void TComParity::SetBits(TParityBits value) {
  if (qv::StoreChanged(bits_, value)) Changed();
}
void TComParity::SetCheck(bool value) {
  if (qv::StoreChanged(check_, value)) Changed();
}
void TComParity::SetReplace(bool value) {
  if (qv::StoreChanged(replace_, value)) Changed();
}
void TComParity::SetReplaceChar(AnsiChar value) {
  if (qv::StoreChanged(replace_char_, value)) Changed();
}

void TComFlowControl::Changed() {
  if (owner_) owner_->ApplyLineSettings();
}

void TComFlowControl::AssignTo(TComFlowControl& dest) const {
  dest.out_cts_flow_ = out_cts_flow_;
  dest.out_dsr_flow_ = out_dsr_flow_;
  dest.control_dtr_ = control_dtr_;
  dest.control_rts_ = control_rts_;
  dest.xon_xoff_out_ = xon_xoff_out_;
  dest.xon_xoff_in_ = xon_xoff_in_;
  dest.dsr_sensitivity_ = dsr_sensitivity_;
  dest.tx_continue_on_xoff_ = tx_continue_on_xoff_;
  dest.xon_char_ = xon_char_;
  dest.xoff_char_ = xoff_char_;
}

void TComFlowControl::SetOutCTSFlow(bool value) {
  if (qv::StoreChanged(out_cts_flow_, value)) Changed();
}
void TComFlowControl::SetOutDSRFlow(bool value) {
  if (qv::StoreChanged(out_dsr_flow_, value)) Changed();
}
void TComFlowControl::SetControlDTR(TDTRFlowControl value) {
  if (qv::StoreChanged(control_dtr_, value)) Changed();
}
void TComFlowControl::SetControlRTS(TRTSFlowControl value) {
  if (qv::StoreChanged(control_rts_, value)) Changed();
}
void TComFlowControl::SetXonXoffOut(bool value) {
  if (qv::StoreChanged(xon_xoff_out_, value)) Changed();
}
void TComFlowControl::SetXonXoffIn(bool value) {
  if (qv::StoreChanged(xon_xoff_in_, value)) Changed();
}
void TComFlowControl::SetDSRSensitivity(bool value) {
  if (qv::StoreChanged(dsr_sensitivity_, value)) Changed();
}
void TComFlowControl::SetTxContinueOnXoff(bool value) {
  if (qv::StoreChanged(tx_continue_on_xoff_, value)) Changed();
}
void TComFlowControl::SetXonChar(AnsiChar value) {
  if (qv::StoreChanged(xon_char_, value)) Changed();
}
void TComFlowControl::SetXoffChar(AnsiChar value) {
  if (qv::StoreChanged(xoff_char_, value)) Changed();
}

TFlowControl TComFlowControl::FlowControl() const {
  if (control_rts_ == rtsHandshake && out_cts_flow_ && !xon_xoff_in_ && !xon_xoff_out_) return fcHardware;
  if (control_rts_ == rtsDisable && !out_cts_flow_) {
    if (xon_xoff_in_ && xon_xoff_out_) return fcSoftware;
    if (!xon_xoff_in_ && !xon_xoff_out_) return fcNone;
  }
  return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl value) {
  if (value != fcCustom) {
    control_rts_ = rtsDisable;
    out_cts_flow_ = false;
    xon_xoff_in_ = false;
    xon_xoff_out_ = false;
    if (value == fcHardware) {
      control_rts_ = rtsHandshake;
      out_cts_flow_ = true;
    } else if (value == fcSoftware) {
      xon_xoff_in_ = true;
      xon_xoff_out_ = true;
    }
  }
  Changed();
}

void TComTimeouts::Changed() {
  if (owner_) owner_->ApplyTimeouts();
}

void TComTimeouts::AssignTo(TComTimeouts& dest) const {
  dest.read_interval_ = read_interval_;
  dest.read_total_multiplier_ = read_total_multiplier_;
  dest.read_total_constant_ = read_total_constant_;
  dest.write_total_multiplier_ = write_total_multiplier_;
  dest.write_total_constant_ = write_total_constant_;
}

void TComTimeouts::SetReadInterval(std::int32_t value) {
  if (qv::StoreChanged(read_interval_, value)) Changed();
}
void TComTimeouts::SetReadTotalMultiplier(std::int32_t value) {
  if (qv::StoreChanged(read_total_multiplier_, value)) Changed();
}
void TComTimeouts::SetReadTotalConstant(std::int32_t value) {
  if (qv::StoreChanged(read_total_constant_, value)) Changed();
}
void TComTimeouts::SetWriteTotalMultiplier(std::int32_t value) {
  if (qv::StoreChanged(write_total_multiplier_, value)) Changed();
}
void TComTimeouts::SetWriteTotalConstant(std::int32_t value) {
  if (qv::StoreChanged(write_total_constant_, value)) Changed();
}

void TComBuffer::Changed() {
  if (owner_) owner_->ApplyBufferSizes();
}

void TComBuffer::AssignTo(TComBuffer& dest) const {
  dest.input_size_ = input_size_;
  dest.output_size_ = output_size_;
}

namespace {
std::int32_t EvenSize(std::int32_t v) { return v > 0 && (v % 2) != 0 ? v - 1 : v; }
}  // namespace

void TComBuffer::SetInputSize(std::int32_t value) {
  if (!qv::StoreChanged(input_size_, value)) return;
  input_size_ = EvenSize(input_size_);
  Changed();
}
void TComBuffer::SetOutputSize(std::int32_t value) {
  if (!qv::StoreChanged(output_size_, value)) return;
  output_size_ = EvenSize(output_size_);
  Changed();
}
