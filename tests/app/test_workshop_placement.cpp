// Where the workshop view first opens, on made-up screens: clear of the main
// window's menu bar and top panel wherever the screen has room, beside the
// window before over its charts, and maximised when nothing else will do.
#include <gtest/gtest.h>

#include <QRect>

#include "WorkshopPlacement.h"

namespace {

using qv::PlaceWorkshopView;
using qv::WorkshopPlace;
using qv::WorkshopPlacementSizes;

// The main window's first place: 800 x 600 outside, centred on the screen.
QRect Centred(const QRect& available) {
  QRect main(0, 0, 800, 600);
  main.moveCenter(available.center());
  return main;
}

// Outer sizes with a frame of 2 + 2 by 30 + 2 round the view's 1024 x 640 and 640 x 400.
WorkshopPlacementSizes Sizes() {
  WorkshopPlacementSizes s;
  s.wanted = {1028, 672};
  s.minimum = {644, 432};
  s.controlsHeight = 30 + 22 + 57;  // caption, menu bar, top panel
  return s;
}

QRect Controls(const QRect& main, const WorkshopPlacementSizes& s) {
  return {main.topLeft(), QSize(main.width(), s.controlsHeight)};
}

// What every place must be: on the screen, clear of the controls, between
// the smallest and the wanted size.
void ExpectClear(const WorkshopPlace& p, const QRect& main, const QRect& available, const WorkshopPlacementSizes& s) {
  ASSERT_FALSE(p.maximise);
  EXPECT_TRUE(available.contains(p.frame));
  EXPECT_FALSE(p.frame.intersects(Controls(main, s)));
  EXPECT_GE(p.frame.width(), s.minimum.width());
  EXPECT_GE(p.frame.height(), s.minimum.height());
  EXPECT_LE(p.frame.width(), s.wanted.width());
  EXPECT_LE(p.frame.height(), s.wanted.height());
}

TEST(Placement, WhereEachScreenPutsIt) {
  const WorkshopPlacementSizes s = Sizes();
  // Each screen less a 32-pixel panel at the top.
  // 2560: right of the main window, as tall as wanted, as wide as the room
  // there (872); nothing of the main window covered.
  QRect available(0, 32, 2560, 1408);
  QRect main = Centred(available);
  WorkshopPlace p = PlaceWorkshopView(main, available, s);
  ExpectClear(p, main, available, s);
  EXPECT_EQ(p.frame, QRect(main.right() + 1 + 8, main.top(), 2560 - main.right() - 1 - 8, 672));
  EXPECT_FALSE(p.frame.intersects(main));
  // 1920: no room beside or below; below the controls, over the charts,
  // centred on the main window, at the size wanted.
  available = QRect(0, 32, 1920, 1048);
  main = Centred(available);
  p = PlaceWorkshopView(main, available, s);
  ExpectClear(p, main, available, s);
  EXPECT_EQ(p.frame, QRect(QPoint(main.center().x() - 514, main.top() + s.controlsHeight + 8), s.wanted));
  // 1366: the same, as high as the screen lets it be.
  available = QRect(0, 32, 1366, 736);
  main = Centred(available);
  p = PlaceWorkshopView(main, available, s);
  ExpectClear(p, main, available, s);
  EXPECT_EQ(p.frame.top(), main.top() + s.controlsHeight + 8);
  EXPECT_EQ(p.frame.bottom(), available.bottom());
  EXPECT_EQ(p.frame.width(), s.wanted.width());
}

TEST(Placement, BesideAtFullSizeWinsOverLargerRoomAndLeftServesWhenRightIsFull) {
  const WorkshopPlacementSizes s = Sizes();
  const QRect available(0, 0, 3840, 2160);
  // The main window at the right edge: the view goes left of it, against it.
  QRect main(3840 - 800, 300, 800, 600);
  WorkshopPlace p = PlaceWorkshopView(main, available, s);
  EXPECT_EQ(p.frame, QRect(QPoint(main.left() - 8 - 1028, 300), s.wanted));
  // At the left edge: right of it, level with its top.
  main.moveLeft(0);
  p = PlaceWorkshopView(main, available, s);
  EXPECT_EQ(p.frame, QRect(QPoint(808, 300), s.wanted));
  // Low on the screen: the view keeps within it, its bottom on the screen's.
  main.moveTop(2160 - 600);
  p = PlaceWorkshopView(main, available, s);
  EXPECT_EQ(p.frame, QRect(QPoint(808, 2160 - 672), s.wanted));
}

TEST(Placement, BelowTheMainWindowWhenTheSidesAreTooNarrow) {
  const WorkshopPlacementSizes s = Sizes();
  // Wide enough for the main window only, tall enough for both.
  const QRect available(0, 0, 1280, 1400);
  const QRect main(240, 0, 800, 600);
  const WorkshopPlace p = PlaceWorkshopView(main, available, s);
  EXPECT_EQ(p.frame, QRect(QPoint(main.center().x() - 514, 608), s.wanted));
  EXPECT_FALSE(p.frame.intersects(main));
}

TEST(Placement, ASmallScreenMaximisesTheView) {
  const WorkshopPlacementSizes s = Sizes();
  // 800 x 480: the main window fills it; below its controls are 480 - 109 - 8
  // lines, fewer than the view's smallest height.
  const QRect available(0, 0, 800, 480);
  const WorkshopPlace p = PlaceWorkshopView(QRect(80, 0, 640, 480), available, s);
  EXPECT_TRUE(p.maximise);
  // A smallest height that just fits there places it below the controls.
  WorkshopPlacementSizes lower = s;
  lower.minimum.setHeight(480 - 109 - 8);
  EXPECT_FALSE(PlaceWorkshopView(QRect(80, 0, 640, 480), available, lower).maximise);
}

}  // namespace
