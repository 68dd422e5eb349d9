#include "WorkshopTexts.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

#include "NumberFormat.h"
#include "Units.h"

namespace qv::workshop {
namespace {

using enum TextId;

// One line per text: German, then English.
constexpr CatalogueEntry<TextId> kTexts[] = {
    {kInSync, "SYNCHRON", "IN SYNC"},
    {kNoScan, "Kein Scan", "No scan"},
    {kWaiting, "Warte auf Messwerte …", "Waiting for readings …"},
    {kNoData, "Keine Daten", "No data"},
    {kConnectionLost, "Verbindung verloren — warte auf das Gerät", "Connection lost — waiting for the device"},
    {kConnectionGone, "Verbindung verloren", "Connection lost"},
    {kHold, "HOLD", "HOLD"},
    {kZeroed, "genullt", "zeroed"},
    {kUnsteady, "unruhig", "unsteady"},
    {kUnsteadyHint, "Unruhig: Schlauch, Ventil und Dichtheit prüfen", "Unsteady: check its hose, valve and for a leak"},
    {kSettling, "Werte beruhigen sich …", "Settling …"},
    {kWorstCylinder, "Zyl. %1: %2", "Cyl. %1: %2"},
    {kCylinderShort, "Zyl. %1", "Cyl. %1"},
    {kCylinderLong, "Zylinder %1", "Cylinder %1"},
    {kSignHint, "Negativ: mehr Unterdruck als die Referenz", "Negative: more vacuum than the reference"},
    {kMenuView, "Ansicht", "View"},
    {kMenuWorkshop, "&Werkstattansicht", "&Workshop view"},
    {kWindowTitle, "Werkstattansicht", "Workshop view"},
    {kReference, "Referenz", "Reference"},
    {kReferenceTip, "Wogegen die Abweichungen gemessen werden (Tasten 1–4: ein Zylinder)",
     "What the differences are measured against (keys 1–4: one cylinder)"},
    {kMean, "Mittelwert", "Mean"},
    {kMidpoint, "Mitte", "Midpoint"},
    {kCylinder, "Zylinder", "Cylinder"},
    {kPairs, "Paare", "Pairs"},
    {kPairsTip, "Zylinder 1+2 gegen 3+4, für eine Schraube je Paar",
     "Cylinders 1+2 against 3+4, for one screw per pair"},
    {kTolerance, "Toleranz", "Tolerance"},
    {kToleranceTip, "Halbe Breite des grünen Bandes", "Half the width of the green band"},
    {kDamping, "Dämpfung", "Damping"},
    {kDampingTip, "Zeitkonstante der Glättung", "Time constant of the smoothing"},
    {kDampingOff, "aus", "off"},
    {kSeconds, "%1 s", "%1 s"},
    {kResetDamping, "Dämpfung zurücksetzen", "Reset damping"},
    {kResetDampingTip, "Glättung neu beginnen (Leertaste)", "Start the smoothing afresh (space bar)"},
    {kZoom, "Zoom", "Zoom"},
    {kZoomTip, "Vollausschlag der Balken", "Full scale of the bars"},
    {kZoomAuto, "automatisch", "automatic"},
    {kUnit, "Einheit", "Unit"},
    {kTheme, "Tag/Nacht", "Day/Night"},
    {kThemeTip, "Helle oder dunkle Anzeige", "Light or dark display"},
    {kThemeDay, "Tag", "Day"},
    {kThemeNight, "Nacht", "Night"},
    {kSnapshot, "Schnappschuss", "Snapshot"},
    {kSnapshotTip, "Ansicht als PNG speichern und eine Zeile an die CSV-Datei anhängen (Strg+S)",
     "Save the view as a PNG and append a line to the CSV file (Ctrl+S)"},
    {kSnapshotFolder, "Ordner für Schnappschüsse …", "Snapshot folder …"},
    {kSnapshotFolderTip, "Wohin Schnappschüsse gespeichert werden", "Where snapshots are saved"},
    {kSnapshotSaved, "Gespeichert: %1", "Saved: %1"},
    {kSnapshotFailed, "Schnappschuss nicht gespeichert: %1", "Snapshot not saved: %1"},
    {kSnapshotCsvFailed, "Bild gespeichert (%1), aber keine Zeile in der CSV-Datei: %2",
     "Picture saved (%1), but no line in the CSV file: %2"},
    {kHoldButton, "Halten", "Hold"},
    {kHoldTip, "Anzeige einfrieren (H)", "Freeze the display (H)"},
    {kRelease, "Weiter", "Resume"},
    {kZero, "Nullabgleich", "Zero adjustment"},
    {kZeroTip, "Motor aus, alle Schläuche offen zur Luft: die vier Kanäle werden gleich gestellt",
     "Engine off, every hose open to the air: the four channels are made to read equal"},
    {kZeroClear, "Nullabgleich löschen", "Clear zero adjustment"},
    {kZeroClearTip, "Die gespeicherten Abgleichwerte dieses Anschlusses entfernen",
     "Remove the stored zero offsets of this port"},
    {kZeroDone, "Nullabgleich gespeichert", "Zero adjustment stored"},
    {kZeroCleared, "Nullabgleich gelöscht", "Zero adjustment cleared"},
    {kZeroRefusedSpread,
     "Nullabgleich abgelehnt: die vier Kanäle liegen %1 auseinander, mehr als %2. Motor aus und alle Schläuche "
     "offen zur Luft?",
     "Zero adjustment refused: the four channels are %1 apart, more than %2. Is the engine off and every hose open "
     "to the air?"},
    {kZeroRefusedNoData, "Nullabgleich nicht möglich: keine aktuellen Messwerte",
     "Zero adjustment not possible: no current readings"},
    {kFullScreen, "Vollbild", "Full screen"},
    {kFullScreenTip, "Vollbild ein und aus (F11, Esc beendet)", "Full screen on and off (F11, Esc leaves)"},
    {kClose, "Schließen", "Close"},
    {kReconnect, "Automatisch neu verbinden", "Reconnect automatically"},
    {kReconnectTip,
     "Solange diese Ansicht offen ist: ein während des Scans abgezogenes Gerät erwarten und den Scan fortsetzen, "
     "sobald es wieder da ist",
     "While this view is open: wait for a device pulled during a scan and carry the scan on once it is back"},
    {kPhone, "Telefon", "Phone"},
    {kPhoneTip, "Die Messwerte auf einem Telefon im Werkstattnetz zeigen (nur ansehen)",
     "Show the readings on a phone on the workshop network (view only)"},
    {kReplayBanner, "Wiedergabe: %1 — %2", "Replay: %1 — %2"},
    {kReplayBannerPaused, "Wiedergabe (angehalten): %1 — %2", "Replay (paused): %1 — %2"},
    {kStartScan, "Start", "Start"},
    {kStartScanTip, "Den Scan starten, wie „Start Scan“ im Hauptfenster",
     "Start the scan, as “Start Scan” in the main window does"},
    {kStopScan, "Stopp", "Stop"},
    {kStopScanTip, "Den Scan beenden, wie „Stop Scan“ im Hauptfenster",
     "End the scan, as “Stop Scan” in the main window does"},
    {kPortLine, "Anschluss: %1", "Port: %1"},
    {kNoPort, "keiner", "none"},
    {kScanRunning, "Scan läuft", "scanning"},
    {kRecordingOn, "Aufnahme", "recording"},
    {kReplayingOn, "Wiedergabe", "replay"},
    {kRecord, "Aufnahme", "Record"},
    {kRecordTip, "Jeden Scan in eine Datei aufzeichnen, bis erneut gedrückt",
     "Record every scan into a file until pressed again"},
    {kReplay, "Wiedergabe", "Replay"},
    {kReplayTip, "Aufnahmen abspielen, anhalten und beenden", "Play, pause and end recordings"},
    {kReplayOpen, "Aufnahme abspielen …", "Play a recording …"},
    {kReplayOpenTip, "Eine Aufnahme öffnen und abspielen; ein laufender Scan endet",
     "Open a recording and play it; a running scan ends"},
    {kPauseReplay, "Pause", "Pause"},
    {kPauseReplayTip, "Die Wiedergabe anhalten und fortsetzen", "Pause and resume the replay"},
    {kEndReplay, "Wiedergabe beenden", "End replay"},
    {kEndReplayTip, "Die Wiedergabe beenden; danach kann wieder gescannt werden",
     "End the replay; scans can be started again"},
    {kMore, "Weitere", "More"},
    {kMoreTip, "Seltener gebrauchte Einstellungen", "Settings used less often"},
    {kHelp, "Tastenkürzel", "Keyboard shortcuts"},
    {kHelpTip, "Alle Tasten dieser Ansicht zeigen (F1 oder ?)", "Show every key of this view (F1 or ?)"},
    {kHelpFooter, "Esc, F1, ? oder ein Klick schließt", "Esc, F1, ? or a click closes"},
    {kLeaveFullScreen, "Vollbild verlassen, Tastenkürzel schließen", "Leave full screen, close the shortcuts"},
    {kKeyCtrl, "Strg", "Ctrl"},
    {kKeyShift, "Umschalt", "Shift"},
    {kKeySpace, "Leertaste", "Space"},
    {kSettingsDamaged,
     "Die Einstellungen der Werkstattansicht sind beschädigt (%1); es gelten die Voreinstellungen. Die Datei "
     "bleibt unverändert, bis eine Einstellung geändert wird.",
     "The workshop view's settings are damaged (%1); the defaults apply. The file is left as it is until a "
     "setting is changed."},
    {kSettingsNotSaved, "Einstellungen nicht gespeichert: %1", "Settings not saved: %1"},
    {kAccessibleDifference, "Abweichung %1", "Difference %1"},
    {kAccessibleAbsolute, "Absolutwert %1", "Absolute value %1"},
    {kAccessibleScatter, "Streuung %1", "Scatter %1"},
    {kAccessibleReference, "Referenz", "Reference"},
    {kAccessibleUnit, "Einheit", "Unit"},
    {kAccessibleVerdict, "Ergebnis", "Verdict"},
    {kAccessibleTolerance, "Toleranz", "Tolerance"},
    {kAccessibleConnection, "Verbindung", "Connection"},
    {kBandInside, "OK", "OK"},
    {kBandNear, "KNAPP", "NEAR"},
    {kBandOutside, "WEIT", "FAR"},
    {kPairsName, "Paare 1+2 / 3+4", "Pairs 1+2 / 3+4"},
    {kReferenceLabel, "Bezug: %1", "Reference: %1"},
    {kReferenceLine, "Bezug: %1  ·  Toleranz ±%2", "Reference: %1  ·  tolerance ±%2"},
    {kToleranceValue, "Toleranz ±%1", "Tolerance ±%1"},
    {kDampingValue, "Dämpfung %1 s", "Damping %1 s"},
    {kDampingOffLabel, "Dämpfung aus", "Damping off"},
    {kScaleValue, "Skala ±%1", "Scale ±%1"},
    {kScaleAuto, "Skala automatisch", "Scale automatic"},
};

static_assert(std::size(kTexts) == static_cast<std::size_t>(TextId::kCount), "one entry per text");

static_assert(InIdOrder(kTexts), "entries in the order of TextId");

}  // namespace

std::string_view Text(TextId id, Language lang) { return CatalogueText(kTexts, id, lang); }

std::string Format(TextId id, Language lang, std::initializer_list<std::string_view> args) {
  return FillText(Text(id, lang), args);
}

std::string_view BandWord(Band b, Language lang) {
  switch (b) {
    case Band::Inside: return Text(kBandInside, lang);
    case Band::Near: return Text(kBandNear, lang);
    case Band::Outside: return Text(kBandOutside, lang);
  }
  return {};
}

std::string ReferenceName(const Reading& r, Language lang) {
  if (r.pairMode) return std::string(Text(kPairsName, lang));
  switch (r.referenceKind) {
    case ReferenceKind::Mean: return std::string(Text(kMean, lang));
    case ReferenceKind::Midpoint: return std::string(Text(kMidpoint, lang));
    case ReferenceKind::Cylinder: return Format(kCylinderLong, lang, {std::to_string(r.referenceCylinder + 1)});
  }
  return {};
}

std::string ReferenceLine(const Reading& r, Language lang, std::string_view decimalSeparator) {
  const std::string tolerance =
      FormatValue(r.tolerance, r.unit, {.decimalSeparator = decimalSeparator, .withUnit = true});
  return Format(kReferenceLine, lang, {ReferenceName(r, lang), tolerance});
}

std::string ChannelLabel(const Reading& r, int channel, Language lang) {
  const std::string name = r.pairMode ? std::to_string(2 * channel + 1) + "+" + std::to_string(2 * channel + 2)
                                      : std::to_string(channel + 1);
  return Format(kCylinderShort, lang, {name});
}

std::string WorstChannelText(const Reading& r, Language lang, std::string_view decimalSeparator,
                             std::string_view minus) {
  if (r.worstChannel < 0 || r.worstChannel >= r.channelCount) return {};
  const Channel& c = r.channels[static_cast<std::size_t>(r.worstChannel)];
  const std::string name = ChannelLabel(r, r.worstChannel, lang);
  const std::string value = FormatValue(
      c.difference, r.unit, {.decimalSeparator = decimalSeparator, .withSign = true, .withUnit = true, .minus = minus});
  return name + ": " + value;
}

std::string VerdictText(const Reading& r, Language lang, std::string_view decimalSeparator, std::string_view minus) {
  switch (r.status) {
    case Status::NoScan: return std::string(Text(kNoScan, lang));
    case Status::Waiting: return std::string(Text(kWaiting, lang));
    case Status::NoData: return std::string(Text(kNoData, lang));
    case Status::Live: break;
  }
  if (r.inSync) return std::string(Text(kInSync, lang));
  const bool worstOutside = r.worstChannel >= 0 && r.worstChannel < r.channelCount &&
                            r.channels[static_cast<std::size_t>(r.worstChannel)].band != Band::Inside;
  return worstOutside ? WorstChannelText(r, lang, decimalSeparator, minus) : std::string(Text(kSettling, lang));
}

std::string ZeroOutcomeText(const ZeroOutcome& z, Unit unit, Language lang, std::string_view decimalSeparator) {
  const NumberStyle style{.decimalSeparator = decimalSeparator, .withUnit = true};
  switch (z.refusal) {
    case ZeroOutcome::Refusal::kNone: return {};
    case ZeroOutcome::Refusal::kNoData: return std::string(Text(kZeroRefusedNoData, lang));
    case ZeroOutcome::Refusal::kSpread:
      return Format(kZeroRefusedSpread, lang,
                    {FormatValue(FromMilliBar(z.spreadMbar, unit), unit, style),
                     FormatValue(FromMilliBar(kMaxZeroSpreadMbar, unit), unit, style)});
  }
  return {};
}

}  // namespace qv::workshop
