// The port's settings kept in a registry key or an ini file section: the
// groups in StoredGroups(), written and read in one fixed order (basic, others,
// parity, buffer, time-outs, flow control) whatever their bit numbers.
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

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

using Port = TCustomComPort;

// One stored value of the port: its group, its name, and how it is made from
// and applied to the port, as text or as integer. Storing and loading both go
// through this table, in its order.
struct StoredValue {
  TStoredGroup group;
  const char* name;
  std::string (*text)(const Port&) = nullptr;  // text values
  void (*setText)(Port&, const std::string&) = nullptr;
  int (*number)(const Port&) = nullptr;  // integer values
  void (*setNumber)(Port&, int) = nullptr;
  // Stored only when this holds for the port (after the values before it are loaded).
  bool (*applies)(const Port&) = nullptr;
  // The default for a missing integer instead of the current value.
  std::optional<int> missing = std::nullopt;
};

StoredValue Text(TStoredGroup g, const char* name, std::string (*text)(const Port&),
                 void (*setText)(Port&, const std::string&)) {
  return {g, name, text, setText};
}

StoredValue Number(TStoredGroup g, const char* name, int (*number)(const Port&), void (*setNumber)(Port&, int),
                   bool (*applies)(const Port&) = nullptr, std::optional<int> missing = std::nullopt) {
  return {g, name, nullptr, nullptr, number, setNumber, applies, missing};
}

// Groups in the fixed order basic, others, parity, buffer, time-outs, flow control.
const std::vector<StoredValue>& StoredValues() {
  using S = const std::string&;
  static const std::vector<StoredValue> values{
      Text(
          sgBasic, "Port", [](const Port& p) { return p.Port(); }, [](Port& p, S t) { p.SetPort(t); }),
      Text(
          sgBasic, "BaudRate", [](const Port& p) { return BaudRateToText(p.BaudRate()); },
          [](Port& p, S t) { p.SetBaudRate(TextToBaudRate(t)); }),
      // The custom rate counts only with the custom baud rate; a missing one
      // loads as the component's default rather than as the current value.
      Number(
          sgBasic, "CustomBaudRate", [](const Port& p) { return int{p.CustomBaudRate()}; },
          [](Port& p, int n) { p.SetCustomBaudRate(n); }, [](const Port& p) { return p.BaudRate() == brCustom; },
          kDefaultCustomBaudRate),
      Text(
          sgBasic, "StopBits", [](const Port& p) { return StopBitsToText(p.StopBits()); },
          [](Port& p, S t) { p.SetStopBits(TextToStopBits(t)); }),
      Text(
          sgBasic, "DataBits", [](const Port& p) { return DataBitsToText(p.DataBits()); },
          [](Port& p, S t) { p.SetDataBits(TextToDataBits(t)); }),
      Text(
          sgBasic, "Parity", [](const Port& p) { return ParityToText(p.Parity().Bits()); },
          [](Port& p, S t) { p.Parity().SetBits(TextToParity(t)); }),
      // fcCustom (also what an unknown text gives) leaves the flow-control fields alone.
      Text(
          sgBasic, "FlowControl", [](const Port& p) { return FlowControlToText(p.FlowControl().FlowControl()); },
          [](Port& p, S t) { p.FlowControl().SetFlowControl(TextToFlowControl(t)); }),
      Text(
          sgOthers, "EventChar", [](const Port& p) { return CharToText(p.EventChar()); },
          [](Port& p, S t) { p.SetEventChar(TextToChar(t)); }),
      Text(
          sgOthers, "DiscardNull", [](const Port& p) { return BoolToText(p.DiscardNull()); },
          [](Port& p, S t) { p.SetDiscardNull(TextToBool(t)); }),
      Text(
          sgParity, "Parity.Check", [](const Port& p) { return BoolToText(p.Parity().Check()); },
          [](Port& p, S t) { p.Parity().SetCheck(TextToBool(t)); }),
      Text(
          sgParity, "Parity.Replace", [](const Port& p) { return BoolToText(p.Parity().Replace()); },
          [](Port& p, S t) { p.Parity().SetReplace(TextToBool(t)); }),
      Text(
          sgParity, "Parity.ReplaceChar", [](const Port& p) { return CharToText(p.Parity().ReplaceChar()); },
          [](Port& p, S t) { p.Parity().SetReplaceChar(TextToChar(t)); }),
      Number(
          sgBuffer, "Buffer.OutputSize", [](const Port& p) { return int{p.Buffer().OutputSize()}; },
          [](Port& p, int n) { p.Buffer().SetOutputSize(n); }),
      Number(
          sgBuffer, "Buffer.InputSize", [](const Port& p) { return int{p.Buffer().InputSize()}; },
          [](Port& p, int n) { p.Buffer().SetInputSize(n); }),
      Number(
          sgTimeouts, "Timeouts.ReadInterval", [](const Port& p) { return int{p.Timeouts().ReadInterval()}; },
          [](Port& p, int n) { p.Timeouts().SetReadInterval(n); }),
      Number(
          sgTimeouts, "Timeouts.ReadTotalConstant", [](const Port& p) { return int{p.Timeouts().ReadTotalConstant()}; },
          [](Port& p, int n) { p.Timeouts().SetReadTotalConstant(n); }),
      Number(
          sgTimeouts, "Timeouts.ReadTotalMultiplier",
          [](const Port& p) { return int{p.Timeouts().ReadTotalMultiplier()}; },
          [](Port& p, int n) { p.Timeouts().SetReadTotalMultiplier(n); }),
      Number(
          sgTimeouts, "Timeouts.WriteTotalConstant",
          [](const Port& p) { return int{p.Timeouts().WriteTotalConstant()}; },
          [](Port& p, int n) { p.Timeouts().SetWriteTotalConstant(n); }),
      Number(
          sgTimeouts, "Timeouts.WriteTotalMultiplier",
          [](const Port& p) { return int{p.Timeouts().WriteTotalMultiplier()}; },
          [](Port& p, int n) { p.Timeouts().SetWriteTotalMultiplier(n); }),
      Text(
          sgFlowControl, "FlowControl.ControlRTS",
          [](const Port& p) { return RTSToText(p.FlowControl().ControlRTS()); },
          [](Port& p, S t) { p.FlowControl().SetControlRTS(TextToRTS(t)); }),
      Text(
          sgFlowControl, "FlowControl.ControlDTR",
          [](const Port& p) { return DTRToText(p.FlowControl().ControlDTR()); },
          [](Port& p, S t) { p.FlowControl().SetControlDTR(TextToDTR(t)); }),
      Text(
          sgFlowControl, "FlowControl.DSRSensitivity",
          [](const Port& p) { return BoolToText(p.FlowControl().DSRSensitivity()); },
          [](Port& p, S t) { p.FlowControl().SetDSRSensitivity(TextToBool(t)); }),
      Text(
          sgFlowControl, "FlowControl.OutCTSFlow",
          [](const Port& p) { return BoolToText(p.FlowControl().OutCTSFlow()); },
          [](Port& p, S t) { p.FlowControl().SetOutCTSFlow(TextToBool(t)); }),
      Text(
          sgFlowControl, "FlowControl.OutDSRFlow",
          [](const Port& p) { return BoolToText(p.FlowControl().OutDSRFlow()); },
          [](Port& p, S t) { p.FlowControl().SetOutDSRFlow(TextToBool(t)); }),
      Text(
          sgFlowControl, "FlowControl.TxContinueOnXoff",
          [](const Port& p) { return BoolToText(p.FlowControl().TxContinueOnXoff()); },
          [](Port& p, S t) { p.FlowControl().SetTxContinueOnXoff(TextToBool(t)); }),
      Text(
          sgFlowControl, "FlowControl.XonXoffIn", [](const Port& p) { return BoolToText(p.FlowControl().XonXoffIn()); },
          [](Port& p, S t) { p.FlowControl().SetXonXoffIn(TextToBool(t)); }),
      Text(
          sgFlowControl, "FlowControl.XonXoffOut",
          [](const Port& p) { return BoolToText(p.FlowControl().XonXoffOut()); },
          [](Port& p, S t) { p.FlowControl().SetXonXoffOut(TextToBool(t)); }),
      Text(
          sgFlowControl, "FlowControl.XoffChar", [](const Port& p) { return CharToText(p.FlowControl().XoffChar()); },
          [](Port& p, S t) { p.FlowControl().SetXoffChar(TextToChar(t)); }),
      Text(
          sgFlowControl, "FlowControl.XonChar", [](const Port& p) { return CharToText(p.FlowControl().XonChar()); },
          [](Port& p, S t) { p.FlowControl().SetXonChar(TextToChar(t)); }),
  };
  return values;
}

void StoreGroups(const TCustomComPort& port, SettingsSink& out) {
  const auto groups = port.StoredGroups();
  for (const StoredValue& value : StoredValues()) {
    if (!groups.contains(value.group) || (value.applies && !value.applies(port))) continue;
    if (value.text)
      out.Text(value.name, value.text(port));
    else
      out.Integer(value.name, value.number(port));
  }
}

// Each value is set through its setter right after it is read, so that a
// failure keeps what was set before it. The defaults are the current values,
// so a key missing from an ini file leaves its property as it is.
void LoadGroups(TCustomComPort& port, SettingsSource& in) {
  const auto groups = port.StoredGroups();
  for (const StoredValue& value : StoredValues()) {
    if (!groups.contains(value.group) || (value.applies && !value.applies(port))) continue;
    if (value.text)
      value.setText(port, in.Text(value.name, value.text(port)));
    else
      value.setNumber(port, in.Integer(value.name, value.missing.value_or(value.number(port))));
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
