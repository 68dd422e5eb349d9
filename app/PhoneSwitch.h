#pragma once
// The phone view in the program: the workshop view's switch "Telefon" starts
// the server on one of this machine's addresses and opens the window with its
// QR code; switching off, closing that window or the workshop view, and the
// program's end stop it, closing every connection at once. The view's shown
// reading is handed to the server whenever it changes.
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PhoneAddress.h"
#include "PhoneTexts.h"

namespace qv::phone {
class PhonePanel;
class PhoneServer;
}  // namespace qv::phone

namespace qv::workshop {
class TWorkshopView;
}

namespace qv {

class PhoneSwitch : public QObject {
 public:
  // Where the machine's interfaces and route table come from (tests give made-up ones).
  struct Network {
    std::function<std::vector<phone::NetInterface>()> interfaces;
    std::function<std::string()> routes;
  };

  // `server` must outlive this; it is subscribed to the session by the owner.
  PhoneSwitch(phone::PhoneServer& server, Language lang);
  ~PhoneSwitch() override;

  void SetNetwork(Network network) { network_ = std::move(network); }
  // The address to use when switched on: "" for the default route's interface's.
  void SetWanted(const QString& address) { wanted_ = address; }

  // Joins the switch to the workshop view (once it is made).
  void Attach(workshop::TWorkshopView& view);

  // Starts the server and shows the window; false with `error` set (in the
  // program's language) when there is no address or the server cannot listen.
  bool On(QString* error = nullptr);
  void Off();
  [[nodiscard]] bool IsOn() const { return on_; }
  [[nodiscard]] phone::PhonePanel* Panel() const { return panel_.get(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  [[nodiscard]] std::optional<QHostAddress> Resolve(const QString& wanted, QString* error) const;
  bool StartAt(const QHostAddress& address, QString* error);
  void Choose(const QString& ip);
  void ShowState();

  phone::PhoneServer& server_;
  Language lang_;
  Network network_;
  QString wanted_;
  QString current_;  // the address listened on
  bool on_ = false;
  QPointer<workshop::TWorkshopView> view_;
  std::unique_ptr<phone::PhonePanel> panel_;
};

}  // namespace qv
