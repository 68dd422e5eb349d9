#pragma once
// Recordings built in memory for the tests, and the decoded state compared
// field by field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Measurement.h"
#include "RecordingFormat.h"

namespace rectest {

struct Event {
  std::uint64_t time_us;
  std::string bytes;
};

inline std::string BuildRecording(const std::vector<Event>& events, const qv::rec::Header& header = {}) {
  std::string out = qv::rec::EncodeHeader(header);
  for (const auto& e : events) qv::rec::AppendRecord(out, e.time_us, e.bytes);
  return out;
}

// Everything the displays read, and the accumulator.
inline void ExpectSameState(const TMeasurement& a, const TMeasurement& b, const std::string& where) {
  EXPECT_EQ(a.MAXIMA, b.MAXIMA) << where;
  EXPECT_EQ(a.SAMPLE_COUNT, b.SAMPLE_COUNT) << where;
  EXPECT_TRUE(a.CHANNEL_DATA == b.CHANNEL_DATA) << where;
  EXPECT_TRUE(a.INBUFFER == b.INBUFFER) << where;
  EXPECT_EQ(a.INSTRING, b.INSTRING) << where;
  EXPECT_EQ(a.DATASTRING, b.DATASTRING) << where;
}

}  // namespace rectest
