#include "E2eSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <charconv>
#include <csignal>
#include <fstream>
#include <sstream>
#include <string_view>
#include <utility>

#include "UnitMain.h"
#include "support/QtWait.h"

namespace e2e {
namespace {

bool ParseTimeLine(std::string_view line, std::pair<std::uint64_t, std::int64_t>& out) {
  if (!line.starts_with("# t ")) return false;
  line.remove_prefix(4);
  const auto space = line.find(' ');
  if (space == std::string_view::npos) return false;
  const auto a = std::from_chars(line.data(), line.data() + space, out.first);
  const auto b = std::from_chars(line.data() + space + 1, line.data() + line.size(), out.second);
  return a.ec == std::errc() && b.ec == std::errc() && b.ptr == line.data() + line.size();
}

std::size_t Occurrences(std::string_view hay, std::string_view needle) {
  std::size_t n = 0;
  for (auto p = hay.find(needle); p != std::string_view::npos; p = hay.find(needle, p + needle.size())) ++n;
  return n;
}

}  // namespace

FrameRecorder::FrameRecorder(TForm1& form) : form_(form), previous_(form.ComPort1->OnRxChar) {
  form_.ComPort1->OnRxChar = [this, handler = previous_](TCustomComPort* sender, int count) {
    const std::uint64_t before = form_.Decoder().Frames();
    handler(sender, count);
    if (form_.Decoder().Frames() == before) return;  // no frame cut in this event
    const TMeasurement& m = form_.Measurement();
    Snapshot s;
    s.report = form_.Decoder().LastFrame();
    s.maxima = m.MAXIMA;
    s.sample_count = m.SAMPLE_COUNT;
    s.channels = m.CHANNEL_DATA;
    frames_.push_back(s);
  };
}

FrameRecorder::~FrameRecorder() {
  if (form_.ComPort1) form_.ComPort1->OnRxChar = previous_;
}

TickPictures::TickPictures(TForm1& form) : form_(form), previous_(form.Timer2.OnTimer) {
  form_.Timer2.OnTimer = [this, handler = previous_] {
    handler();
    pictures_.push_back(form_.ClientPicture().copy());
  };
}

TickPictures::~TickPictures() { form_.Timer2.OnTimer = previous_; }

int TickPictures::Changes() const {
  int n = 0;
  for (std::size_t i = 1; i < pictures_.size(); ++i) n += pictures_[i] != pictures_[i - 1] ? 1 : 0;
  return n;
}

SimLog ReadSimLog(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buf;
  buf << in.rdbuf();
  std::string text = buf.str();
  // The simulator may be half-way through a line.
  text.erase(text.find_last_of('\n') == std::string::npos ? 0 : text.find_last_of('\n') + 1);
  SimLog log;
  log.frames = qv::sim::ParseLog(text);
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::pair<std::uint64_t, std::int64_t> t;
    if (ParseTimeLine(line, t)) log.times.push_back(t);
  }
  return log;
}

std::vector<LoggedFrame> Records(const std::vector<LoggedFrame>& frames) {
  std::vector<LoggedFrame> out;
  std::copy_if(frames.begin(), frames.end(), std::back_inserter(out), [](const LoggedFrame& f) {
    return f.kind == qv::sim::FrameKind::kMaxima || f.kind == qv::sim::FrameKind::kChannel;
  });
  return out;
}

std::vector<Expectation> DecodableRecords(const std::vector<LoggedFrame>& records) {
  std::vector<Expectation> out;
  bool previous_ended = true;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const LoggedFrame& f = records[i];
    const bool readable_channel =
        f.kind == qv::sim::FrameKind::kChannel && f.channel_byte <= 3 && f.count_text.size() == 3 &&
        std::all_of(f.count_text.begin(), f.count_text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (previous_ended && f.end && (f.kind == qv::sim::FrameKind::kMaxima || readable_channel)) out.push_back({i, f});
    previous_ended = f.end;
  }
  return out;
}

bool Shows(const Snapshot& s, const LoggedFrame& record) {
  if (record.kind == qv::sim::FrameKind::kMaxima) {
    if (s.report.maxima != qv::RecordOutcome::kDecoded) return false;
    for (int c = 0; c < 4; ++c) {
      if (s.maxima[c] != record.maxima[c]) return false;
    }
    return true;
  }
  const int ch = record.channel_byte;
  const int n = static_cast<int>(record.samples.size());
  if (s.report.channel != qv::RecordOutcome::kDecoded || s.report.channel_number != ch || s.sample_count != n) {
    return false;
  }
  const auto& history = s.channels[static_cast<std::size_t>(ch)];
  for (int i = 0; i < n; ++i) {
    if (history[static_cast<std::size_t>(i)] != record.samples[static_cast<std::size_t>(i)]) return false;
  }
  return std::all_of(history.begin() + n, history.begin() + 261, [](std::int32_t v) { return v == 0; });
}

bool WaitUntil(const std::function<bool()>& cond, int seconds) { return qvtest::WaitFor(cond, seconds * 1000); }

namespace {
std::vector<std::string> WithLog(std::vector<std::string> options, const std::filesystem::path& log) {
  options.insert(options.end(), {"--log", log.string()});
  return options;
}
}  // namespace

SimDevice::SimDevice(std::vector<std::string> options)
    : log_(dir_ / "frames.log"), process_(WithLog(std::move(options), log_)), path_(process_.ReadStdoutLine()) {}

bool SimDevice::WaitForSilence(int quiet_ms) {
  std::uintmax_t size = 0;
  QElapsedTimer unchanged;
  unchanged.start();
  return WaitUntil([&] {
    std::error_code ec;
    const std::uintmax_t now = std::filesystem::file_size(log_, ec);
    if (now != size) {
      size = now;
      unchanged.restart();
    }
    return unchanged.elapsed() >= quiet_ms;
  });
}

int SimDevice::Stop() {
  process_.Signal(SIGTERM);
  return process_.Finish();
}

std::size_t WaitingFrames(const std::string& instring) {
  if (instring.find("MUXA") == std::string::npos) return 0;
  return Occurrences(instring, "End_Data");
}

}  // namespace e2e
