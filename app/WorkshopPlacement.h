#pragma once
// Where the workshop view opens first: beside the main window where the
// screen has room, so that it covers none of the main window's controls (its
// menu bar and the top panel with Start Scan and Stop Scan), else maximised.
// Only rectangles in, a rectangle out: the caller measures the windows.
#include <QRect>
#include <QSize>

namespace qv {

struct WorkshopPlacementSizes {
  QSize wanted{1024, 640};  // the view's outer size, frame included
  QSize minimum{640, 400};  // the smallest outer size worth opening at
  int controlsHeight = 0;   // from the top of the main window's frame to the bottom of its top panel
  int gap = 8;              // between the two windows
};

struct WorkshopPlace {
  bool maximise = false;
  QRect frame;  // the view's outer rectangle when not maximised
  bool operator==(const WorkshopPlace&) const = default;
};

// Right of the main window, left of it or below it: the first that takes the
// wanted size, else the largest that takes at least the minimum; failing
// those, below its controls over its charts; else maximised. `available` is
// the screen without its panels.
[[nodiscard]] WorkshopPlace PlaceWorkshopView(const QRect& mainFrame, const QRect& available,
                                              const WorkshopPlacementSizes& sizes);

}  // namespace qv
