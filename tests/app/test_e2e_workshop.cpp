// The workshop view on the real simulator through the program's own backend
// (the workshop model with its defaults: mean, ±10 mBar, 1 s damping): the
// simulator's drift-and-sync cycle brings the four cylinders into line after
// about 20 s and takes them out again by 40 s; the verdict must follow,
// SYNCHRON and out again, on screen and for a screen reader.
#include <gtest/gtest.h>

#include <QAccessible>
#include <cmath>
#include <filesystem>

#include "CommandLine.h"
#include "E2eSupport.h"
#include "MainWindowTestSupport.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "Units.h"
#include "WorkshopBackend.h"
#include "Program.h"
#include "WorkshopLauncher.h"
#include "WorkshopSettings.h"

namespace {

using qv::workshop::Band;
using qv::workshop::Status;

// Pixels of exactly `colour` inside the logical rectangle.
int CountColour(const QImage& image, const QRectF& logical, const QColor& colour) {
  const double s = image.devicePixelRatio();
  const QRect r = QRectF(logical.topLeft() * s, logical.size() * s).toAlignedRect().intersected(image.rect());
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += (image.pixel(x, y) | 0xff000000u) == colour.rgb();
  return n;
}

QString AccessibleValue(QWidget* root, const QString& name) {
  QAccessibleInterface* i = QAccessible::queryAccessibleInterface(root);
  if (!i) return QStringLiteral("<no interface>");
  for (int c = 0; c < i->childCount(); ++c)
    if (i->child(c)->text(QAccessible::Name) == name) return i->child(c)->text(QAccessible::Value);
  return QStringLiteral("<missing>");
}

TEST(WorkshopEndToEnd, TheDriftCycleDrivesTheVerdictToSynchronAndOutAgain) {
  std::filesystem::remove(qv::workshop::DefaultSettingsPath());  // the defaults
  e2e::SimDevice device({"--seed", "5", "--scenario", "drift"});
  ASSERT_FALSE(device.Path().empty()) << "the simulator did not start";
  qvtest::CapturedErrors errors;
  TForm1 form;
  form.SetCommandLinePort(device.Path());
  form.show();
  qv::TProgram program(form, qv::ParseCommandLine({"quorvel", "--workshop"}));
  program.Show();
  qv::WorkshopLauncher* launcher = &program.Workshop();
  qv::workshop::TWorkshopView* view = launcher->View();
  ASSERT_NE(view, nullptr);
  view->SetLanguage(qv::workshop::ViewLanguage::For(QLocale(QLocale::German)));
  EXPECT_EQ(view->Choices(), qv::workshop::ViewChoices{});
  ASSERT_TRUE(e2e::WaitUntil([&] { return view->Shown().status == Status::NoScan; }, 5));

  form.Button2Click();  // Start Scan
  ASSERT_TRUE(e2e::WaitUntil([&] { return view->Shown().status == Status::Live; }, 10));
  EXPECT_FALSE(view->Shown().inSync);  // the full imbalance at the start
  EXPECT_NE(view->Shown().channels[2].band, Band::Inside);

  ASSERT_TRUE(e2e::WaitUntil([&] { return view->Shown().inSync; }, 40)) << "never in sync";
  const qv::workshop::Reading synced = view->Shown();
  // Inside as the mechanic reads it: the band is decided on the numbers as shown.
  for (std::size_t c = 0; c < 4; ++c)
    EXPECT_LE(std::fabs(qv::workshop::RoundToDisplay(synced.channels[c].difference, synced.unit)), synced.tolerance);
  EXPECT_EQ(synced.tolerance, 10);
  // What the mechanic sees: the green verdict; what a screen reader reads: the word.
  const QRectF verdict = view->Renderer().Layout().verdict;
  EXPECT_GT(CountColour(view->Picture(), verdict, view->Renderer().Colours().green), 1000);
  EXPECT_EQ(AccessibleValue(view->centralWidget(), "Ergebnis"), "SYNCHRON");

  // Out again: not a flicker of the scatter, but a cylinder drifted out of the band.
  auto drifted = [&] {
    const qv::workshop::Reading& r = view->Shown();
    return r.status == Status::Live && !r.inSync && r.worstChannel >= 0 &&
           r.channels[static_cast<std::size_t>(r.worstChannel)].band != Band::Inside;
  };
  ASSERT_TRUE(e2e::WaitUntil(drifted, 40)) << "never out of sync again";
  EXPECT_TRUE(AccessibleValue(view->centralWidget(), "Ergebnis").startsWith("Zyl. "));
  EXPECT_EQ(CountColour(view->Picture(), verdict, view->Renderer().Colours().green), 0);
  form.Button3Click();  // Stop Scan
  EXPECT_TRUE(e2e::WaitUntil([&] { return view->Shown().status == Status::NoScan; }, 5));
  form.close();
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

}  // namespace
