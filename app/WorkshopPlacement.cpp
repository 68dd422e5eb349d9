#include "WorkshopPlacement.h"

#include <algorithm>
#include <array>
#include <span>

namespace qv {

namespace {

enum class Side { kRight, kLeft, kBelow };

struct Room {
  QRect area;  // where the view may lie
  Side side;
};

// The view in `room`: as large as wanted where it fits, as near the main
// window as it can be, and along it.
QRect Fit(const Room& room, const QRect& main, QSize wanted) {
  const QRect& a = room.area;
  const QSize size = wanted.boundedTo(a.size());
  auto clamp = [](int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); };
  QPoint at;
  switch (room.side) {
    case Side::kRight: at = {a.left(), clamp(main.top(), a.top(), a.bottom() + 1 - size.height())}; break;
    case Side::kLeft:
      at = {a.right() + 1 - size.width(), clamp(main.top(), a.top(), a.bottom() + 1 - size.height())};
      break;
    case Side::kBelow:
      at = {clamp(main.center().x() - size.width() / 2, a.left(), a.right() + 1 - size.width()), a.top()};
      break;
  }
  return {at, size};
}

}  // namespace

WorkshopPlace PlaceWorkshopView(const QRect& mainFrame, const QRect& available, const WorkshopPlacementSizes& sizes) {
  const QRect& s = available;
  const int g = sizes.gap;
  const int controlsBottom = mainFrame.top() + sizes.controlsHeight;  // the first line below the controls
  const std::array<Room, 4> rooms = {{
      {QRect(QPoint(mainFrame.right() + 1 + g, s.top()), s.bottomRight()), Side::kRight},
      {QRect(s.topLeft(), QPoint(mainFrame.left() - 1 - g, s.bottom())), Side::kLeft},
      {QRect(QPoint(s.left(), mainFrame.bottom() + 1 + g), s.bottomRight()), Side::kBelow},
      // Over the main window's charts, which go on drawing below it.
      {QRect(QPoint(s.left(), controlsBottom + g), s.bottomRight()), Side::kBelow},
  }};
  // Beside or below the main window first, where the view covers none of it;
  // only then over its charts.
  const auto area = [](const QRect& q) { return static_cast<long long>(q.width()) * q.height(); };
  for (const auto& tier : {std::span(rooms).first(3), std::span(rooms).last(1)}) {
    QRect best;
    for (const Room& room : tier) {
      if (room.area.width() < sizes.minimum.width() || room.area.height() < sizes.minimum.height()) continue;
      const QRect r = Fit(room, mainFrame, sizes.wanted);
      if (r.size() == sizes.wanted) return {false, r};
      if (area(r) > area(best)) best = r;
    }
    if (best.isValid()) return {false, best};
  }
  return {true, available};
}

}  // namespace qv
