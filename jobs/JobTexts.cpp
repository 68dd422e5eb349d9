#include "JobTexts.h"

#include <cstdio>

namespace qv::jobs {
namespace {

using enum JobTextId;

constexpr CatalogueEntry<JobTextId> kTexts[] = {
    {kBefore, "Vorher", "Before"},
    {kAfter, "Nachher", "After"},
    {kBeforeTip, "Die Werte vor der Arbeit festhalten (Mittel der letzten Sekunden)",
     "Record the readings before the work (mean of the last seconds)"},
    {kAfterTip, "Die Werte nach der Arbeit festhalten (Mittel der letzten Sekunden)",
     "Record the readings after the work (mean of the last seconds)"},
    {kRefusedNoData, "Keine Messwerte: erst messen oder eine Aufnahme abspielen",
     "No readings: scan or play a recording first"},
    {kRefusedUnsettled, "Die Werte sind noch unruhig: warten, bis sie sich beruhigt haben",
     "The readings are not settled yet: wait until they are steady"},
    {kRefusedSettling, "Die Werte sind erst seit %1 s ruhig, %2 s werden gemittelt",
     "The readings have been steady for %1 s only; %2 s are averaged"},
    {kCaptured, "%1 festgehalten: Mittel der letzten %2 s, %3", "%1 taken: mean of the last %2 s, %3"},
    {kDbDamaged, "Die Auftragsdatenbank %1 ist beschädigt (%2).", "The job database %1 is damaged (%2)."},
    {kDbForeign, "Die Datei %1 ist keine Auftragsdatenbank von Quorvel (%2).",
     "The file %1 is not a Quorvel job database (%2)."},
    {kDbTooNew, "Die Auftragsdatenbank %1 stammt von einer neueren Quorvel-Version (%2).",
     "The job database %1 was written by a newer version of Quorvel (%2)."},
    {kDbFailed, "Die Auftragsdatenbank %1 lässt sich nicht öffnen (%2).", "The job database %1 cannot be opened (%2)."},
    {kDbAskNew,
     "Die Datei bleibt erhalten und wird umbenannt; daneben wird eine neue, leere Datenbank angelegt. Fortfahren?",
     "The file is kept under a new name, and a new, empty database is started beside it. Go on?"},
    {kDbSetAside, "Die alte Datei liegt jetzt unter %1.", "The old file is now at %1."},
    {kDbSaveFailed, "Der Auftrag wurde nicht gespeichert: %1", "The job was not saved: %1"},
    {kJob, "Auftrag %1", "Job %1"},
    {kDate, "Datum", "Date"},
    {kVehicle, "Fahrzeug", "Vehicle"},
    {kRegistration, "Kennzeichen", "Registration"},
    {kVin, "FIN", "VIN"},
    {kOdometer, "Kilometerstand", "Odometer"},
    {kCustomer, "Kunde", "Customer"},
    {kMechanic, "Mechaniker", "Mechanic"},
    {kNotes, "Bemerkungen", "Notes"},
    {kReference, "Referenz", "Reference"},
    {kTolerance, "Toleranz", "Tolerance"},
    {kUnit, "Einheit", "Unit"},
    {kCylinderShort, "Zyl. %1", "Cyl. %1"},
    {kPair, "Zyl. %1", "Cyl. %1"},
    {kAbsolute, "Absolut", "Absolute"},
    {kDifference, "Abweichung", "Difference"},
    {kBand, "Im Band", "In band"},
    {kInside, "ja", "yes"},
    {kOutside, "nein", "no"},
    {kSteadiness, "Unruhe (größte Streuung)", "Steadiness (largest scatter)"},
    {kEngineTime, "Motorlaufzeit", "Engine running time"},
    {kVerdict, "Ergebnis", "Verdict"},
    {kInSync, "SYNCHRON", "IN SYNC"},
    {kNotInSync, "NICHT SYNCHRON", "NOT IN SYNC"},
    {kNotTaken, "nicht gemessen", "not taken"},
    {kReportFile, "Bericht", "Report"},
    {kMinutes, "%1 min %2 s", "%1 min %2 s"},
    {kCliUsage,
     "Aufruf: quorvel-jobs [--db DATEI] BEFEHL\n"
     "Die Auftragsgeschichte von Quorvel (Vorher/Nachher je Fahrzeug).\n\n"
     "Befehle:\n"
     "  list [SUCHE]            Aufträge, neueste zuerst; SUCHE in Kennzeichen, FIN, Marke oder Kunde\n"
     "  show ID                 ein Auftrag mit allen Werten\n"
     "  export --csv [-o DATEI] eine CSV-Zeile je Auftrag und Zylinder (für die Buchhaltung)\n"
     "  report ID -o DATEI.pdf  den Bericht des Auftrags noch einmal schreiben\n\n"
     "Optionen:\n"
     "  --db DATEI  diese Datenbank statt $XDG_DATA_HOME/quorvel/jobs.sqlite\n"
     "  --help      diese Hilfe\n"
     "  --version   die Version\n",
     "Usage: quorvel-jobs [--db FILE] COMMAND\n"
     "Quorvel's job history (before and after, per vehicle).\n\n"
     "Commands:\n"
     "  list [SEARCH]           jobs, newest first; SEARCH in registration, VIN, make or customer\n"
     "  show ID                 one job with all its values\n"
     "  export --csv [-o FILE]  one CSV line per job and cylinder (for the accounts)\n"
     "  report ID -o FILE.pdf   write the job's report again\n\n"
     "Options:\n"
     "  --db FILE   this database instead of $XDG_DATA_HOME/quorvel/jobs.sqlite\n"
     "  --help      this help\n"
     "  --version   the version\n"},
    {kCliNoSuchJob, "Kein Auftrag mit der Nummer %1", "No job number %1"},
    {kCliBadCommand, "Nicht verstanden: %1 (quorvel-jobs --help zeigt die Befehle)",
     "Not understood: %1 (quorvel-jobs --help lists the commands)"},
    {kCliNoJobs, "Keine Aufträge", "No jobs"},
    {kReport, "Bericht", "Report"},
    {kReportTip, "Einen einseitigen Bericht für den Kunden schreiben (PDF)",
     "Write a one-page report for the customer (PDF)"},
    {kReportTitle, "Synchronisationsbericht", "Synchronisation report"},
    {kReportBars, "Abweichung je Zylinder: vorher (grau) und nachher",
     "Difference per cylinder: before (grey) and after"},
    {kReportSignature, "Datum, Unterschrift", "Date, signature"},
    {kReportWorkshopUnnamed, "Werkstatt", "Workshop"},
    {kReportAfterMissing, "Nachher nicht gemessen", "After not taken"},
    {kReportWritten, "Bericht gespeichert: %1", "Report saved: %1"},
    {kReportFailed, "Der Bericht wurde nicht geschrieben: %1", "The report was not written: %1"},
    {kReportNotesCut, "(gekürzt)", "(shortened)"},
    {kDeskTitle, "Auftrag", "Job"},
    {kDeskMenu, "Auftrag anzeigen", "Show the job"},
    {kNewJob, "Neuer Auftrag", "New job"},
    {kMake, "Marke", "Make"},
    {kModel, "Modell", "Model"},
    {kLastTime, "Letztes Mal (%1): vorher %2, nachher %3", "Last time (%1): before %2, after %3"},
    {kHistory, "Auftragsverlauf", "Job history"},
    {kHistoryMenu, "Auftragsverlauf …", "Job history …"},
    {kSearch, "Suchen: Kennzeichen, Marke oder Kunde", "Search: registration, make or customer"},
    {kOpenReport, "Bericht öffnen", "Open report"},
    {kNoReport, "Zu diesem Auftrag gibt es keinen Bericht", "This job has no report"},
    {kReportNeedsCapture, "Erst „Vorher“ oder „Nachher“ festhalten", "Take \"Before\" or \"After\" first"},
    {kNoHistory, "Aufträge werden nicht gespeichert: %1", "Jobs are not saved: %1"},
    {kJobSaved, "Auftrag %1 gespeichert", "Job %1 saved"},
    {kNotTakenYet, "noch nicht festgehalten", "not taken yet"},
};
static_assert(InIdOrder(kTexts));

std::string Seconds(double s, Language lang) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", s);
  std::string t = buf;
  if (lang == Language::German)
    for (char& c : t)
      if (c == '.') c = ',';
  return t;
}

}  // namespace

std::string_view JobText(JobTextId id, Language lang) { return CatalogueText(kTexts, id, lang); }

std::string JobText(JobTextId id, Language lang, std::initializer_list<std::string_view> args) {
  return FillText(JobText(id, lang), args);
}

std::string RefusalText(const CaptureResult& result, double window, Language lang) {
  switch (result.refusal) {
    case Refusal::kNone: return {};
    case Refusal::kNoData: return std::string(JobText(kRefusedNoData, lang));
    case Refusal::kUnsettled: return std::string(JobText(kRefusedUnsettled, lang));
    case Refusal::kSettling:
      return JobText(kRefusedSettling, lang, {Seconds(result.steadyFor, lang), Seconds(window, lang)});
  }
  return {};
}

std::string OpenProblemText(const OpenResult& result, const std::string& path, Language lang) {
  switch (result.status) {
    case OpenStatus::kOk: return {};
    case OpenStatus::kDamaged: return JobText(kDbDamaged, lang, {path, result.detail});
    case OpenStatus::kForeign: return JobText(kDbForeign, lang, {path, result.detail});
    case OpenStatus::kTooNew: return JobText(kDbTooNew, lang, {path, result.detail});
    case OpenStatus::kFailed: return JobText(kDbFailed, lang, {path, result.detail});
  }
  return {};
}

}  // namespace qv::jobs
