#pragma once
// What the workshop view offers of the job around the measurement (scanning,
// recording, replaying) without knowing who does it: the owner hands in the
// hooks and tells the view the state to show after every change. An unset
// hook leaves its control disabled.
#include <QString>
#include <functional>

namespace qv::workshop {

struct JobActions {
  std::function<void()> startScan;
  std::function<void()> stopScan;
  std::function<void()> startRecording;  // every scan from now on is recorded
  std::function<void()> stopRecording;
  std::function<void()> openReplay;   // asks for a file and replays it
  std::function<void()> pauseReplay;  // pauses a playing replay, resumes a paused one
  std::function<void()> endReplay;
};

struct JobState {
  bool scanning = false;     // a scan runs (or waits for its vanished device)
  bool startAllowed = true;  // a scan may be started now (not while a replay runs)
  QString port;              // the port a scan uses, e.g. "/dev/ttyUSB0"
  bool recording = false;    // scans are being recorded
  bool replaying = false;
  bool paused = false;  // the replay stands still

  bool operator==(const JobState&) const = default;
};

}  // namespace qv::workshop
