#include "PhonePanel.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "PhoneServer.h"
#include "QrCodeWidget.h"

namespace qv::phone {

using enum TextId;

PhonePanel::PhonePanel(PhoneServer& server, Language lang, QWidget* parent)
    : QWidget(parent, Qt::Window), server_(server), lang_(lang) {
  setObjectName(QStringLiteral("PhonePanel"));
  hint_ = new QLabel(this);
  hint_->setObjectName(QStringLiteral("PhoneScanHint"));
  hint_->setAlignment(Qt::AlignCenter);
  code_ = new QrCodeWidget(this);
  code_->setObjectName(QStringLiteral("PhoneCode"));
  address_ = new QLabel(this);
  address_->setObjectName(QStringLiteral("PhoneAddress"));
  address_->setAlignment(Qt::AlignCenter);
  address_->setWordWrap(true);
  // Readable from a step away, and copied by keyboard or mouse.
  address_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QFont big = address_->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  big.setBold(true);
  address_->setFont(big);
  phones_ = new QLabel(this);
  phones_->setObjectName(QStringLiteral("PhoneCount"));
  phones_->setAlignment(Qt::AlignCenter);
  choice_label_ = new QLabel(this);
  choice_ = new QComboBox(this);
  choice_->setObjectName(QStringLiteral("PhoneAddressChoice"));
  choice_label_->setBuddy(choice_);
  disconnect_ = new QPushButton(this);
  disconnect_->setObjectName(QStringLiteral("PhoneDisconnectAll"));

  auto* row = new QHBoxLayout;
  row->addWidget(choice_label_);
  row->addWidget(choice_, 1);
  row->addWidget(disconnect_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(hint_);
  layout->addWidget(code_, 1);
  layout->addWidget(address_);
  layout->addWidget(phones_);
  layout->addLayout(row);
  setTabOrder(choice_, disconnect_);
  setTabOrder(disconnect_, address_);

  connect(disconnect_, &QPushButton::clicked, this, [this] { server_.DisconnectAll(); });
  connect(choice_, &QComboBox::activated, this, [this](int index) {
    if (OnAddressChosen) OnAddressChosen(choice_->itemData(index).toString());
  });
  connect(&server_, &PhoneServer::UrlChanged, this, [this] { Follow(); });
  connect(&server_, &PhoneServer::PhonesChanged, this, [this] { Follow(); });
  FillTexts();
  resize(460, 640);
}

QString PhonePanel::T(TextId id) const { return QString::fromUtf8(Text(id, lang_)); }

void PhonePanel::SetLanguage(Language lang) {
  lang_ = lang;
  FillTexts();
}

void PhonePanel::FillTexts() {
  setWindowTitle(QStringLiteral("QUORVEL ") + T(kPanelTitle));
  hint_->setText(T(kScanHint));
  code_->setAccessibleName(T(kCodeName));
  choice_label_->setText(T(kAddressLabel));
  choice_->setToolTip(T(kAddressTip));
  choice_->setAccessibleName(QString(T(kAddressLabel)).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
  disconnect_->setText(T(kDisconnectAll));
  disconnect_->setToolTip(T(kDisconnectTip));
  const QString current = choice_->currentData().toString();
  SetAddresses(choices_, current);
  Follow();
}

void PhonePanel::SetAddresses(const std::vector<AddressChoice>& choices, const QString& current) {
  choices_ = choices;
  const bool known = current.isEmpty() || std::any_of(choices.begin(), choices.end(), [&](const AddressChoice& c) {
                       return QString::fromStdString(c.ip) == current;
                     });
  if (!known) choices_.insert(choices_.begin(), AddressChoice{current.toStdString(), {}, false});
  const QSignalBlocker block(choice_);
  choice_->clear();
  for (const AddressChoice& c : choices_) {
    QString label = QString::fromStdString(c.ip);
    QStringList notes;
    if (!c.interfaceName.empty()) notes << QString::fromStdString(c.interfaceName);
    if (c.loopback) notes << T(kThisComputerOnly);
    if (!notes.isEmpty()) label += QStringLiteral(" (") + notes.join(QStringLiteral(", ")) + QStringLiteral(")");
    choice_->addItem(label, QString::fromStdString(c.ip));
  }
  choice_->setCurrentIndex(std::max(0, choice_->findData(current)));
}

void PhonePanel::ShowError(const QString& text) {
  error_ = text;
  Follow();
}

void PhonePanel::Follow() {
  const bool on = server_.Running();
  code_->SetText(on ? server_.Url() : QString());
  code_->setAccessibleDescription(on ? server_.Url() : QString());
  address_->setText(on ? server_.Url() : error_);
  phones_->setText(QString::fromStdString(Format(kPhonesConnected, lang_, {std::to_string(server_.Phones())})));
  phones_->setVisible(on);
  disconnect_->setEnabled(on);
}

QString PhonePanel::AddressText() const { return address_->text(); }
QString PhonePanel::PhonesText() const { return phones_->text(); }
QString PhonePanel::ErrorText() const { return error_; }

void PhonePanel::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (OnClosed) OnClosed();
}

}  // namespace qv::phone
