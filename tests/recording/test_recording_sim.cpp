// A scan of the simulated device over its pseudo-terminal, recorded through
// the tap while the live receive handler decodes it, then replayed from the
// file: frame for frame the same measurement state.
#include <gtest/gtest.h>

#include <memory>

#include "CapturePort.h"
#include "ReadTap.h"
#include "RecordFeeder.h"
#include "RecordingReader.h"
#include "RecordingTestSupport.h"
#include "RecordingWriter.h"
#include "ReplayEngine.h"
#include "SimProcess.h"
#include "support/TestEnv.h"

using namespace qv::rec;

TEST(RecordingFromTheSimulator, ReplayGivesTheLiveStateFrameForFrame) {
  qvtest::ScratchDir dir;
  simtest::SimProcess sim({"--seed", "4", "--split", "40"});
  const std::string path = sim.ReadStdoutLine();
  ASSERT_FALSE(path.empty()) << sim.Stderr();
  simtest::DeviceLine line(path);

  qv::CapturePort port;  // serves each read from the line to the handler, as the port does
  RecordingWriter writer;
  qv::TReadTap tap(port);
  tap.OnRead = [&writer](std::string_view bytes) { writer.Append(bytes); };
  auto live = std::make_unique<TMeasurement>();
  std::vector<std::unique_ptr<TMeasurement>> after_frame;  // the live state after every frame
  TFrameDecoder decoder(*live, tap, [] {});
  ASSERT_TRUE(writer.Start(dir.path(), {}));
  line.Write("b2");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds{20};
  while (decoder.Frames() < 60 && std::chrono::steady_clock::now() < deadline) {
    std::string got;
    if (!line.ReadSome(got, std::chrono::milliseconds{200})) continue;
    port.Feed(got);
    const auto before = decoder.Frames();
    decoder.ComPort1RxChar(static_cast<int>(got.size()));
    if (decoder.Frames() != before) after_frame.push_back(std::make_unique<TMeasurement>(*live));
  }
  line.Write("a");
  const auto file = writer.Status().file;
  writer.Stop();
  ASSERT_GE(after_frame.size(), 60u);

  const ReadResult read = ReadRecording(file);
  ASSERT_TRUE(read.recording) << read.error;
  const Recording& r = *read.recording;
  EXPECT_FALSE(r.damaged_at);
  auto replayed = std::make_unique<TMeasurement>();
  std::size_t frame = 0;
  RecordFeeder feeder(*replayed);
  for (const auto& record : r.records) {
    if (!feeder.Feed(r.BytesOf(record))) continue;
    ASSERT_LT(frame, after_frame.size());
    rectest::ExpectSameState(*replayed, *after_frame[frame], "frame " + std::to_string(frame));
    ++frame;
  }
  EXPECT_EQ(frame, after_frame.size());
  rectest::ExpectSameState(*replayed, *live, "the end");

  // The replay engine played to the end at eight times the pace arrives at the
  // same state, once what the handler still held is drained.
  TMeasurement engine_state;
  ReplayEngine engine(r, engine_state);
  engine.SetSpeed(8, {});
  engine.Play({});
  engine.Advance(ReplayEngine::Clock::time_point{} + std::chrono::microseconds{r.DurationUs() / 8 + 1});
  EXPECT_TRUE(engine.AtEnd());
  feeder.Drain([] {});
  rectest::ExpectSameState(engine_state, *replayed, "engine at the end");
}
