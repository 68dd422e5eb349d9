#include "RecordingTexts.h"

#include <cerrno>
#include <cstring>
#include <iterator>

#include "RecordingFormat.h"

namespace qv::rec {
namespace {

using enum TextId;

// One line per text: German, then English. The menu and its items read the
// same in every language, as the main window's menus and the "Ansicht" menu
// beside them do; the windows, dialogs and messages follow the language.
constexpr CatalogueEntry<TextId> kTexts[] = {
    {kMenu, "Aufnahme", "Aufnahme"},
    {kStartRecording, "Aufnahme &starten", "Aufnahme &starten"},
    {kStopRecording, "Aufnahme &beenden", "Aufnahme &beenden"},
    {kPlay, "Aufnahme &abspielen...", "Aufnahme &abspielen..."},
    {kEndReplay, "&Wiedergabe beenden", "&Wiedergabe beenden"},
    {kExport, "Als &CSV exportieren...", "Als &CSV exportieren..."},
    {kPlayDialog, "Aufnahme abspielen", "Play a recording"},
    {kRecordingsFilter, "Aufnahmen (*.qvrec);;Alle Dateien (*)", "Recordings (*.qvrec);;All files (*)"},
    {kExportDialog, "Als CSV exportieren", "Export as CSV"},
    {kCsvFilter, "CSV (*.csv)", "CSV (*.csv)"},
    {kMessageTitle, "Aufnahme", "Recording"},
    {kReplayWindowTitle, "Wiedergabe", "Replay"},
    {kBanner, "WIEDERGABE einer Aufnahme \u2013 keine Live-Messung",
     "REPLAY of a recording \u2013 not a live measurement"},
    {kFile, "Datei: %1", "File: %1"},
    {kAtEnd, "Ende", "end"},
    {kPaused, "Pause", "paused"},
    {kPause, "Pause", "Pause"},
    {kResume, "Abspielen", "Play"},
    {kSpeed, "Geschwindigkeit", "Speed"},
    {kEndButton, "Wiedergabe beenden", "End replay"},
    {kExportDone, "Als CSV gespeichert: %1 (%2 Zeilen mit Messwerten)", "Saved as CSV: %1 (%2 lines of values)"},
    {kExportFailed, "Die CSV-Datei %1 wurde nicht gespeichert: %2", "The CSV file %1 was not saved: %2"},
    {kNothingToExport, "Es gibt noch keine Aufnahme zum Exportieren.", "There is no recording to export yet."},
};
static_assert(std::size(kTexts) == static_cast<std::size_t>(kCount), "one entry per text");

static_assert(InIdOrder(kTexts), "entries in the order of TextId");

}  // namespace

std::string_view Text(TextId id, Language lang) { return CatalogueText(kTexts, id, lang); }

std::string Format(TextId id, Language lang, std::initializer_list<std::string_view> args) {
  return FillText(Text(id, lang), args);
}

std::string ErrorNumberText(int err, Language lang) {
  switch (err) {
    case ENOSPC: return std::string(Pick(lang, "die Festplatte ist voll", "the disk is full"));
    case EFBIG:
      return std::string(Pick(lang, "die Datei hat die größte erlaubte Größe erreicht",
                              "the file has reached the largest size allowed"));
    case EDQUOT: return std::string(Pick(lang, "das Speicherkontingent ist aufgebraucht", "the disk quota is used up"));
    default: return std::strerror(err);
  }
}

std::string ProblemText(const Problem& p, Language lang) {
  using Kind = Problem::Kind;
  const std::string number = std::to_string(p.number);
  const auto unreadable = [&](std::string_view why) {
    return FillText(Pick(lang, "%1 ist keine lesbare Aufnahme: %2", "%1 is not a readable recording: %2"),
                    {p.file, why});
  };
  const auto stopped = [&](std::string_view why) {
    return FillText(Pick(lang, "%1: %2, gelesen bis Byte %3; die %4 Einträge davor werden abgespielt",
                         "%1: %2 at byte %3; the %4 records before it are read"),
                    {p.file, why, number, std::to_string(p.records)});
  };
  const auto stoppedWriting = [&](std::string_view doing) {
    return FillText(
        Pick(lang,
             "Die Aufnahme wurde beendet: %1 (beim %2 von %3). Die Datei behält, was bis dahin geschrieben "
             "war; der Scan läuft weiter.",
             "The recording stopped: %1 (%2 %3). The file keeps what was written before; the scan goes on."),
        {ErrorNumberText(p.err, lang), doing, p.file});
  };
  switch (p.kind) {
    case Kind::kNone: return {};
    case Kind::kCannotRead:
      return FillText(Pick(lang, "%1 kann nicht gelesen werden: %2", "cannot read %1: %2"),
                      {p.file, std::strerror(p.err)});
    case Kind::kEmptyFile:
      return FillText(Pick(lang, "%1 ist leer: weder eine Aufnahme noch ein Mitschnitt",
                           "%1 is empty: it is neither a recording nor a capture"),
                      {p.file});
    case Kind::kHeaderCutOff: return unreadable(Pick(lang, "der Kopf ist abgeschnitten", "the header is cut off"));
    case Kind::kUnknownVersion:
      return unreadable(
          FillText(Pick(lang, "das Aufnahmeformat Version %1 wird nicht unterstützt (dieses Programm liest Version %2)",
                        "recording format version %1 is not supported (this program reads version %2)"),
                   {number, std::to_string(kVersion)}));
    case Kind::kHeaderTooSmall:
      return unreadable(
          FillText(Pick(lang, "die Kopfgröße %1 ist zu klein", "the header size %1 is too small"), {number}));
    case Kind::kBadLineSettings:
      return unreadable(
          Pick(lang, "die Leitungseinstellungen im Kopf sind ungültig", "the header's line settings are not valid"));
    case Kind::kRecordCutOff:
      return stopped(Pick(lang, "der letzte Eintrag ist abgeschnitten", "the last record is cut off"));
    case Kind::kTimeBackwards:
      return stopped(Pick(lang, "die Zeit eines Eintrags läuft rückwärts", "a record's time goes backwards"));
    case Kind::kCountTooLarge:
      return stopped(Pick(lang, "die Byteanzahl eines Eintrags ist zu groß", "a record's byte count is too large"));
    case Kind::kCannotMakeFolder:
      return FillText(Pick(lang, "Der Ordner für Aufnahmen %1 kann nicht angelegt werden: %2",
                           "cannot create the recordings folder %1: %2"),
                      {p.file, p.detail});
    case Kind::kCannotCreate:
      return FillText(Pick(lang, "%1 kann nicht angelegt werden: %2", "cannot create %1: %2"),
                      {p.file, ErrorNumberText(p.err, lang)});
    case Kind::kNoFreeName:
      return FillText(Pick(lang, "In %1 kann keine neue Aufnahme angelegt werden: zu viele Dateien dieses Namens",
                           "cannot create a new recording in %1: too many files of that name"),
                      {p.file});
    case Kind::kWriteFailed: return stoppedWriting(Pick(lang, "Schreiben", "writing"));
    case Kind::kFlushFailed: return stoppedWriting(Pick(lang, "Sichern auf die Platte", "flushing"));
  }
  return {};
}

}  // namespace qv::rec
