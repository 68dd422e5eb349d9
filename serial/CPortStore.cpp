// The port's settings kept in a registry key or an ini file section: the
// groups in StoredGroups(), written and read in one fixed order (basic, others,
// parity, buffer, time-outs, flow control) whatever their bit numbers.
#include <stdexcept>
#include <string_view>

#include "AppUtils.h"
#include "AsciiText.h"
#include "CPort.h"
#include "CPortText.h"
#include "Registry.h"

namespace {

// Where the values go and come from. The registry has no defaults: a missing
// text reads as empty and a missing integer fails; an ini file gives the
// default for a missing key.
class SettingsSink {
 public:
  virtual ~SettingsSink() = default;
  virtual void Text(const char* name, const std::string& value) = 0;
  virtual void Integer(const char* name, int value) = 0;
};

class SettingsSource {
 public:
  virtual ~SettingsSource() = default;
  virtual std::string Text(const char* name, const std::string& def) = 0;
  virtual int Integer(const char* name, int def) = 0;
};

class RegistrySink : public SettingsSink {
 public:
  explicit RegistrySink(TRegistry& reg) : reg_(reg) {}
  void Text(const char* name, const std::string& value) override { reg_.WriteString(name, value); }
  void Integer(const char* name, int value) override { reg_.WriteInteger(name, value); }

 private:
  TRegistry& reg_;
};

class RegistrySource : public SettingsSource {
 public:
  explicit RegistrySource(TRegistry& reg) : reg_(reg) {}
  std::string Text(const char* name, const std::string&) override { return reg_.ReadString(name); }
  int Integer(const char* name, int) override { return reg_.ReadInteger(name); }

 private:
  TRegistry& reg_;
};

class IniSink : public SettingsSink {
 public:
  IniSink(TIniFile& ini, std::string section) : ini_(ini), section_(std::move(section)) {}
  void Text(const char* name, const std::string& value) override { ini_.WriteString(section_, name, value); }
  void Integer(const char* name, int value) override { ini_.WriteInteger(section_, name, value); }

 private:
  TIniFile& ini_;
  std::string section_;
};

class IniSource : public SettingsSource {
 public:
  IniSource(TIniFile& ini, std::string section) : ini_(ini), section_(std::move(section)) {}
  std::string Text(const char* name, const std::string& def) override { return ini_.ReadString(section_, name, def); }
  int Integer(const char* name, int def) override { return ini_.ReadInteger(section_, name, def); }

 private:
  TIniFile& ini_;
  std::string section_;
};

constexpr int kDefaultCustomBaudRate = 9600;

// Resolves "ROOT\path" to the key path\Name under ROOT (HKEY_CURRENT_USER
// when the first part names no root; that part is dropped either way) and
// opens it, creating it when missing. Without any "\" no key is opened. A
// location with nothing after the first "\" gives the key Name right under
// the root. Returns whether a key is open; failing to open is not an error.
bool OpenLocation(TRegistry& reg, const std::string& location, const std::string& name) {
  auto sep = location.find('\\');
  if (sep == std::string::npos) return false;
  auto root = qv::AsciiUpperCopy(location.substr(0, sep));
  if (root == "HKEY_LOCAL_MACHINE") {
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
  } else {
    reg.SetRootKey(HKEY_CURRENT_USER);
  }
  auto key = location.substr(sep + 1);
  if (!key.empty() && key.back() != '\\') key += '\\';
  key += name;
  return reg.OpenKey(key, true);
}

std::string ComponentName(const QObject& port) { return port.objectName().toStdString(); }

void StoreGroups(const TCustomComPort& port, SettingsSink& out) {
  const auto groups = port.StoredGroups();
  if (groups.contains(sgBasic)) {
    out.Text("Port", port.Port());
    out.Text("BaudRate", BaudRateToText(port.BaudRate()));
    if (port.BaudRate() == brCustom) out.Integer("CustomBaudRate", port.CustomBaudRate());
    out.Text("StopBits", StopBitsToText(port.StopBits()));
    out.Text("DataBits", DataBitsToText(port.DataBits()));
    out.Text("Parity", ParityToText(port.Parity().Bits()));
    out.Text("FlowControl", FlowControlToText(port.FlowControl().FlowControl()));
  }
  if (groups.contains(sgOthers)) {
    out.Text("EventChar", CharToText(port.EventChar()));
    out.Text("DiscardNull", BoolToText(port.DiscardNull()));
  }
  if (groups.contains(sgParity)) {
    const auto& p = port.Parity();
    out.Text("Parity.Check", BoolToText(p.Check()));
    out.Text("Parity.Replace", BoolToText(p.Replace()));
    out.Text("Parity.ReplaceChar", CharToText(p.ReplaceChar()));
  }
  if (groups.contains(sgBuffer)) {
    out.Integer("Buffer.OutputSize", port.Buffer().OutputSize());
    out.Integer("Buffer.InputSize", port.Buffer().InputSize());
  }
  if (groups.contains(sgTimeouts)) {
    const auto& t = port.Timeouts();
    out.Integer("Timeouts.ReadInterval", t.ReadInterval());
    out.Integer("Timeouts.ReadTotalConstant", t.ReadTotalConstant());
    out.Integer("Timeouts.ReadTotalMultiplier", t.ReadTotalMultiplier());
    out.Integer("Timeouts.WriteTotalConstant", t.WriteTotalConstant());
    out.Integer("Timeouts.WriteTotalMultiplier", t.WriteTotalMultiplier());
  }
  if (groups.contains(sgFlowControl)) {
    const auto& f = port.FlowControl();
    out.Text("FlowControl.ControlRTS", RTSToText(f.ControlRTS()));
    out.Text("FlowControl.ControlDTR", DTRToText(f.ControlDTR()));
    out.Text("FlowControl.DSRSensitivity", BoolToText(f.DSRSensitivity()));
    out.Text("FlowControl.OutCTSFlow", BoolToText(f.OutCTSFlow()));
    out.Text("FlowControl.OutDSRFlow", BoolToText(f.OutDSRFlow()));
    out.Text("FlowControl.TxContinueOnXoff", BoolToText(f.TxContinueOnXoff()));
    out.Text("FlowControl.XonXoffIn", BoolToText(f.XonXoffIn()));
    out.Text("FlowControl.XonXoffOut", BoolToText(f.XonXoffOut()));
    out.Text("FlowControl.XoffChar", CharToText(f.XoffChar()));
    out.Text("FlowControl.XonChar", CharToText(f.XonChar()));
  }
}

// Each value is set through its setter right after it is read, so that a
// failure keeps what was set before it. The defaults are the current values,
// so a key missing from an ini file leaves its property as it is.
void LoadGroups(TCustomComPort& port, SettingsSource& in) {
  const auto groups = port.StoredGroups();
  auto readBool = [&](const char* name, bool current) { return TextToBool(in.Text(name, BoolToText(current))); };
  auto readChar = [&](const char* name, AnsiChar current) { return TextToChar(in.Text(name, CharToText(current))); };
  if (groups.contains(sgBasic)) {
    port.SetPort(in.Text("Port", port.Port()));
    port.SetBaudRate(TextToBaudRate(in.Text("BaudRate", BaudRateToText(port.BaudRate()))));
    if (port.BaudRate() == brCustom) port.SetCustomBaudRate(in.Integer("CustomBaudRate", kDefaultCustomBaudRate));
    port.SetStopBits(TextToStopBits(in.Text("StopBits", StopBitsToText(port.StopBits()))));
    port.SetDataBits(TextToDataBits(in.Text("DataBits", DataBitsToText(port.DataBits()))));
    port.Parity().SetBits(TextToParity(in.Text("Parity", ParityToText(port.Parity().Bits()))));
    // fcCustom (also what an unknown text gives) leaves the flow-control fields alone.
    port.FlowControl().SetFlowControl(
        TextToFlowControl(in.Text("FlowControl", FlowControlToText(port.FlowControl().FlowControl()))));
  }
  if (groups.contains(sgOthers)) {
    port.SetEventChar(readChar("EventChar", port.EventChar()));
    port.SetDiscardNull(readBool("DiscardNull", port.DiscardNull()));
  }
  if (groups.contains(sgParity)) {
    auto& p = port.Parity();
    p.SetCheck(readBool("Parity.Check", p.Check()));
    p.SetReplace(readBool("Parity.Replace", p.Replace()));
    p.SetReplaceChar(readChar("Parity.ReplaceChar", p.ReplaceChar()));
  }
  if (groups.contains(sgBuffer)) {
    auto& b = port.Buffer();
    b.SetOutputSize(in.Integer("Buffer.OutputSize", b.OutputSize()));
    b.SetInputSize(in.Integer("Buffer.InputSize", b.InputSize()));
  }
  if (groups.contains(sgTimeouts)) {
    auto& t = port.Timeouts();
    t.SetReadInterval(in.Integer("Timeouts.ReadInterval", t.ReadInterval()));
    t.SetReadTotalConstant(in.Integer("Timeouts.ReadTotalConstant", t.ReadTotalConstant()));
    t.SetReadTotalMultiplier(in.Integer("Timeouts.ReadTotalMultiplier", t.ReadTotalMultiplier()));
    t.SetWriteTotalConstant(in.Integer("Timeouts.WriteTotalConstant", t.WriteTotalConstant()));
    t.SetWriteTotalMultiplier(in.Integer("Timeouts.WriteTotalMultiplier", t.WriteTotalMultiplier()));
  }
  if (groups.contains(sgFlowControl)) {
    auto& f = port.FlowControl();
    f.SetControlRTS(TextToRTS(in.Text("FlowControl.ControlRTS", RTSToText(f.ControlRTS()))));
    f.SetControlDTR(TextToDTR(in.Text("FlowControl.ControlDTR", DTRToText(f.ControlDTR()))));
    f.SetDSRSensitivity(readBool("FlowControl.DSRSensitivity", f.DSRSensitivity()));
    f.SetOutCTSFlow(readBool("FlowControl.OutCTSFlow", f.OutCTSFlow()));
    f.SetOutDSRFlow(readBool("FlowControl.OutDSRFlow", f.OutDSRFlow()));
    f.SetTxContinueOnXoff(readBool("FlowControl.TxContinueOnXoff", f.TxContinueOnXoff()));
    f.SetXonXoffIn(readBool("FlowControl.XonXoffIn", f.XonXoffIn()));
    f.SetXonXoffOut(readBool("FlowControl.XonXoffOut", f.XonXoffOut()));
    f.SetXoffChar(readChar("FlowControl.XoffChar", f.XoffChar()));
    f.SetXonChar(readChar("FlowControl.XonChar", f.XonChar()));
  }
}

}  // namespace

void TCustomComPort::StoreToRegistry(TRegistry& Reg) {
  RegistrySink sink(Reg);
  StoreGroups(*this, sink);
}

void TCustomComPort::StoreToIniFile(TIniFile& IniFile) {
  IniSink sink(IniFile, ComponentName(*this));
  StoreGroups(*this, sink);
}

void TCustomComPort::LoadFromRegistry(TRegistry& Reg) {
  RegistrySource source(Reg);
  LoadGroups(*this, source);
}

void TCustomComPort::LoadFromIniFile(TIniFile& IniFile) {
  IniSource source(IniFile, ComponentName(*this));
  LoadGroups(*this, source);
}

void TCustomComPort::SaveSettings(TStorageKind StoreType, const std::string& StoreTo) {
  // Whatever fails is reported as one error; values written before it stay written.
  try {
    if (StoreType == skRegistry) {
      TRegistry reg;
      OpenLocation(reg, StoreTo, ComponentName(*this));
      StoreToRegistry(reg);
    } else if (StoreType == skIniFile) {
      TIniFile ini(StoreTo);
      StoreToIniFile(ini);
    } else {
      throw std::invalid_argument("unknown storage kind");
    }
  } catch (const std::exception& e) {
    throw EComPort(16, EComPort::kNoWinCode, e.what());
  } catch (...) {
    throw EComPort(16);
  }
}

void TCustomComPort::RestoreSettings(TStorageKind StoreType, const std::string& StoreFrom) {
  // One bracket, closed also when loading fails, so that an open port takes
  // the loaded values once and the bracket count is never left raised.
  bool failed = false;
  std::string cause;
  const auto fail = [&](const std::exception* e) {
    if (!failed && e) cause = e->what();
    failed = true;
  };
  BeginUpdate();
  try {
    if (StoreType == skRegistry) {
      TRegistry reg;
      OpenLocation(reg, StoreFrom, ComponentName(*this));
      LoadFromRegistry(reg);
    } else if (StoreType == skIniFile) {
      TIniFile ini(StoreFrom);
      LoadFromIniFile(ini);
    } else {
      failed = true;
    }
  } catch (const std::exception& e) {
    fail(&e);
  } catch (...) {
    fail(nullptr);
  }
  try {
    EndUpdate();
  } catch (const std::exception& e) {
    fail(&e);
  } catch (...) {
    fail(nullptr);
  }
  if (failed) throw EComPort(17, EComPort::kNoWinCode, cause);
}
