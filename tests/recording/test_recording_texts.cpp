// The recording texts in both languages: every text present in each, the
// placeholders filled, and what went wrong with a file told with its
// particulars, in German by the reader's and writer's own problems.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "RecordingFormat.h"
#include "RecordingReader.h"
#include "RecordingTexts.h"
#include "RecordingWriter.h"
#include "support/TestEnv.h"

using namespace qv::rec;

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(RecordingTexts, EveryTextInBothLanguagesWithItsPlaceholders) {
  for (int i = 0; i < static_cast<int>(TextId::kCount); ++i) {
    const auto id = static_cast<TextId>(i);
    EXPECT_FALSE(Text(id, Language::German).empty()) << i;
    EXPECT_FALSE(Text(id, Language::English).empty()) << i;
    // A placeholder in one language is in the other too.
    for (const char* mark : {"%1", "%2"})
      EXPECT_EQ(Has(std::string(Text(id, Language::German)), mark), Has(std::string(Text(id, Language::English)), mark))
          << i << " " << mark;
  }
  EXPECT_EQ(Text(TextId::kMenu, Language::German), "Aufnahme");
  EXPECT_EQ(Text(TextId::kMenu, Language::English), "Aufnahme");  // menus are German in every language
  EXPECT_EQ(Text(TextId::kStartRecording, Language::English), "Aufnahme &starten");
  EXPECT_EQ(Text(TextId::kStopRecording, Language::English), "Aufnahme &beenden");
  EXPECT_EQ(Text(TextId::kCount, Language::German), "");

  EXPECT_EQ(Format(TextId::kFile, Language::German, {"scan.qvrec"}), "Datei: scan.qvrec");
  EXPECT_EQ(Format(TextId::kFile, Language::English, {"scan.qvrec"}), "File: scan.qvrec");
  EXPECT_EQ(Format(TextId::kExportDone, Language::English, {"/t/x.csv", "3"}),
            "Saved as CSV: /t/x.csv (3 lines of values)");
  EXPECT_EQ(Format(TextId::kFile, Language::German, {}), "Datei: %1");            // a missing argument stays visible
  EXPECT_EQ(Format(TextId::kFile, Language::German, {"100%2"}), "Datei: 100%2");  // arguments are not read again
}

TEST(RecordingTexts, ReadingProblemsNameTheFileInEitherLanguage) {
  const ReadResult empty = ParseRecording("", "/r/leer.bin");
  EXPECT_EQ(empty.problem.kind, Problem::Kind::kEmptyFile);
  EXPECT_EQ(ProblemText(empty.problem, Language::German),
            "/r/leer.bin ist leer: weder eine Aufnahme noch ein Mitschnitt");
  EXPECT_EQ(ProblemText(empty.problem, Language::English), empty.error);

  std::string v3 = EncodeHeader({});
  v3[kMagic.size()] = 3;
  const ReadResult version = ParseRecording(v3, "neu.qvrec");
  EXPECT_EQ(version.problem, (Problem{.kind = Problem::Kind::kUnknownVersion, .file = "neu.qvrec", .number = 3}));
  EXPECT_EQ(ProblemText(version.problem, Language::German),
            "neu.qvrec ist keine lesbare Aufnahme: das Aufnahmeformat Version 3 wird nicht unterstützt (dieses "
            "Programm liest Version 1)");
  EXPECT_EQ(ProblemText(version.problem, Language::English), version.error);

  const ReadResult cutHeader = ParseRecording(EncodeHeader({}).substr(0, 12), "k.qvrec");
  EXPECT_EQ(cutHeader.problem.kind, Problem::Kind::kHeaderCutOff);
  EXPECT_TRUE(Has(ProblemText(cutHeader.problem, Language::German), "der Kopf ist abgeschnitten"));

  // A record cut off after two whole ones: where reading stopped, and how much was read.
  std::string file = EncodeHeader({});
  AppendRecord(file, 0, "ab");
  AppendRecord(file, 10, "cd");
  const std::size_t whole = file.size();
  AppendRecord(file, 20, "ef");
  file.resize(file.size() - 1);
  const ReadResult cut = ParseRecording(file, "cut.qvrec");
  ASSERT_TRUE(cut.recording);
  const Problem& damage = cut.recording->damage_problem;
  EXPECT_EQ(damage,
            (Problem{.kind = Problem::Kind::kRecordCutOff, .file = "cut.qvrec", .number = whole, .records = 2}));
  EXPECT_EQ(ProblemText(damage, Language::German),
            "cut.qvrec: der letzte Eintrag ist abgeschnitten, gelesen bis Byte " + std::to_string(whole) +
                "; die 2 Einträge davor werden abgespielt");
  EXPECT_EQ(ProblemText(damage, Language::English), cut.recording->damage);
  EXPECT_EQ(ProblemText({}, Language::German), "");  // a whole file has no damage to tell

  qvtest::ScratchDir d;
  const ReadResult missing = ReadRecording(d / "fehlt.qvrec");
  EXPECT_EQ(missing.problem.kind, Problem::Kind::kCannotRead);
  EXPECT_EQ(missing.problem.err, ENOENT);
  EXPECT_TRUE(Has(ProblemText(missing.problem, Language::German),
                  (d / "fehlt.qvrec").string() + " kann nicht gelesen werden: "));
}

TEST(RecordingTexts, WritingProblemsTellWhatStoppedTheRecording) {
  const Problem full{.kind = Problem::Kind::kWriteFailed, .file = "/rec/a.qvrec", .err = ENOSPC};
  EXPECT_EQ(ProblemText(full, Language::German),
            "Die Aufnahme wurde beendet: die Festplatte ist voll (beim Schreiben von /rec/a.qvrec). Die Datei "
            "behält, was bis dahin geschrieben war; der Scan läuft weiter.");
  EXPECT_EQ(ProblemText(full, Language::English),
            "The recording stopped: the disk is full (writing /rec/a.qvrec). The file keeps what was written before; "
            "the scan goes on.");
  const Problem flush{.kind = Problem::Kind::kFlushFailed, .file = "/rec/a.qvrec", .err = EDQUOT};
  EXPECT_TRUE(Has(ProblemText(flush, Language::German), "das Speicherkontingent ist aufgebraucht (beim Sichern"));
  EXPECT_TRUE(Has(ProblemText(flush, Language::English), "the disk quota is used up (flushing"));
  EXPECT_EQ(ErrorNumberText(EFBIG, Language::German), "die Datei hat die größte erlaubte Größe erreicht");

  // The writer's own problem when its folder cannot be made.
  qvtest::ScratchDir d;
  qvtest::WriteFile(d / "plain", "x");
  RecordingWriter w;
  ASSERT_FALSE(w.Start(d / "plain/sub", {}));
  const Problem& p = w.Status().problem;
  EXPECT_EQ(p.kind, Problem::Kind::kCannotMakeFolder);
  EXPECT_FALSE(p.detail.empty());
  EXPECT_EQ(ProblemText(p, Language::German),
            "Der Ordner für Aufnahmen " + (d / "plain/sub").string() + " kann nicht angelegt werden: " + p.detail);
  EXPECT_EQ(ProblemText(p, Language::English), w.Status().message);
}

}  // namespace
