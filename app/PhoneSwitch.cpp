#include "PhoneSwitch.h"

#include <QEvent>

#include "FollowedCylinder.h"
#include "MachineNetwork.h"
#include "PhonePanel.h"
#include "PhoneReading.h"
#include "PhoneServer.h"
#include "TWorkshopView.h"
#include "ToneControls.h"

namespace qv {

using phone::TextId;

namespace {
// The page names no cylinder while the guidance tone is off.
constexpr int kNoToneCylinder = -1;

// The channel the guidance tone follows in this reading, while it is on.
int ToneChannelOf(const workshop::TWorkshopView& view, const workshop::Reading& r) {
  const tone::ToneSettings& tone = view.Tone().Settings();
  return tone.on ? tone::FollowedChannel(r, tone.cylinder) : kNoToneCylinder;
}
}  // namespace

PhoneSwitch::PhoneSwitch(phone::PhoneServer& server, Language lang) : server_(server), lang_(lang) {}

PhoneSwitch::~PhoneSwitch() {
  Off();
  if (view_) {
    view_->removeEventFilter(this);
    view_->OnPhone = nullptr;
  }
}

void PhoneSwitch::Attach(workshop::TWorkshopView& view) {
  view_ = &view;
  view.OnPhone = [this](bool on) {
    if (!on) {
      Off();
      return;
    }
    QString error;
    // Without an address the window still opens: it says why, and offers the choice.
    if (!On(&error)) {
      on_ = true;
      ShowState();
      panel_->ShowError(error);
    }
  };
  view.installEventFilter(this);
  view.SetPhone(on_);
}

std::optional<QHostAddress> PhoneSwitch::Resolve(const QString& wanted, QString* error) const {
  const auto interfaces = network_.interfaces ? network_.interfaces() : phone::MachineInterfaces();
  std::string routes;
  if (wanted.isEmpty()) routes = network_.routes ? network_.routes() : phone::ReadRouteTable();
  return phone::PhoneAddressAmong(wanted, interfaces, routes, lang_, error);
}

bool PhoneSwitch::StartAt(const QHostAddress& address, QString* error) {
  if (server_.Start(address)) {
    QHostAddress bare = address;
    bare.setScopeId(QString());
    current_ = bare.toString();
    if (panel_) panel_->ShowError({});
    return true;
  }
  if (error)
    *error = QString::fromStdString(phone::Format(TextId::kNotStarted, lang_, {server_.Error().toStdString()}));
  return false;
}

bool PhoneSwitch::On(QString* error) {
  if (on_ && server_.Running()) return true;
  QString why;
  const auto address = Resolve(wanted_, &why);
  if (!address) {
    if (error) *error = QString::fromStdString(phone::Format(TextId::kNotStarted, lang_, {why.toStdString()}));
    return false;
  }
  if (!StartAt(*address, error)) return false;
  on_ = true;
  ShowState();
  return true;
}

void PhoneSwitch::Off() {
  const bool was = on_;
  on_ = false;
  server_.Stop();
  if (panel_) panel_->hide();
  if (was) ShowState();
}

void PhoneSwitch::Choose(const QString& ip) {
  if (server_.Running() && ip == current_) return;
  wanted_ = ip;
  QString error;
  const auto address = Resolve(ip, &error);
  if (!address) {
    server_.Stop();
    panel_->ShowError(QString::fromStdString(phone::Format(TextId::kNotStarted, lang_, {error.toStdString()})));
  } else if (!StartAt(*address, &error)) {
    panel_->ShowError(error);
  }
  ShowState();
}

void PhoneSwitch::ShowState() {
  if (view_) {
    view_->SetPhone(on_);
    // The reading follows the view only while the phone view is on; while it
    // is set the view keeps working out its reading when minimised.
    if (on_) {
      view_->OnShown = [this](const workshop::Reading& r) {
        if (view_) server_.SetReading(phone::PhoneReadingOf(r, ToneChannelOf(*view_, r)));
      };
      server_.SetReading(phone::PhoneReadingOf(view_->Shown(), ToneChannelOf(*view_, view_->Shown())));
    } else {
      view_->OnShown = nullptr;
    }
  }
  if (!on_) return;
  if (!panel_) {
    panel_ = std::make_unique<phone::PhonePanel>(server_, lang_);
    panel_->setAttribute(Qt::WA_QuitOnClose, false);
    panel_->OnAddressChosen = [this](const QString& ip) { Choose(ip); };
    panel_->OnClosed = [this] { Off(); };
  }
  const auto interfaces = network_.interfaces ? network_.interfaces() : phone::MachineInterfaces();
  panel_->SetAddresses(phone::AddressChoices(interfaces), current_);
  panel_->show();
  panel_->raise();
}

bool PhoneSwitch::eventFilter(QObject* watched, QEvent* event) {
  // The workshop view closed (not minimised): its reading no longer follows
  // the device, so the phones are let go.
  if (watched == view_ && event->type() == QEvent::Hide && !event->spontaneous() && on_) Off();
  return QObject::eventFilter(watched, event);
}

}  // namespace qv
