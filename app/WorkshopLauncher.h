#pragma once
// The workshop view beside the main window: the menu "Ansicht" with
// "&Werkstattansicht" (F11) right of the window's three menus, the view made
// at its first opening and raised at every further one, and closed with the
// main window. The view's readings come from the session (a scan or a
// replay); it writes nothing of the window's, the port's or their stores. While the view is open its "reconnect" setting switches the
// window's reconnecting on; closed (or never opened) it is off, as without it.
#include <QObject>
#include <functional>
#include <memory>

#include "UsbAdapters.h"

class QAction;
class QMenu;
class TForm1;

namespace qv {
struct CommandLine;
}

namespace qv::session {
class Session;
}

namespace qv::workshop {
class SessionLook;
class TWorkshopView;
class WorkshopSource;
class ViewSettingsStore;
}  // namespace qv::workshop

namespace qv {

class WorkshopLauncher : public QObject {
  Q_OBJECT

 public:
  // The calculation behind the view and where its settings are kept (may be
  // null), made when the view first opens; both may be one object.
  struct Backend {
    std::shared_ptr<workshop::WorkshopSource> source;
    std::shared_ptr<workshop::ViewSettingsStore> store;
  };
  using SourceFactory = std::function<Backend()>;

  // Adds the menu to `form`'s menu bar; the launcher is a child of the form.
  // The session must outlive the view's use of it: the launcher's owner
  // closes the view (DropView) before the session goes.
  WorkshopLauncher(TForm1& form, session::Session& session, SourceFactory makeSource);
  ~WorkshopLauncher() override;

  // Opens the view (made on first use) or raises it.
  void Open();
  // Closes and destroys the view, letting go of the session.
  void DropView();
  // The view once opened, else nullptr.
  [[nodiscard]] workshop::TWorkshopView* View() const { return view_.get(); }
  // Where reconnecting looks for the device (tests give a fake /sys and /dev).
  void SetReconnectRoots(usb::TUsbRoots roots) { reconnect_roots_ = std::move(roots); }
  // Called once the view is made, before it is first shown.
  std::function<void(workshop::TWorkshopView&)> OnViewMade;
  QMenu* Menu = nullptr;
  QAction* Werkstattansicht1 = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Reconnecting on while the view is open and its setting is on, else off.
  void FollowReconnect(bool viewOpen);
  // Where the view first opens: clear of the main window's controls (WorkshopPlacement.h).
  void Place();

  TForm1& form_;
  session::Session& session_;
  SourceFactory make_source_;
  std::unique_ptr<workshop::SessionLook> look_;
  Backend backend_;
  usb::TUsbRoots reconnect_roots_;
  std::unique_ptr<workshop::TWorkshopView> view_;
};

// Joins the view to a shown main window; with --workshop it opens at once.
WorkshopLauncher* AttachWorkshopView(TForm1& form, session::Session& session, const CommandLine& cl,
                                     WorkshopLauncher::SourceFactory makeSource);

}  // namespace qv
