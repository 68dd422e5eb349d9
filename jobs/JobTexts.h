#pragma once
// The texts of the job on record (captures, the job database, the report and
// quorvel-jobs), in German (the default) and English.
#include <initializer_list>
#include <string>
#include <string_view>

#include "CaptureModel.h"
#include "JobDatabase.h"
#include "TextCatalogue.h"

namespace qv::jobs {

enum class JobTextId {
  // Captures.
  kBefore,
  kAfter,
  kBeforeTip,
  kAfterTip,
  kRefusedNoData,
  kRefusedUnsettled,
  kRefusedSettling,  // %1 seconds steady so far, %2 needed
  kCaptured,         // %1 the capture's name, %2 the seconds averaged, %3 the time
  // The database.
  kDbDamaged,     // %1 the file, %2 the detail
  kDbForeign,     // %1 the file, %2 the detail
  kDbTooNew,      // %1 the file, %2 the detail
  kDbFailed,      // %1 the file, %2 the detail
  kDbAskNew,      // keep it and start a new one?
  kDbSetAside,    // %1 where the old file went
  kDbSaveFailed,  // %1 the detail
  // A job's fields, as quorvel-jobs and the report write them.
  kJob,  // "Auftrag %1"
  kDate,
  kVehicle,
  kRegistration,
  kVin,
  kOdometer,
  kCustomer,
  kMechanic,
  kNotes,
  kReference,
  kTolerance,
  kUnit,
  kCylinderShort,  // "Zyl. %1"
  kPair,           // "Zyl. %1" for a pair "1+2"
  kAbsolute,
  kDifference,
  kBand,
  kInside,
  kOutside,
  kSteadiness,
  kEngineTime,
  kVerdict,
  kInSync,
  kNotInSync,
  kNotTaken,
  kReportFile,
  kMinutes,  // "%1 min %2 s"
  // quorvel-jobs.
  kCliUsage,
  kCliNoSuchJob,   // %1 the id
  kCliBadCommand,  // %1 what was not understood
  kCliNoJobs,
  // The report.
  kReport,
  kReportTip,
  kReportTitle,
  kReportBars,
  kReportSignature,
  kReportWorkshopUnnamed,
  kReportAfterMissing,  // the verdict when only "Vorher" was taken
  kReportWritten,       // %1 the file
  kReportFailed,        // %1 the detail
  kReportNotesCut,      // the notes did not fit
  // The job's panel and the history window.
  kDeskTitle,
  kDeskMenu,
  kNewJob,
  kMake,
  kModel,
  kLastTime,  // %1 date, %2 before's verdict, %3 after's verdict
  kHistory,
  kHistoryMenu,
  kSearch,
  kOpenReport,
  kNoReport,
  kReportNeedsCapture,
  kNoHistory,  // %1 why
  kJobSaved,   // %1 the job's number
  kNotTakenYet,
};

[[nodiscard]] std::string_view JobText(JobTextId id, Language lang);
[[nodiscard]] std::string JobText(JobTextId id, Language lang, std::initializer_list<std::string_view> args);

// Why a capture was refused, ready to show.
[[nodiscard]] std::string RefusalText(const CaptureResult& result, double window, Language lang);
// What is wrong with the database at `path`, ready to show.
[[nodiscard]] std::string OpenProblemText(const OpenResult& result, const std::string& path, Language lang);

}  // namespace qv::jobs
