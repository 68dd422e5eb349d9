#include "CPortCtl.h"

#include <QAbstractItemView>
#include <QStyledItemDelegate>
#include <exception>
#include <filesystem>
#include <iostream>
#include <utility>

#include "CPortText.h"
#include "DevicePath.h"
#include "PortChoices.h"

namespace {

template <std::size_t N>
QStringList Texts(const std::array<std::string_view, N>& names) {
  QStringList out;
  for (std::string_view n : names) out << QString::fromUtf8(n.data(), static_cast<qsizetype>(n.size()));
  return out;
}

// Every row of the drop-down list has the same fixed height.
class FixedHeightDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), TComComboBox::kItemHeight};
  }
};

}  // namespace

namespace qv {

QStringList ComPropertyItems(TComProperty property, const PortChoiceSource& ports) {
  switch (property) {
    case cpPort: {
      std::vector<std::string> names;
      ports.List(names);
      QStringList out;
      for (const auto& p : names) out << QString::fromStdString(p);
      return out;
    }
    case cpBaudRate: return Texts(kBaudRateTexts);
    case cpDataBits: return Texts(kDataBitsTexts);
    case cpStopBits: return Texts(kStopBitsTexts);
    case cpParity: return Texts(kParityTexts);
    case cpFlowControl: return Texts(kFlowControlTexts);
    case cpNone: break;
  }
  return {};
}

}  // namespace qv

// TComSelect ------------------------------------------------------------------

namespace {

// Each port entry says in its tooltip what it is; the entry's text stays the name.
void DescribePorts(QComboBox& items, const qv::PortChoiceSource& ports) {
  for (int i = 0; i < items.count(); ++i) {
    const std::string tip = ports.Describe(items.itemText(i).toStdString());
    if (!tip.empty()) items.setItemData(i, QString::fromStdString(tip), Qt::ToolTipRole);
  }
}

}  // namespace

void TComSelect::SetComProperty(TComProperty value) {
  property_ = value;
  // Listed first, so that a failing port list leaves the items as they were.
  const QStringList items = qv::ComPropertyItems(value, ports_);
  items_->clear();
  items_->addItems(items);
  if (value == cpPort) DescribePorts(*items_, ports_);
}

QString TComSelect::CurrentValueText() const {
  const TCustomComPort* p = port_.data();
  if (p == nullptr) return {};
  switch (property_) {
    case cpPort: return QString::fromStdString(p->Port());
    case cpBaudRate: return QString::fromStdString(BaudRateToText(p->BaudRate()));
    case cpDataBits: return QString::fromStdString(DataBitsToText(p->DataBits()));
    case cpStopBits: return QString::fromStdString(StopBitsToText(p->StopBits()));
    case cpParity: return QString::fromStdString(ParityToText(p->Parity().Bits()));
    case cpFlowControl: return QString::fromStdString(FlowControlToText(p->FlowControl().FlowControl()));
    case cpNone: break;
  }
  return {};
}

namespace {

// The device a port name stands for, with links resolved ("" when unknown).
std::filesystem::path DeviceOf(const QString& name) {
  std::error_code ec;
  auto path = std::filesystem::weakly_canonical(qv::DevicePathForPort(name.toStdString()), ec);
  return ec ? std::filesystem::path() : path;
}

// The item naming the same device as `current` under another name (COM1 for
// /dev/ttyS0, a simulator's announcement link for its /dev/pts/N), or -1.
int FindSameDevice(const QComboBox& items, const QString& current) {
  const auto device = DeviceOf(current);
  if (device.empty()) return -1;
  for (int i = 0; i < items.count(); ++i)
    if (DeviceOf(items.itemText(i)) == device) return i;
  return -1;
}

}  // namespace

void TComSelect::SelectCurrentValue() {
  const QString current = CurrentValueText();
  int index = current.isEmpty() ? -1 : items_->findText(current, Qt::MatchFixedString);
  if (index < 0 && property_ == cpPort && !current.isEmpty()) {
    index = FindSameDevice(*items_, current);
    items_->setCurrentIndex(index);
    // Same device, so the port keeps its own name unless the user picks another.
    if (index >= 0) SetPending(current);
    return;
  }
  items_->setCurrentIndex(index);
  if (index >= 0) SetPending(items_->itemText(index));
}

void TComSelect::Pick(const QString& text) {
  SetPending(text);
  if (auto_apply_) ApplySettings();
}

void TComSelect::SetPending(const QString& text) {
  const std::string t = text.toStdString();
  switch (property_) {
    case cpPort: port_name_ = t; break;
    case cpBaudRate: baud_rate_ = TextToBaudRate(t); break;
    case cpDataBits: data_bits_ = TextToDataBits(t); break;
    case cpStopBits: stop_bits_ = TextToStopBits(t); break;
    case cpParity: parity_ = TextToParity(t); break;
    case cpFlowControl: flow_control_ = TextToFlowControl(t); break;
    case cpNone: break;
  }
}

void TComSelect::ApplySettings() {
  TCustomComPort* p = port_.data();
  if (p == nullptr) return;
  switch (property_) {
    case cpPort:
      // An empty name would leave the port unusable and read as "nothing
      // stored" at the next start.
      if (!port_name_.empty()) p->SetPort(port_name_);
      break;
    case cpBaudRate: p->SetBaudRate(baud_rate_); break;
    case cpDataBits: p->SetDataBits(data_bits_); break;
    case cpStopBits: p->SetStopBits(stop_bits_); break;
    case cpParity: p->Parity().SetBits(parity_); break;
    case cpFlowControl: p->FlowControl().SetFlowControl(flow_control_); break;
    case cpNone: break;
  }
}

// TComComboBox ----------------------------------------------------------------

TComComboBox::TComComboBox(QWidget* parent, qv::PortChoiceSource ports)
    : QComboBox(parent), select_(*this, std::move(ports)) {
  QComboBox::setEditable(false);
  setItemDelegate(new FixedHeightDelegate(this));
  // activated comes from the user only, never from a programmatic selection.
  connect(this, &QComboBox::activated, this, &TComComboBox::ItemPicked);
}

TComComboBox::~TComComboBox() { disconnect(port_link_); }

void TComComboBox::SetComPort(TCustomComPort* value) {
  if (value == select_.ComPort()) return;
  disconnect(port_link_);
  select_.SetComPort(value);
  if (value == nullptr) return;
  port_link_ = connect(value, &QObject::destroyed, this, &TComComboBox::PortDestroyed);
  SelectCurrentValue();
}

void TComComboBox::SetComProperty(TComProperty value) {
  select_.SetComProperty(value);
  if (count() == 0) return;
  if (select_.ComPort() != nullptr)
    SelectCurrentValue();
  else
    setCurrentIndex(0);
}

QString TComComboBox::Text() const { return currentIndex() < 0 ? QString() : itemText(currentIndex()); }

void TComComboBox::SetText(const QString& value) {
  const int index = findText(value, Qt::MatchFixedString);
  if (index >= 0) setCurrentIndex(index);
}

void TComComboBox::SelectCurrentValue() { select_.SelectCurrentValue(); }

void TComComboBox::ItemPicked(int index) {
  if (index < 0) return;
  try {
    select_.Pick(itemText(index));
  } catch (const std::exception& e) {
    // Applying at once failed: reported like any port error, and the change
    // handlers do not run for a choice that did not take.
    if (ComPort())
      ComPort()->ReportError(e);
    else
      std::cerr << e.what() << '\n';
    return;
  }
  emit Change();
}

void TComComboBox::PortDestroyed() {
  port_link_ = {};
  select_.SetComPort(nullptr);
  if (count() > 0) setCurrentIndex(0);
}
