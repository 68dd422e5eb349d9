#pragma once
// Drop-down lists bound to one basic setting of a port: TComComboBox shows the
// names of the setting's values, selects the port's current one, and writes
// the user's choice into the port when asked to (or at once with AutoApply).
// TComSelect is the plain part behind each list: the pending value and the link.
#include <QComboBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <string>
#include <utility>

#include "CPort.h"
#include "CPortTypes.h"
#include "PortChoices.h"

// The port property a list is bound to.
enum TComProperty : int { cpNone, cpPort, cpBaudRate, cpDataBits, cpStopBits, cpParity, cpFlowControl };

namespace qv {
// The item texts of a list for the property, in the order of its values; the
// port list comes from ports and passes its error (EComPort 23) on.
[[nodiscard]] QStringList ComPropertyItems(TComProperty property, const PortChoiceSource& ports = {});
}  // namespace qv

// The choice of one list: its pending values, the property it stands for, the
// (not owned) port and items it works on, and where a port list's entries come from.
class TComSelect {
 public:
  explicit TComSelect(QComboBox& items, qv::PortChoiceSource ports = {}) : items_(&items), ports_(std::move(ports)) {}
  TComSelect(const TComSelect&) = delete;
  TComSelect& operator=(const TComSelect&) = delete;

  // Stores the property and refills the items for it (nothing is selected).
  void SetComProperty(TComProperty value);
  TComProperty ComProperty() const { return property_; }
  void SetComPort(TCustomComPort* value) { port_ = value; }
  TCustomComPort* ComPort() const { return port_.data(); }
  bool AutoApply() const { return auto_apply_; }
  void SetAutoApply(bool value) { auto_apply_ = value; }

  // The linked port's current value of the property as its item text; empty
  // without a port or for cpNone.
  [[nodiscard]] QString CurrentValueText() const;
  // Selects the item of the port's current value (none when it is not
  // listed); a found item's value becomes the pending value.
  void SelectCurrentValue();
  // The user chose the item with this text: it becomes the pending value, and
  // with AutoApply goes to the port at once.
  void Pick(const QString& text);
  // Writes the pending value into the linked port: nothing without a port or
  // for cpNone, and never an empty port name (a port nobody picked keeps its own).
  void ApplySettings();

  const std::string& PendingPort() const { return port_name_; }
  TBaudRate PendingBaudRate() const { return baud_rate_; }
  TDataBits PendingDataBits() const { return data_bits_; }
  TStopBits PendingStopBits() const { return stop_bits_; }
  TParityBits PendingParity() const { return parity_; }
  TFlowControl PendingFlowControl() const { return flow_control_; }

 private:
  void SetPending(const QString& text);

  std::string port_name_;
  TBaudRate baud_rate_ = brCustom;
  TDataBits data_bits_ = dbFive;
  TStopBits stop_bits_ = sbOneStopBit;
  TParityBits parity_ = prNone;
  TFlowControl flow_control_ = fcHardware;
  QComboBox* items_;
  qv::PortChoiceSource ports_;
  TComProperty property_ = cpNone;
  QPointer<TCustomComPort> port_;
  bool auto_apply_ = false;
};

// A drop-down list (never editable) of one port property's values.
class TComComboBox : public QComboBox {
  Q_OBJECT

 public:
  static constexpr int kItemHeight = 13;

  // As a port list, it shows the entries ports gives (by default the system's).
  explicit TComComboBox(QWidget* parent = nullptr, qv::PortChoiceSource ports = {});
  ~TComComboBox() override;

  // The list only offers its items; typing is not possible.
  void setEditable(bool) = delete;

  TCustomComPort* ComPort() const { return select_.ComPort(); }
  // Links the port (when it differs) and selects the item of its current value;
  // the link is dropped when the port is destroyed.
  void SetComPort(TCustomComPort* value);
  TComProperty ComProperty() const { return select_.ComProperty(); }
  // Fills the list for the property and selects the port's current value, or
  // the first item when no port is linked.
  void SetComProperty(TComProperty value);
  bool AutoApply() const { return select_.AutoApply(); }
  void SetAutoApply(bool value) { select_.SetAutoApply(value); }
  // The selected item's text, empty when none is selected.
  QString Text() const;
  // Selects the first item equal to value without regard to case; nothing
  // happens when there is none.
  void SetText(const QString& value);

  // Selects the item of the linked port's current value (none when unlisted).
  void SelectCurrentValue();
  // Writes the pending value into the linked port.
  void ApplySettings() { select_.ApplySettings(); }

  const TComSelect& Selector() const { return select_; }

 signals:
  // The user picked an item and its value is pending (and applied, with AutoApply).
  void Change();

 private:
  void ItemPicked(int index);
  void PortDestroyed();

  TComSelect select_;
  QMetaObject::Connection port_link_;
};
