// The workshop view on the real simulator: its drift-and-sync cycle brings
// the four cylinders into line after about 20 s and takes them out again by
// 40 s; the verdict must follow, SYNCHRON and out again.
#include <gtest/gtest.h>

#include <QAccessible>

#include "CommandLine.h"
#include "E2eSupport.h"
#include "MainWindowTestSupport.h"
#include "RenderTestSupport.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "WorkshopLauncher.h"
#include "WorkshopMeanSource.h"

namespace {

using qv::workshop::Status;

TEST(WorkshopEndToEnd, TheDriftCycleDrivesTheVerdictToSynchronAndOutAgain) {
  e2e::SimDevice device({"--seed", "5", "--scenario", "drift"});
  ASSERT_FALSE(device.Path().empty()) << "the simulator did not start";
  qvtest::CapturedErrors errors;
  TForm1 form;
  form.SetCommandLinePort(device.Path());
  form.show();
  qv::WorkshopLauncher* launcher = qv::AttachWorkshopView(form, qv::ParseCommandLine({"quorvel", "--workshop"}), [] {
    return qv::WorkshopLauncher::Backend{std::make_shared<qv::WorkshopMeanSource>(), nullptr};
  });
  qv::workshop::TWorkshopView* view = launcher->View();
  ASSERT_NE(view, nullptr);
  view->SetText(qv::workshop::ViewText::For(QLocale(QLocale::German)));
  ASSERT_TRUE(e2e::WaitUntil([&] { return view->Shown().status == Status::NoScan; }, 5));

  // A band the simulator's cycle-to-cycle jitter can settle in.
  qv::workshop::ViewChoices choices;
  choices.toleranceMbar = 20;
  view->SetChoices(choices);
  form.Button2Click();  // Start Scan
  ASSERT_TRUE(e2e::WaitUntil([&] { return view->Shown().status == Status::Live; }, 10));
  EXPECT_FALSE(view->Shown().inSync);  // the full imbalance at the start
  EXPECT_NE(view->Shown().channels[2].band, qv::workshop::Band::Inside);

  ASSERT_TRUE(e2e::WaitUntil([&] { return view->Shown().inSync; }, 40)) << "never in sync";
  const qv::workshop::Reading synced = view->Shown();
  for (int c = 0; c < 4; ++c)
    EXPECT_LE(std::fabs(synced.channels[static_cast<std::size_t>(c)].difference), synced.tolerance);
  // What the mechanic sees: the green verdict; what a screen reader reads: the word.
  view->Tick();
  EXPECT_GT(wstest::Count(view->Picture(), view->Renderer().Layout().verdict, view->Renderer().Colours().green), 1000);
  QAccessibleInterface* root = QAccessible::queryAccessibleInterface(view->centralWidget());
  ASSERT_NE(root, nullptr);
  QString verdict;
  for (int i = 0; i < root->childCount(); ++i)
    if (root->child(i)->text(QAccessible::Name) == "Urteil") verdict = root->child(i)->text(QAccessible::Value);
  EXPECT_EQ(verdict, "SYNCHRON");

  // Out again: not a flicker of the scatter, but a cylinder drifted out of the band.
  auto drifted = [&] {
    const qv::workshop::Reading& r = view->Shown();
    return r.status == Status::Live && !r.inSync && r.worstChannel >= 0 &&
           r.channels[static_cast<std::size_t>(r.worstChannel)].band != qv::workshop::Band::Inside;
  };
  ASSERT_TRUE(e2e::WaitUntil(drifted, 40)) << "never out of sync again";
  form.Button3Click();  // Stop Scan
  EXPECT_TRUE(e2e::WaitUntil([&] { return view->Shown().status == Status::NoScan; }, 5));
  form.close();
  EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join('\n').toStdString();
}

}  // namespace
