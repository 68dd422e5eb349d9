// The customer's report: one A4 page whose text (read back with pdftotext)
// holds everything listed for it, in both languages, hostile text as text; and
// report files that never replace one another.
#include <gtest/gtest.h>

#include <QString>
#include <cstdio>

#include "JobReport.h"
#include "JobSamples.h"
#include "JobSettings.h"
#include "ReportFiles.h"
#include "support/TestEnv.h"

namespace {

using qv::Language;
using qv::jobs::Job;

std::string Run(const std::string& cmd) {
  std::string out;
  if (FILE* f = popen(cmd.c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
    pclose(f);
  }
  return out;
}

// pdftotext puts spaces between table cells; compare with runs of blanks as one.
std::string Squeeze(const std::string& s) {
  std::string out;
  for (char c : s)
    if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c;
  return out;
}

struct Pdf {
  std::string text;  // pdftotext -layout
  std::string info;  // pdfinfo, blanks squeezed
};

Pdf Write(const qvtest::ScratchDir& dir, const Job& job, const std::string& shop, Language lang) {
  const QByteArray bytes = qv::jobs::RenderJobReport(job, shop, lang);
  const auto file = dir / "report.pdf";
  qvtest::WriteFile(file, bytes.toStdString());
  return {Run("pdftotext -layout -enc UTF-8 '" + file.string() + "' -"),
          Squeeze(Run("pdfinfo '" + file.string() + "'"))};
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(JobReport, OneA4PageWithEverythingInGerman) {
  qvtest::ScratchDir dir;
  Job job = qvtest::SampleJob("HH-QV 77", "Karl Kunde");
  job.id = 42;
  job.created = "2026-12-09 09:30:00";
  const Pdf pdf = Write(dir, job, "Zweirad Meier GmbH", Language::German);
  EXPECT_TRUE(Has(pdf.info, "Pages: 1")) << pdf.info;
  EXPECT_TRUE(Has(pdf.info, "Page size: 595 x 842 pts (A4)")) << pdf.info;
  EXPECT_TRUE(Has(pdf.info, "Creator: Quorvel")) << pdf.info;
  const std::string t = Squeeze(pdf.text);
  for (const char* want : {"Zweirad Meier GmbH",
                           "Synchronisationsbericht",
                           "Honda CB 750 Four",
                           "HH-QV 77",
                           "JH2RC01234567",
                           "48 213 km",
                           "Karl Kunde",
                           "A. Schrauber",
                           "2026-12-09 09:30:00",
                           "5 min 13 s",
                           "Referenz: Mittelwert",
                           "Toleranz: ±10 mBar",
                           "Einheit: mBar",
                           "Vorher",
                           "Nachher",
                           "Zyl. 1",
                           "Zyl. 4",
                           "-21 mBar",
                           "+21 mBar",
                           "+5 mBar",
                           "nein",
                           "ja",
                           "SYNCHRON",
                           "Unruhe",
                           "Vorher: 1,0 mBar",
                           "Nachher: 1,0 mBar",
                           "Vergaser gereinigt",
                           "Datum, Unterschrift",
                           "Auftrag 42"}) {
    EXPECT_TRUE(Has(t, want)) << want << "\n" << pdf.text;
  }
  // The table's first row: before -272 or -273 (shown rounded), -21, outside; after in the band.
  EXPECT_TRUE(Has(t, "Zyl. 1 -273 mBar -21 mBar nein -256 mBar -5 mBar ja")) << t;
  EXPECT_FALSE(Has(t, "NICHT SYNCHRON"));
}

TEST(JobReport, EnglishVerdictsAndAMissingAfter) {
  qvtest::ScratchDir dir;
  Job job = qvtest::SampleJob("B-XY 5");
  job.after->cylinders[3].inside = false;
  Pdf pdf = Write(dir, job, "", Language::English);
  std::string t = Squeeze(pdf.text);
  for (const char* want : {"Workshop", "Synchronisation report", "Registration", "Customer", "Mechanic",
                           "Engine running time", "Reference: Mean", "Cyl. 2", "NOT IN SYNC", "Date, signature"})
    EXPECT_TRUE(Has(t, want)) << want << "\n" << pdf.text;
  job.after.reset();
  pdf = Write(dir, job, "", Language::English);
  t = Squeeze(pdf.text);
  EXPECT_TRUE(Has(t, "After not taken")) << t;
  EXPECT_TRUE(Has(pdf.info, "Pages: 1"));
}

TEST(JobReport, HostileTextIsDrawnAsText) {
  qvtest::ScratchDir dir;
  Job job = qvtest::SampleJob("'); DROP TABLE jobs;--");
  job.customer = "<b>O'Brien</b> \"Bob\" & Co; %s %n";
  job.vehicle.make = "مرسيدس";
  job.notes = "Erste Zeile\nZweite Zeile " + std::string(20000, 'w');
  job.mechanic = std::string(500, 'M');
  const Pdf pdf = Write(dir, job, "Werkstatt \\ (Klammern) ) (", Language::German);
  EXPECT_TRUE(Has(pdf.info, "Pages: 1")) << pdf.info;
  const std::string t = pdf.text;
  EXPECT_TRUE(Has(t, "'); DROP TABLE jobs;--")) << t;
  EXPECT_TRUE(Has(t, "<b>O'Brien</b> \"Bob\" & Co; %s %n")) << t;
  EXPECT_TRUE(Has(t, "Werkstatt \\ (Klammern) ) (")) << t;
  EXPECT_TRUE(Has(t, "Erste Zeile")) << t;
  EXPECT_TRUE(Has(t, "(gekürzt)")) << t;    // the notes were cut to the page
  EXPECT_TRUE(Has(t, "MMMMMMMMMM…")) << t;  // a long name is cut with an ellipsis
  // The Arabic make, in whatever order and letter forms pdftotext gives them.
  const QString q = QString::fromStdString(t).normalized(QString::NormalizationForm_KC);
  for (QChar c : QStringLiteral("مرسيدس")) EXPECT_TRUE(q.contains(c)) << t;
}

TEST(ReportFiles, NamesFromTheVehicleNeverReplaceAnEarlierReport) {
  qvtest::ScratchDir dir;
  qv::jobs::Vehicle v;
  v.registration = "HH-QV 77";
  EXPECT_EQ(qv::jobs::ReportStem(v, "2026-12-09", Language::German), "Bericht-HH-QV-77-2026-12-09");
  v.registration = "../../etc/passwd";
  EXPECT_EQ(qv::jobs::ReportStem(v, "2026-12-09", Language::English), "Report-etc-passwd-2026-12-09");
  v.registration.clear();
  v.vin = "JH2 RC01";
  EXPECT_EQ(qv::jobs::ReportStem(v, "d", Language::German), "Bericht-JH2-RC01-d");
  v = {"Müller-Motorräder", "Ü", "", "", ""};
  EXPECT_EQ(qv::jobs::ReportStem(v, "d", Language::German), "Bericht-Müller-Motorräder-Ü-d");
  v = {"", "", std::string(100, 'x') + "ä", "", ""};
  EXPECT_EQ(qv::jobs::ReportStem(v, "d", Language::German), "Bericht-" + std::string(60, 'x') + "-d");
  v = {"", "", std::string(59, 'x') + "ää", "", ""};
  EXPECT_EQ(qv::jobs::ReportStem(v, "d", Language::German), "Bericht-" + std::string(59, 'x') + "ä-d");
  v = {};
  EXPECT_EQ(qv::jobs::ReportStem(v, "d", Language::German), "Bericht-d");

  const auto folder = dir / "Dokumente" / "Quorvel";
  const auto a = qv::jobs::SaveNewReport(folder, "Bericht-X-d", "first");
  const auto b = qv::jobs::SaveNewReport(folder, "Bericht-X-d", "second");
  const auto c = qv::jobs::SaveNewReport(folder, "Bericht-X-d", "third");
  EXPECT_EQ(a, folder / "Bericht-X-d.pdf");
  EXPECT_EQ(b, folder / "Bericht-X-d-2.pdf");
  EXPECT_EQ(c, folder / "Bericht-X-d-3.pdf");
  EXPECT_EQ(qvtest::ReadFile(a), "first");
  EXPECT_EQ(qvtest::ReadFile(b), "second");
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder)) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 3);  // no temporary file left behind
}

TEST(ReportFiles, DocumentsFolderAsTheDesktopSaysAndSettingsKept) {
  EXPECT_EQ(qv::jobs::DefaultReportFolder(), qvtest::IsolatedRoot() / "home" / "Dokumente" / "Quorvel");
  const std::string saved = std::getenv("XDG_DOCUMENTS_DIR");
  unsetenv("XDG_DOCUMENTS_DIR");
  const auto config = qvtest::IsolatedRoot() / "config";
  EXPECT_EQ(qv::jobs::DefaultReportFolder(), qvtest::IsolatedRoot() / "home" / "Documents" / "Quorvel");
  qvtest::WriteFile(config / "user-dirs.dirs", "# edited\nXDG_DOCUMENTS_DIR=\"$HOME/Schriftstücke\"\n");
  EXPECT_EQ(qv::jobs::DefaultReportFolder(), qvtest::IsolatedRoot() / "home" / "Schriftstücke" / "Quorvel");
  std::filesystem::remove(config / "user-dirs.dirs");
  setenv("XDG_DOCUMENTS_DIR", saved.c_str(), 1);

  const auto ini = config / "quorvel" / "jobs.ini";
  EXPECT_EQ(qv::jobs::JobSettingsPath(), ini);
  std::filesystem::create_directories(ini.parent_path());
  qvtest::WriteFile(ini, "; von Hand\n[Other]\nKey=1\n");
  qv::jobs::SaveJobSettings({"Meier \"Zweirad\"", "Anna\nBerta"});
  const auto back = qv::jobs::LoadJobSettings();
  EXPECT_EQ(back.workshopName, "Meier \"Zweirad\"");
  EXPECT_EQ(back.mechanic, "Anna Berta");  // a value is one line
  EXPECT_TRUE(qvtest::ReadFile(ini).starts_with("; von Hand\n[Other]\nKey=1\n"));
}

}  // namespace
