// The recording writer: file names, what lands in the file, a full disk
// (a file size limit), and a recording around a failing port read.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <stdexcept>

#include "support/DecoderTestSupport.h"
#include "ReadTap.h"
#include "RecordingReader.h"
#include "RecordingWriter.h"
#include "support/TestEnv.h"

using namespace qv::rec;
using namespace std::chrono;

namespace {

const system_clock::time_point kStart = sys_days{year{2026} / 12 / 8} + hours{14} + minutes{3} + seconds{12};

Recording ReadBack(const std::filesystem::path& file) {
  ReadResult r = ReadRecording(file);
  if (!r.recording) throw std::runtime_error(r.error);
  return std::move(*r.recording);
}

}  // namespace

TEST(RecordingWriter, NamesFilesByTheirStartInUtcAndAvoidsCollisions) {
  EXPECT_EQ(RecordingFileName(kStart), "quorvel-2026-12-08T14-03-12.qvrec");
  EXPECT_EQ(RecordingFileName(kStart, 3), "quorvel-2026-12-08T14-03-12-3.qvrec");

  qvtest::ScratchDir d;
  const auto folder = d / "new/recordings";
  RecordingWriter a;
  RecordingWriter b;
  ASSERT_TRUE(a.Start(folder, {}, kStart)) << a.Status().message;
  ASSERT_TRUE(b.Start(folder, {}, kStart)) << b.Status().message;
  EXPECT_EQ(a.Status().file, folder / "quorvel-2026-12-08T14-03-12.qvrec");
  EXPECT_EQ(b.Status().file, folder / "quorvel-2026-12-08T14-03-12-2.qvrec");
  a.Stop();
  b.Stop();
  EXPECT_FALSE(a.Recording());
  EXPECT_FALSE(a.Status().failed);
}

TEST(RecordingWriter, WritesHeaderAndEveryAppendAsARecord) {
  qvtest::ScratchDir d;
  RecordingWriter w;
  const LineSettings line{9600, 7, Parity::kOdd, StopBits::kOne, FlowControl::kSoftware};
  ASSERT_TRUE(w.Start(d.path(), line, kStart + microseconds{250}));
  EXPECT_TRUE(w.Recording());
  const auto t0 = RecordingWriter::Clock::now();
  w.Append("MUXA", t0 + milliseconds{2});
  w.Append("", t0 + milliseconds{3});  // nothing read, nothing recorded
  w.Append(std::string("\0#Max\xff", 6), t0 + milliseconds{1500});
  const auto file = w.Status().file;
  w.Stop();
  w.Append("late", t0 + seconds{2});

  const Recording r = ReadBack(file);
  ASSERT_TRUE(r.header);
  EXPECT_EQ(r.header->line, line);
  EXPECT_EQ(r.header->start_utc_us, duration_cast<microseconds>(kStart.time_since_epoch()).count() + 250);
  ASSERT_EQ(r.records.size(), 2u);
  EXPECT_EQ(r.BytesOf(r.records[0]), "MUXA");
  EXPECT_EQ(r.BytesOf(r.records[1]), std::string("\0#Max\xff", 6));
  // Times count from Start, which came just before t0.
  EXPECT_GE(r.records[0].time_us, 2000u);
  EXPECT_LT(r.records[0].time_us, 2000u + 1'000'000);
  EXPECT_EQ(r.records[1].time_us - r.records[0].time_us, 1'498'000u);
  EXPECT_FALSE(r.damaged_at);
  EXPECT_EQ(w.Status().bytes_written, std::filesystem::file_size(file));
}

// The background thread writes on its own: the bytes reach the file while the
// recording still runs, without a Stop.
TEST(RecordingWriter, FlushesWhileRecording) {
  qvtest::ScratchDir d;
  RecordingWriter w;
  ASSERT_TRUE(w.Start(d.path(), {}, kStart));
  w.Append("first bytes");
  const auto file = w.Status().file;
  const auto deadline = steady_clock::now() + seconds{10};
  while (std::filesystem::file_size(file) < kHeaderSize + kRecordHeaderSize + 11 && steady_clock::now() < deadline)
    std::this_thread::sleep_for(milliseconds{20});
  const Recording r = ReadBack(file);
  ASSERT_EQ(r.records.size(), 1u);
  EXPECT_EQ(r.BytesOf(r.records[0]), "first bytes");
  EXPECT_TRUE(w.Recording());
}

TEST(RecordingWriter, AFolderThatCannotBeMadeIsReported) {
  qvtest::ScratchDir d;
  qvtest::WriteFile(d / "plain", "x");
  RecordingWriter w;
  EXPECT_FALSE(w.Start(d / "plain/sub", {}, kStart));
  EXPECT_FALSE(w.Recording());
  EXPECT_TRUE(w.Status().failed);
  EXPECT_NE(w.Status().message.find((d / "plain/sub").string()), std::string::npos) << w.Status().message;
}

// A file size limit stands in for a full disk: writing fails with EFBIG. The
// child records well past the limit; the writer must stop with a message and
// the caller keep going. The file holds whole records up to the limit.
TEST(RecordingWriter, AFullDiskStopsTheRecordingWithAMessage) {
  qvtest::ScratchDir d;
  constexpr rlim_t kLimit = 64 * 1024;
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit lim{kLimit, kLimit};
    if (::setrlimit(RLIMIT_FSIZE, &lim) != 0) ::_exit(10);
    RecordingWriter w;
    std::atomic<int> told{0};
    w.SetOnFailure([&told] { ++told; });
    if (!w.Start(d.path(), {}, kStart)) ::_exit(11);
    const std::string frame = qvtest::MaximaFrame(1, 2, 3, 4);
    int appended = 0;
    const auto deadline = steady_clock::now() + seconds{20};
    while (w.Recording() && steady_clock::now() < deadline) {
      for (int i = 0; i < 1000; ++i) w.Append(frame);
      appended += 1000;
    }
    if (w.Recording()) ::_exit(12);
    const WriterStatus s = w.Status();
    if (!s.failed || s.message.find("largest size") == std::string::npos) ::_exit(13);
    if (s.message.find(s.file.string()) == std::string::npos) ::_exit(14);
    if (s.problem != Problem{.kind = Problem::Kind::kWriteFailed, .file = s.file.string(), .err = EFBIG}) ::_exit(17);
    w.Append(frame);  // ignored, and harmless
    w.Stop();
    if (told != 1) ::_exit(16);
    ::_exit(appended > 0 ? 0 : 15);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);

  const auto files = std::vector(std::filesystem::directory_iterator(d.path()), std::filesystem::directory_iterator());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(std::filesystem::file_size(files[0]), kLimit);
  const Recording r = ReadBack(files[0].path());
  const std::size_t per = kRecordHeaderSize + 27;
  EXPECT_EQ(r.records.size(), (kLimit - kHeaderSize) / per);
  EXPECT_EQ(r.damaged_at.has_value(), (kLimit - kHeaderSize) % per != 0);
  for (const auto& rec : r.records) ASSERT_EQ(r.BytesOf(rec), qvtest::MaximaFrame(1, 2, 3, 4));
}

// The tap records what the handler reads; a read that fails records nothing
// and leaves the recording running; stopping after the error keeps the file whole.
TEST(ReadTap, RecordingAroundAPortError) {
  qvtest::ScratchDir d;
  qv::CapturePort port;
  RecordingWriter w;
  qv::TReadTap tap(port);
  tap.OnRead = [&w](std::string_view bytes) { w.Append(bytes); };
  std::string got;
  port.Feed("before");
  EXPECT_EQ(tap.ReadString(got, 100), 6);  // not recording yet
  ASSERT_TRUE(w.Start(d.path(), {}, kStart));
  port.Feed("abcdef");
  EXPECT_EQ(tap.ReadString(got, 4), 4);
  EXPECT_EQ(got, "abcd");
  port.SetReadFailure([] { throw std::runtime_error("read error"); });
  EXPECT_THROW(tap.ReadString(got, 10), std::runtime_error);
  EXPECT_TRUE(w.Recording());
  port.SetReadFailure(nullptr);
  EXPECT_EQ(tap.ReadString(got, 10), 2);
  EXPECT_EQ(tap.WriteString("b"), 1);
  EXPECT_EQ(port.Writes(), std::vector<std::string>{"b"});
  const auto file = w.Status().file;
  w.Stop();
  port.Feed("after");
  EXPECT_EQ(tap.ReadString(got, 10), 5);

  const Recording r = ReadBack(file);
  ASSERT_EQ(r.records.size(), 2u);
  EXPECT_EQ(r.BytesOf(r.records[0]), "abcd");
  EXPECT_EQ(r.BytesOf(r.records[1]), "ef");
  EXPECT_FALSE(r.damaged_at);
}
