#pragma once
// The workshop view beside the main window: the menu "Ansicht" with
// "&Werkstattansicht" (F11) right of the window's three menus, the view made
// at its first opening and raised at every further one, and closed with the
// main window. The view reads the window's measurement state and port; it
// writes neither. While the view is open its "reconnect" setting switches the
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

namespace qv::workshop {
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
  WorkshopLauncher(TForm1& form, SourceFactory makeSource);
  ~WorkshopLauncher() override;

  // Opens the view (made on first use) or raises it.
  void Open();
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
  SourceFactory make_source_;
  Backend backend_;
  usb::TUsbRoots reconnect_roots_;
  std::unique_ptr<workshop::TWorkshopView> view_;
};

// Joins the view to a shown main window; with --workshop it opens at once.
WorkshopLauncher* AttachWorkshopView(TForm1& form, const CommandLine& cl, WorkshopLauncher::SourceFactory makeSource);

}  // namespace qv
