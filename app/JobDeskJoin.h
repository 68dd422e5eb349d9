#pragma once
// The job on record joined to the workshop view: its panel docked beside the
// picture and fed the readings the view shows, "Vorher", "Nachher",
// "Bericht", the panel and the history window in the view's menu "Weitere",
// reports opened with the desktop's viewer.
namespace qv::workshop {
class TWorkshopView;
}

namespace qv::session {
class Session;
}

namespace qv {

// The session must outlive the view; the panel and the window go with it.
void JoinJobDesk(workshop::TWorkshopView& view, session::Session& session);

}  // namespace qv
