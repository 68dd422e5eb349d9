#pragma once
// Every text of recording and replay, in German (the default) and English:
// the menu, the replay window, the file dialogs, the export's outcome, and
// what went wrong with a recording file, told from its particulars. Plain
// C++; the program picks the language from its locale.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "TextCatalogue.h"

namespace qv::rec {

using qv::Language;

enum class TextId {
  // The menu "Aufnahme" and its items.
  kMenu,
  kStartRecording,
  kStopRecording,
  kPlay,
  kEndReplay,
  kExport,
  // File dialogs and the message box.
  kPlayDialog,
  kRecordingsFilter,
  kExportDialog,
  kCsvFilter,
  kMessageTitle,
  // A replay showing: the replay window.
  kReplayWindowTitle,
  kBanner,
  kFile,  // "Datei: %1"
  kAtEnd,
  kPaused,
  kPause,
  kResume,
  kSpeed,
  kEndButton,
  // The export's outcome.
  kExportDone,    // "%1 gespeichert ...": the file, %2 the lines of values
  kExportFailed,  // the file, %2 why
  kNothingToExport,
  kCount
};

[[nodiscard]] std::string_view Text(TextId id, Language lang);
// The text with "%1".."%9" replaced by the arguments; a missing one leaves "%n".
[[nodiscard]] std::string Format(TextId id, Language lang, std::initializer_list<std::string_view> args);

// What went wrong with a recording file, with its particulars.
struct Problem {
  enum class Kind {
    kNone,
    // Reading: nothing could be read.
    kCannotRead,       // `file`, `err`
    kEmptyFile,        // `file`
    kHeaderCutOff,     // `file`
    kUnknownVersion,   // `file`, `number` the version found
    kHeaderTooSmall,   // `file`, `number` the header size found
    kBadLineSettings,  // `file`
    // Reading: stopped at `number` (a byte offset) after `records` records.
    kRecordCutOff,
    kTimeBackwards,
    kCountTooLarge,
    // Writing.
    kCannotMakeFolder,  // `file` the folder, `detail` the system's text
    kCannotCreate,      // `file`, `err`
    kNoFreeName,        // `file` the folder
    kWriteFailed,       // `file`, `err`: the recording stopped
    kFlushFailed,       // `file`, `err`: the recording stopped
  };
  Kind kind = Kind::kNone;
  std::string file{};
  std::uint64_t number = 0;
  std::size_t records = 0;
  int err = 0;
  std::string detail{};

  bool operator==(const Problem&) const = default;
};

// The message for the user; "" for kNone.
[[nodiscard]] std::string ProblemText(const Problem& p, Language lang);
// A system error number in words: a full disk, a file size limit and a used-up
// quota in the catalogue's words, anything else as the system says it.
[[nodiscard]] std::string ErrorNumberText(int err, Language lang);

}  // namespace qv::rec
