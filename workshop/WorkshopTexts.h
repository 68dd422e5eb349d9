#pragma once
// Every text of the workshop view, in German (the default) and English; the
// language follows the user's locale (TextCatalogue.h).
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "TextCatalogue.h"
#include "WorkshopModel.h"
#include "WorkshopReading.h"

namespace qv::workshop {

using qv::Language;
using qv::LanguageForLocales;
using qv::LanguageFromEnvironment;

enum class TextId {
  // The verdict line and status marks.
  kInSync,
  kNoScan,
  kWaiting,
  kNoData,
  kConnectionLost,
  kConnectionGone,  // the device vanished and cannot be waited for
  kHold,
  kZeroed,
  kUnsteady,
  kUnsteadyHint,
  kSettling,
  kWorstCylinder,  // "Zyl. %1: %2": the cylinder (or pair "3+4") and its signed difference with the unit
  kCylinderShort,  // "Zyl. %1"
  kCylinderLong,   // "Zylinder %1"
  kSignHint,       // what a negative difference means
  // Opening the view.
  kMenuView,
  kMenuWorkshop,
  kWindowTitle,
  // Controls and their tooltips.
  kReference,
  kReferenceTip,
  kMean,
  kMidpoint,
  kCylinder,
  kPairs,
  kPairsTip,
  kTolerance,
  kToleranceTip,
  kDamping,
  kDampingTip,
  kDampingOff,
  kSeconds,
  kResetDamping,
  kResetDampingTip,
  kZoom,
  kZoomTip,
  kZoomAuto,
  kUnit,
  kTheme,
  kThemeTip,
  kThemeDay,
  kThemeNight,
  kSnapshot,
  kSnapshotTip,
  kSnapshotFolder,
  kSnapshotFolderTip,
  kSnapshotSaved,
  kSnapshotFailed,
  kSnapshotCsvFailed,  // the picture saved, its CSV line not
  kHoldButton,
  kHoldTip,
  kRelease,
  kZero,
  kZeroTip,
  kZeroClear,
  kZeroClearTip,
  kZeroDone,
  kZeroCleared,
  kZeroRefusedSpread,
  kZeroRefusedNoData,
  kFullScreen,
  kFullScreenTip,
  kClose,
  kReconnect,
  kReconnectTip,
  kPhone,  // the phone view's switch
  kPhoneTip,
  // The banner over a replay: file name, the recorded time of the frame shown.
  kReplayBanner,
  kReplayBannerPaused,
  // The job around the measurement: scanning, recording, replaying.
  kStartScan,
  kStartScanTip,
  kStopScan,
  kStopScanTip,
  kPortLine,  // "Anschluss: %1"
  kNoPort,
  kScanRunning,
  kRecordingOn,
  kReplayingOn,
  kRecord,
  kRecordTip,
  kReplay,
  kReplayTip,
  kReplayOpen,
  kReplayOpenTip,
  kPauseReplay,
  kPauseReplayTip,
  kEndReplay,
  kEndReplayTip,
  kMore,
  kMoreTip,
  // The list of keys and the keys' names.
  kHelp,
  kHelpTip,
  kHelpFooter,
  kLeaveFullScreen,
  kKeyCtrl,
  kKeyShift,
  kKeySpace,
  // Settings file.
  kSettingsDamaged,
  kSettingsNotSaved,
  // Accessible names of the view's parts.
  kAccessibleDifference,
  kAccessibleAbsolute,
  kAccessibleScatter,
  kAccessibleReference,
  kAccessibleUnit,
  kAccessibleVerdict,
  kAccessibleTolerance,
  kAccessibleConnection,
  // Words and lines of the drawing.
  kBandInside,       // "OK"
  kBandNear,         // "KNAPP"
  kBandOutside,      // "WEIT"
  kPairsName,        // "Paare 1+2 / 3+4"
  kReferenceLabel,   // "Bezug: %1"
  kReferenceLine,    // "Bezug: %1  ·  Toleranz ±%2"
  kToleranceValue,   // "Toleranz ±%1"
  kDampingValue,     // "Dämpfung %1 s"
  kDampingOffLabel,  // "Dämpfung aus"
  kScaleValue,       // "Skala ±%1"
  kScaleAuto,        // "Skala automatisch"
  kCount
};

// The text; "%1".."%9" in it stand for the arguments of Format.
[[nodiscard]] std::string_view Text(TextId id, Language lang);
// The text with "%n" replaced by the n-th argument; a missing argument leaves "%n".
[[nodiscard]] std::string Format(TextId id, Language lang, std::initializer_list<std::string_view> args);

// The line under the numbers: "Kein Scan", "Keine Daten", "SYNCHRON", the
// cylinder furthest off when it is outside the band, "Zyl. 3: +14 mBar"
// ("Zyl. 3+4: ..." in pair mode), or, all inside but not yet settled,
// "Werte beruhigen sich …".
// `minus` is the sign written before negative numbers (the screen prefers U+2212).
[[nodiscard]] std::string VerdictText(const Reading& r, Language lang, std::string_view decimalSeparator,
                                      std::string_view minus = "-");
// "Zyl. 3: +14 mBar", or "" when the reading has no worst channel.
[[nodiscard]] std::string WorstChannelText(const Reading& r, Language lang, std::string_view decimalSeparator,
                                           std::string_view minus = "-");
// The band's word beside its colour, so colour is never the only sign.
[[nodiscard]] std::string_view BandWord(Band b, Language lang);
// "Mittelwert", "Mitte", "Zylinder 2", or "Paare 1+2 / 3+4" in pair mode.
[[nodiscard]] std::string ReferenceName(const Reading& r, Language lang);
// "Bezug: Mittelwert  ·  Toleranz ±10 mBar".
[[nodiscard]] std::string ReferenceLine(const Reading& r, Language lang, std::string_view decimalSeparator);
// A channel's name on screen: "Zyl. 3", or "Zyl. 1+2" in pair mode.
[[nodiscard]] std::string ChannelLabel(const Reading& r, int channel, Language lang);
// Why a zero adjustment was refused, in the unit; "" when it was done.
[[nodiscard]] std::string ZeroOutcomeText(const ZeroOutcome& z, Unit unit, Language lang,
                                          std::string_view decimalSeparator);

}  // namespace qv::workshop
