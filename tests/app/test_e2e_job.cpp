// The job on record on the real simulator's practice scenario, through the
// program's assembly: "Vorher", "Nachher" and "Bericht" from the workshop
// view's menu; the captures hold the scenario's imbalance and the report the
// verdict, and the desktop is asked to show it.
#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "CommandLine.h"
#include "E2eSupport.h"
#include "JobDatabase.h"
#include "JobDesk.h"
#include "MainWindowTestSupport.h"
#include "Program.h"
#include "TWorkshopView.h"
#include "UnitMain.h"
#include "WorkshopLauncher.h"
#include "WorkshopSettings.h"

namespace {

// Stands in for the desktop's viewer.
class Viewer : public QObject {
  Q_OBJECT
 public:
  std::vector<QUrl> shown;
 public slots:
  void Show(const QUrl& url) { shown.push_back(url); }
};

QAction* MenuAction(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions())
    if (a->text() == text) return a;
  return nullptr;
}

std::string PdfText(const std::string& file) {
  std::string out;
  if (FILE* f = popen(("pdftotext -layout -enc UTF-8 '" + file + "' -").c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
    pclose(f);
  }
  return out;
}

TEST(JobEndToEnd, BeforeAfterAndReportOnThePracticeScenario) {
  std::filesystem::remove(qv::workshop::DefaultSettingsPath());  // mean, ±10 mBar
  Viewer viewer;
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &viewer, "Show");
  e2e::SimDevice device({"--seed", "7", "--scenario", "practice"});
  ASSERT_FALSE(device.Path().empty()) << "the simulator did not start";
  qvtest::CapturedErrors errors;
  TForm1 form;
  form.SetCommandLinePort(device.Path());
  form.show();
  qv::TProgram program(form, qv::ParseCommandLine({"quorvel", "--workshop"}));
  program.Show();
  qv::workshop::TWorkshopView* view = program.Workshop().View();
  ASSERT_NE(view, nullptr);
  view->SetLanguage(qv::workshop::ViewLanguage::For(QLocale(QLocale::German)));
  auto* desk = view->findChild<qv::jobs::JobDesk*>();
  ASSERT_NE(desk, nullptr);
  QAction* before = MenuAction(view->MoreMenu(), "Vorher");
  QAction* after = MenuAction(view->MoreMenu(), "Nachher");
  QAction* report = MenuAction(view->MoreMenu(), "Bericht");
  ASSERT_TRUE(before && after && report);
  ASSERT_TRUE(MenuAction(view->MoreMenu(), "Auftrag anzeigen"));
  ASSERT_TRUE(MenuAction(view->MoreMenu(), "Auftragsverlauf …"));
  // The job lives in the menu: the tool bar still fits 1280 pixels.
  view->resize(1280, 800);
  ASSERT_TRUE(e2e::WaitUntil([&] { return view->width() == 1280; }, 5));
  auto* extension = view->Controls()->findChild<QToolButton*>("qt_toolbar_ext_button");
  ASSERT_NE(extension, nullptr);
  EXPECT_FALSE(extension->isVisible());

  before->trigger();  // no scan yet
  EXPECT_TRUE(desk->StatusText().startsWith("Keine Messwerte")) << desk->StatusText().toStdString();
  EXPECT_FALSE(desk->Current().before);

  desk->SetVehicle({"Honda", "CB 750 Four", "HH-QV 77", "", "48 213 km"});
  desk->SetPeople("Karl Kunde", "Anna", "Übung");
  form.Button2Click();  // Start Scan
  ASSERT_TRUE(e2e::WaitUntil([&] { return view->Shown().settled; }, 20)) << "never settled";
  // Settled for the whole window before the capture is taken.
  ASSERT_TRUE(e2e::WaitUntil(
      [&] {
        before->trigger();
        return desk->Current().before.has_value();
      },
      15))
      << desk->StatusText().toStdString();
  const qv::jobs::Capture b = *desk->Current().before;
  // The practice imbalance: 16, 9, 6 and 13 mBar off the mean, in the seed's order and signs.
  std::vector<double> off;
  for (const auto& c : b.cylinders) off.push_back(std::fabs(c.difference));
  std::sort(off.begin(), off.end());
  const double want[] = {6, 9, 13, 16};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(off[static_cast<std::size_t>(i)], want[i], 1.5) << i;
  EXPECT_FALSE(b.InSync());
  EXPECT_EQ(b.tolerance, 10);

  e2e::WaitUntil([] { return false; }, 1);
  after->trigger();
  ASSERT_TRUE(desk->Current().after) << desk->StatusText().toStdString();
  EXPECT_GE(desk->Current().engineSeconds, 3.0);
  report->trigger();
  ASSERT_EQ(viewer.shown.size(), 1u) << desk->StatusText().toStdString();
  const std::string file = viewer.shown[0].toLocalFile().toStdString();
  EXPECT_TRUE(file.starts_with((qvtest::IsolatedRoot() / "home" / "Dokumente" / "Quorvel").string())) << file;
  const std::string text = PdfText(file);
  EXPECT_NE(text.find("HH-QV 77"), std::string::npos) << text;
  EXPECT_NE(text.find("NICHT SYNCHRON"), std::string::npos) << text;

  // The job is on record, with its report.
  qv::jobs::OpenResult r;
  auto db = qv::jobs::JobDatabase::Open(qv::jobs::JobDatabase::DefaultPath(), r);
  ASSERT_TRUE(db) << r.detail;
  const auto jobs = db->List("HH-QV");
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].reportPath, file);
  EXPECT_TRUE(jobs[0].hasBefore && jobs[0].hasAfter);
  form.Button3Click();  // Stop Scan
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

}  // namespace

#include "test_e2e_job.moc"
