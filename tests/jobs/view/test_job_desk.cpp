// The job's panel and the history window, offscreen: before and after from the
// readings fed as the view shows them, the report written under the documents
// folder and opened, a known vehicle's "last time", a damaged history, search.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTreeWidget>

#include "../JobSamples.h"
#include "JobDesk.h"
#include "JobHistory.h"
#include "JobSettings.h"
#include "support/TestEnv.h"

namespace {

using qv::Language;
using qv::jobs::JobDesk;
using qv::jobs::JobHistory;

struct Desk {
  qvtest::ScratchDir dir;
  std::vector<QString> opened;
  std::vector<QString> asked;
  bool agree = false;
  std::unique_ptr<JobDesk> desk;

  JobDesk& Make(Language lang = Language::German) {
    JobDesk::Places places{dir / "jobs.sqlite", dir / "Berichte", dir / "jobs.ini"};
    desk = std::make_unique<JobDesk>(
        lang, places,
        [this](const QString& q) {
          asked.push_back(q);
          return agree;
        },
        [this](const QString& p) { opened.push_back(p); });
    return *desk;
  }
  void Feed(double from, double to, const qv::workshop::Reading& r) {
    for (double t = from; t <= to + 1e-9; t += 0.1) desk->Feed(t, r);
  }
};

TEST(JobDesk, BeforeAfterAndReportOfOneJob) {
  Desk d;
  JobDesk& desk = d.Make();
  desk.SetVehicle({"Honda", "CB 750", "HH-QV 77", "", "48 213 km"});
  desk.SetPeople("O'Brien; \"Bob\"", "Anna", "Vergaser");

  desk.TakeBefore();  // nothing fed yet
  EXPECT_EQ(desk.StatusText(), "Keine Messwerte: erst messen oder eine Aufnahme abspielen");
  desk.WriteReport();
  EXPECT_EQ(desk.StatusText(), "Erst „Vorher“ oder „Nachher“ festhalten");

  d.Feed(0, 1.0, qvtest::SettledReading(-20, -6, 8, 18));
  desk.TakeBefore();
  EXPECT_TRUE(desk.StatusText().startsWith("Die Werte sind erst seit 1,0 s ruhig")) << desk.StatusText().toStdString();
  d.Feed(1.1, 4.0, qvtest::SettledReading(-20, -6, 8, 18));
  desk.TakeBefore();
  ASSERT_TRUE(desk.Current().before);
  EXPECT_NEAR(desk.Current().before->cylinders[0].difference, -20, 1e-9);
  EXPECT_TRUE(desk.StatusText().contains("Vorher festgehalten: Mittel der letzten 3 s"))
      << desk.StatusText().toStdString();
  EXPECT_TRUE(desk.StatusText().contains("Auftrag 1 gespeichert"));

  // Taking it again replaces it; the job stays one job.
  d.Feed(4.1, 7.5, qvtest::SettledReading(-18, -6, 8, 16));
  desk.TakeBefore();
  EXPECT_NEAR(desk.Current().before->cylinders[0].difference, -18, 1e-9);
  d.Feed(7.6, 11, qvtest::SettledReading(-3, 1, 0, 2));
  desk.TakeAfter();
  ASSERT_TRUE(desk.Current().after);
  EXPECT_TRUE(desk.Current().after->InSync());
  EXPECT_NEAR(desk.Current().engineSeconds, 11, 0.01);
  ASSERT_TRUE(desk.Database());
  EXPECT_EQ(desk.Database()->Count(), 1);
  EXPECT_EQ(desk.Database()->Load(1)->customer, "O'Brien; \"Bob\"");

  desk.WriteReport();
  ASSERT_EQ(d.opened.size(), 1u);
  const std::string today = d.opened[0].toStdString();
  EXPECT_TRUE(d.opened[0].startsWith(QString::fromStdString((d.dir / "Berichte" / "Bericht-HH-QV-77-").string())))
      << today;
  EXPECT_TRUE(std::filesystem::exists(today));
  EXPECT_EQ(desk.Database()->Load(1)->reportPath, today);
  desk.WriteReport();  // a second report of the day does not replace the first
  ASSERT_EQ(d.opened.size(), 2u);
  EXPECT_NE(d.opened[1], d.opened[0]);
  EXPECT_TRUE(d.opened[1].endsWith("-2.pdf"));
  EXPECT_TRUE(std::filesystem::exists(today));

  // The mechanic is remembered for the next job; the rest starts empty.
  desk.NewJob();
  EXPECT_EQ(desk.Current().id, 0);
  EXPECT_EQ(qv::jobs::LoadJobSettings(d.dir / "jobs.ini").mechanic, "Anna");
  Desk again;
  std::filesystem::copy_file(d.dir / "jobs.ini", again.dir / "jobs.ini");
  JobDesk& second = again.Make();
  second.TakeAfter();
  EXPECT_EQ(second.findChild<QLineEdit*>("mechanic")->text(), "Anna");
}

TEST(JobDesk, KnownVehicleOffersItsLastTime) {
  Desk d;
  {
    JobDesk& first = d.Make(Language::English);
    first.SetVehicle({"Kawasaki", "Z 900", "B-KW 900", "JKAZ1", ""});
    first.SetPeople("Schmidt", "Anna", "");
    d.Feed(0, 3.5, qvtest::SettledReading(-30, 0, 0, 30));
    first.TakeBefore();
    d.Feed(3.6, 7, qvtest::SettledReading(-2, 0, 0, 2));
    first.TakeAfter();
    ASSERT_EQ(first.Database()->Count(), 1);
  }
  JobDesk& desk = d.Make(Language::English);
  QLineEdit* reg = desk.Registration();
  reg->setText("b-kw 900");
  emit reg->textEdited(reg->text());  // as typed
  EXPECT_TRUE(desk.LastTimeText().startsWith("Last time (")) << desk.LastTimeText().toStdString();
  EXPECT_TRUE(desk.LastTimeText().contains("before NOT IN SYNC, after IN SYNC"));
  EXPECT_TRUE(desk.LastTimeText().contains("Before: ")) << desk.LastTimeText().toStdString();
  EXPECT_TRUE(desk.LastTimeText().contains("-30 +0 +0 +30 mBar") || desk.LastTimeText().contains("-30 0 0 +30 mBar"))
      << desk.LastTimeText().toStdString();
  EXPECT_EQ(desk.findChild<QLineEdit*>("make")->text(), "Kawasaki");
  EXPECT_EQ(desk.findChild<QLineEdit*>("customer")->text(), "Schmidt");
  reg->setText("X-NEW 1");
  emit reg->textEdited(reg->text());
  EXPECT_TRUE(desk.LastTimeText().isEmpty());
}

TEST(JobDesk, DamagedHistoryIsKeptUnlessTheUserAgrees) {
  Desk d;
  qvtest::WriteFile(d.dir / "jobs.sqlite", "nicht unsere Datei");
  JobDesk& desk = d.Make();
  ASSERT_EQ(d.asked.size(), 1u);
  EXPECT_TRUE(d.asked[0].contains(QString::fromStdString((d.dir / "jobs.sqlite").string())));
  EXPECT_TRUE(d.asked[0].contains("beschädigt"));
  EXPECT_FALSE(desk.Database());
  EXPECT_TRUE(desk.StatusText().startsWith("Aufträge werden nicht gespeichert")) << desk.StatusText().toStdString();
  EXPECT_EQ(qvtest::ReadFile(d.dir / "jobs.sqlite"), "nicht unsere Datei");
  // Captures still work without a history.
  d.Feed(0, 3.5, qvtest::SettledReading(1, 2, 3, 4));
  desk.TakeBefore();
  EXPECT_TRUE(desk.Current().before);

  d.agree = true;
  JobDesk& next = d.Make();
  ASSERT_TRUE(next.Database());
  EXPECT_TRUE(next.StatusText().startsWith("Die alte Datei liegt jetzt unter")) << next.StatusText().toStdString();
  int kept = 0;
  for (const auto& e : std::filesystem::directory_iterator(d.dir.path()))
    if (e.path().filename().string().starts_with("jobs.sqlite.damaged-")) {
      ++kept;
      EXPECT_EQ(qvtest::ReadFile(e.path()), "nicht unsere Datei");
    }
  EXPECT_EQ(kept, 1);
}

TEST(JobHistoryWindow, SearchesAndReopensReports) {
  qvtest::ScratchDir dir;
  qv::jobs::OpenResult r;
  auto db = qv::jobs::JobDatabase::Open(dir / "jobs.sqlite", r);
  ASSERT_TRUE(db);
  auto a = qvtest::SampleJob("HH-AB 1", "Müller");
  a.reportPath = "/reports/a.pdf";
  auto b = qvtest::SampleJob("B-CD 2", "Schmidt");
  b.vehicle.make = "Kawasaki";
  auto c = qvtest::SampleJob("M-EF 3", "Weber");
  for (auto* j : {&a, &b, &c}) db->Save(*j);
  std::vector<QString> opened;
  JobHistory window(*db, Language::German, [&](const QString& p) { opened.push_back(p); });
  ASSERT_EQ(window.List()->topLevelItemCount(), 3);
  EXPECT_EQ(window.List()->topLevelItem(0)->text(3), "M-EF 3");  // newest first
  window.Search()->setText("kawa");
  ASSERT_EQ(window.List()->topLevelItemCount(), 1);
  EXPECT_EQ(window.List()->topLevelItem(0)->text(4), "Schmidt");
  window.OpenSelected();
  EXPECT_TRUE(opened.empty());
  EXPECT_EQ(window.StatusText(), "Zu diesem Auftrag gibt es keinen Bericht");
  window.Search()->setText("müller");
  ASSERT_EQ(window.List()->topLevelItemCount(), 1);
  window.OpenSelected();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], "/reports/a.pdf");
  window.Search()->setText("niemand");
  EXPECT_EQ(window.List()->topLevelItemCount(), 0);
}

}  // namespace
