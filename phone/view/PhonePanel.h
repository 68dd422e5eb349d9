#pragma once
// The phone view's window beside the workshop view: the page's QR code, large,
// its address as text, how many phones are connected, "alle trennen", and the
// choice of this machine's address the page is offered on. It follows the
// server (a new code after each pairing) and acts on it only by DisconnectAll;
// the owner starts, moves and stops the server.
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "PhoneAddress.h"
#include "PhoneTexts.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace qv::phone {

class PhoneServer;
class QrCodeWidget;

class PhonePanel : public QWidget {
 public:
  // `server` must outlive the panel.
  PhonePanel(PhoneServer& server, Language lang, QWidget* parent = nullptr);

  void SetLanguage(Language lang);
  // The addresses offered, and the one in use (added when it is not among them).
  void SetAddresses(const std::vector<AddressChoice>& choices, const QString& current);
  // Why the server is not running, shown in place of the code; "" for none.
  void ShowError(const QString& text);

  // The user chose another address (its text, e.g. "192.168.1.20").
  std::function<void(const QString& ip)> OnAddressChosen;
  // The user closed the window: the phone view is to be switched off.
  std::function<void()> OnClosed;

  [[nodiscard]] const QrCodeWidget& Code() const { return *code_; }
  [[nodiscard]] QString AddressText() const;
  [[nodiscard]] QString PhonesText() const;
  [[nodiscard]] QString ErrorText() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Follow();
  void FillTexts();
  [[nodiscard]] QString T(TextId id) const;

  PhoneServer& server_;
  Language lang_;
  std::vector<AddressChoice> choices_;
  QString error_;
  QrCodeWidget* code_ = nullptr;
  QLabel* hint_ = nullptr;
  QLabel* address_ = nullptr;
  QLabel* phones_ = nullptr;
  QLabel* choice_label_ = nullptr;
  QComboBox* choice_ = nullptr;
  QPushButton* disconnect_ = nullptr;
};

}  // namespace qv::phone
